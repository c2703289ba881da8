#!/usr/bin/env bash
# The manual pages format without a single warning, and each program's page names every option
# and exit code that its "--help" names.
# Usage: check_man_pages.sh MAN-FOLDER PROGRAM...
set -uo pipefail
folder=$1
shift
command -v groff >/dev/null || { echo "groff is not installed"; exit 77; }
status=0
for page in "$folder"/*.1; do
  warnings=$(groff -man -Tascii -ww -z "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    status=1
  fi
done

for program in "$@"; do
  name=$(basename "$program")
  text=$(groff -man -Tascii -P-cbou -rHY=0 -rLL=300n "$folder/$name.1" 2>/dev/null)
  help=$("$program" --help)
  for option in $(grep -oE '(^|[ ,|])--?[a-z][a-z-]*' <<<"$help" | tr -d ' ,|' | sort -u); do
    grep -qe "$option" <<<"$text" || { echo "$name.1 does not mention $option"; status=1; }
  done
  exit_status=$(sed -n '/^EXIT STATUS/,/^[A-Z]/p' <<<"$text")
  for code in $(sed -n '/^Exit codes:/,$p' <<<"$help" | grep -oE '^ +[0-9]+' | tr -d ' '); do
    grep -qE "^ +$code( |$)" <<<"$exit_status" || { echo "$name.1 lacks exit code $code"; status=1; }
  done
done
exit $status
