#!/usr/bin/env bash
# Checks that every tracked C++ source file is formatted as .clang-format says (Debian's
# clang-format). Run scripts/check_format.sh --fix to format them in place.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
install_missing clang-format
cd "$ROOT"
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${sources[@]}"
    exit 0
fi
if ! clang-format --dry-run -Werror "${sources[@]}" 2>/tmp/pqwave-format.log; then
    grep -E "^[^ ].*error:" /tmp/pqwave-format.log | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
    echo "Run scripts/check_format.sh --fix to format them."
    exit 1
fi
echo "Format: ${#sources[@]} source files as .clang-format says"
