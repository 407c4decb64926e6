#!/usr/bin/env bash
# Installs the packages of the named groups of scripts/deps.txt that are
# missing:  setup-deps.sh build demo ...   (--list: print them, install
# nothing). While another apt or dpkg run holds the lock, it waits.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
list_only=0
if [[ "${1:-}" == "--list" ]]; then list_only=1; shift; fi
[[ $# -gt 0 ]] || { echo "usage: $0 [--list] GROUP..." >&2; exit 2; }

# The packages of one group, and whether it goes without recommendations.
group_packages() {
    awk -v want="$1" '
        /^\[/ { name = substr($1, 2, length($1) - 2); next }
        /^[[:space:]]*(#|$)/ { next }
        name == want { print $1 }' "$here/deps.txt"
}
group_no_recommends() {
    grep -E "^\[$1\].*\(no recommends\)" "$here/deps.txt" >/dev/null
}

declare -A seen=() group_of=()
order=()
for group in "$@"; do
    mapfile -t pkgs < <(group_packages "$group")
    [[ ${#pkgs[@]} -gt 0 ]] || { echo "no group [$group] in $here/deps.txt" >&2; exit 2; }
    for pkg in "${pkgs[@]}"; do
        [[ -z "${seen[$pkg]:-}" ]] || continue
        seen[$pkg]=1 group_of[$pkg]=$group
        order+=("$pkg")
    done
done
if [[ $list_only -eq 1 ]]; then printf '%s\n' "${order[@]}"; exit 0; fi

# An installed package waiting for its triggers (another apt run may be
# processing them right now) is installed all the same.
declare -A have=()
while read -r pkg want ok state; do
    [[ "$want $ok" =~ ^(install|hold)\ ok$ &&
       "$state" =~ ^(installed|triggers-pending|triggers-awaited)$ ]] && have[${pkg%%:*}]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${order[@]}" 2>/dev/null || true)
with=() without=()
for pkg in "${order[@]}"; do
    [[ -z "${have[$pkg]:-}" ]] || continue
    if group_no_recommends "${group_of[$pkg]}"; then without+=("$pkg"); else with+=("$pkg"); fi
done
[[ ${#with[@]} -gt 0 || ${#without[@]} -gt 0 ]] || exit 0

as_root=(env)
[[ $(id -u) -eq 0 ]] || as_root=(sudo)

# apt waits for dpkg's lock by itself (DPkg::Lock::Timeout) but not for the
# lock of its package lists, which "apt-get update" takes; so retry while
# the failure is a lock held by someone else, for up to half an hour.
apt() {
    local out said=0 deadline=$((SECONDS + 1800))
    while :; do
        if out=$("${as_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=60 "$@" 2>&1); then
            return 0
        fi
        if grep -qE 'Could not get lock|Unable to (acquire|lock)' <<<"$out" &&
           ((SECONDS < deadline)); then
            ((said)) || echo "apt is busy elsewhere; waiting for its lock" >&2
            said=1
            sleep 10
            continue
        fi
        printf '%s\n' "$out" >&2
        return 1
    done
}

echo "Installing: ${with[*]} ${without[*]}"
apt update -qq
[[ ${#with[@]} -eq 0 ]] || apt install -y -qq "${with[@]}"
[[ ${#without[@]} -eq 0 ]] || apt install -y -qq --no-install-recommends "${without[@]}"
