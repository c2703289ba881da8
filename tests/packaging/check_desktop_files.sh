#!/usr/bin/env bash
# The desktop entry is valid and opens the file type that the MIME package defines for *.bfs.
# Usage: check_desktop_files.sh PACKAGING-FOLDER
set -uo pipefail
folder=$1
for tool in desktop-file-validate update-mime-database; do
  command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
done
status=0
desktop-file-validate "$folder/parlowin.desktop" || status=1
grep -qE '^Exec=parlowin %f$' "$folder/parlowin.desktop" || { echo "Exec must pass the file"; status=1; }

type=$(grep -oE 'mime-type type="[^"]+"' "$folder/parlowen.xml" | cut -d'"' -f2)
grep -qx "MimeType=$type;" "$folder/parlowin.desktop" || { echo "MimeType is not $type"; status=1; }
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
database=$data/mime
mkdir -p "$database/packages"
cp "$folder/parlowen.xml" "$database/packages/"
XDG_DATA_DIRS=$data update-mime-database "$database" || status=1
grep -qx "$type:\*.bfs" "$database/globs" || { echo "*.bfs is not $type"; status=1; }
grep -q "<comment>Parlowen sync settings</comment>" "$database/$type.xml" || status=1
exit $status
