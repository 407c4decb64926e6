#!/usr/bin/env bash
# The one unprivileged account the Wayland end-to-end tests run their
# desktops (sway, GNOME Shell, KWin) and the programs under: none of them
# runs as root. A system account with no home and no login shell; each
# test gives it a private HOME and runtime folder of its own. Only
# scripts/test.sh (and scripts/bench.sh) call this, and only when run as
# root, since only root can switch to the account. Safe to run again.
set -euo pipefail
user=zuztest
id -u "$user" >/dev/null 2>&1 && exit 0
echo "Creating the test account $user (useradd --system, no home, no login)"
useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
