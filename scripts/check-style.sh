#!/usr/bin/env bash
# Fails, naming the places, where a C++ file of the repository is not as
# clang-format writes it (.clang-format at the top); `clang-format -i FILE`
# mends one. Installs clang-format (the group "style") when it is missing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup-deps.sh" style
cd "$top"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "style: every C++ file as clang-format writes it"
