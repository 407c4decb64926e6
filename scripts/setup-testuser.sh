#!/usr/bin/env bash
# The unprivileged account the Wayland end-to-end tests run the compositor
# and the programs under: sway refuses to run as root. Safe to run again.
set -euo pipefail
user=zuztest
id -u "$user" >/dev/null 2>&1 && exit 0
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
$sudo useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
