#!/usr/bin/env bash
# Settings files that must be written in place under Wine, as Linux shows them:
# settings-writes.sh SAVE_SETTING.exe. Each is saved by the Windows build, run as the ordinary
# user Wine runs as, the way the window saves a key; the file keeps its inode (it was written in
# place) and shows the new text, and no temporary file is left:
# - in a folder only root may write, where no temporary file can be made;
# - a root-owned file the user may write, in the user's folder: a new file would be the user's;
# - a root-owned file the user may write, in a sticky folder, where only its owner may replace it.
# Needs root to prepare them and an ordinary user for Wine (PARLOWEN_WINE_USER); exits 77 else.
set -uo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a prefix made by scripts/test-windows.sh}"
: "${TEST_TMPDIR:?set TEST_TMPDIR to the Windows folder for the tests}"
save=$1
if [ "$(id -u)" != 0 ] || [ -z "${PARLOWEN_WINE_USER:-}" ]; then
  echo "skipped: needs root, and Wine run as an ordinary user (PARLOWEN_WINE_USER)"
  exit 77
fi
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
user=$PARLOWEN_WINE_USER
group=$(id -g "$user")
as=(setpriv --reuid="$user" --regid="$group" --clear-groups)
tests=${TEST_TMPDIR#Z:}
tests=$(printf '%s' "$tests" | tr '\\' /)
work=$(mktemp -d "$tests/settings.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
windows() { printf "Z:%s" "$(printf "%s" "$1" | tr / "\\\\")"; }
failed=0

# folder mode, folder owner, file owner, file mode
cases=(
  "locked 755 root $user 644"
  "foreign 755 $user root 666"
  "sticky 1777 root root 666"
)
for c in "${cases[@]}"; do
  read -r name folder_mode folder_owner file_owner file_mode <<<"$c"
  folder=$work/$name
  mkdir "$folder"
  printf '[Main]\r\nMask=*.*\r\n' >"$folder/job.bfs"
  chown "$folder_owner" "$folder"
  chmod "$folder_mode" "$folder"
  chown "$file_owner" "$folder/job.bfs"
  chmod "$file_mode" "$folder/job.bfs"
  inode=$(stat -c %i "$folder/job.bfs")
  if ! "${as[@]}" "$wine" "$save" "$(windows "$folder/job.bfs")" Mask '*.txt' </dev/null \
    >"$work/out" 2>&1; then
    echo "FAILED: $name: the save failed: $(cat "$work/out")"
    failed=1
    continue
  fi
  got=$(cat "$folder/job.bfs")
  want=$(printf '[Main]\r\nMask=*.txt\r\n')
  [ "$got" = "$want" ] || { echo "FAILED: $name: the file holds: $got"; failed=1; }
  [ "$(stat -c %i "$folder/job.bfs")" = "$inode" ] ||
    { echo "FAILED: $name: the file was replaced"; failed=1; }
  [ "$(stat -c %U:%a "$folder/job.bfs")" = "$file_owner:$file_mode" ] ||
    { echo "FAILED: $name: owner and mode are $(stat -c %U:%a "$folder/job.bfs")"; failed=1; }
  [ "$(ls -A "$folder")" = job.bfs ] || { echo "FAILED: $name: left $(ls -A "$folder")"; failed=1; }
done
[ "$failed" = 0 ] && echo "passed: ${#cases[@]} files written in place"
exit "$failed"
