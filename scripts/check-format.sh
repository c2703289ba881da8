#!/usr/bin/env bash
# Checks that C++ files follow .clang-format (clang-format 14, Debian 12). With no argument:
# the files changed against BASE (default origin/main, or the commit before this one when there
# is no such branch), plus the files changed in the work tree; with "--all": every tracked file.
# Prints the files that differ and how to fix them; exit 1 when any does.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "check-format: clang-format not found (Debian package clang-format)" >&2
  exit 1
fi

if [ "${1:-}" = --all ]; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  base=${BASE:-origin/main}
  git rev-parse -q --verify "$base^{commit}" >/dev/null || base=HEAD~1
  git rev-parse -q --verify "$base^{commit}" >/dev/null || base=HEAD
  # A clone of main has origin/main at HEAD: its newest commit is then the change to check.
  [ "$(git rev-parse "$base")" = "$(git rev-parse HEAD)" ] && base=HEAD~1
  git rev-parse -q --verify "$base^{commit}" >/dev/null || base=HEAD
  mapfile -t files < <({
    git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' '*.h'
    git ls-files --others --exclude-standard -- '*.cpp' '*.h'
  } | sort -u)
fi

differ=()
for file in "${files[@]}"; do
  [ -f "$file" ] || continue
  if ! "$format" --dry-run --Werror "$file" >/dev/null 2>&1; then
    differ+=("$file")
  fi
done
echo "check-format: ${#files[@]} files checked, ${#differ[@]} differ from .clang-format"
if [ "${#differ[@]}" -gt 0 ]; then
  printf '  %s\n' "${differ[@]}"
  echo "  fix with: $format -i ${differ[*]}"
  exit 1
fi
