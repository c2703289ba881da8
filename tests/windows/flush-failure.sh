#!/usr/bin/env bash
# A destination whose disk fails while the copies are written back, under Wine:
# flush-failure.sh PARLOCON.exe. The destination is ext2 on a loop device whose image lies on a
# 1 MiB tmpfs, so the copies land in the page cache and only their flush meets the failure.
# parlocon.exe flushes each copy before it takes its name: a copy whose flush failed is named
# on standard error, leaves no file behind and holds back its master copy; the next run, on a
# sound destination, completes every target. Needs root (mount) and what scripts/wine-run.sh
# needs; exits 77 where mounting is refused.
set -uo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a prefix made by scripts/test-windows.sh}"
: "${TEST_TMPDIR:?set TEST_TMPDIR to the Windows folder for the tests}"
exe=$1
if [ "$(id -u)" != 0 ]; then
  echo "skipped: mounting needs root"
  exit 77
fi
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
as=()
owner=root:root
if [ -n "${PARLOWEN_WINE_USER:-}" ]; then
  owner=$PARLOWEN_WINE_USER:$(id -g "$PARLOWEN_WINE_USER")
  as=(setpriv --reuid="$PARLOWEN_WINE_USER" --regid="$(id -g "$PARLOWEN_WINE_USER")" --clear-groups)
fi
# The tests' folder as Wine's drive Z: shows it.
tests=${TEST_TMPDIR#Z:}
tests=$(printf '%s' "$tests" | tr '\\' /)
work=$(mktemp -d "$tests/flush.XXXXXX")
windows() { printf "Z:%s" "$(printf "%s" "$1" | tr / "\\\\")"; }
cleanup() {
  umount "$work/dest1" 2>/dev/null || umount -l "$work/dest1" 2>/dev/null
  umount "$work/disk" 2>/dev/null || umount -l "$work/disk" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}

mkdir -p "$work/disk" "$work/dest1" "$work/src/sub" "$work/master"
# The folder under the mount too: the next run finds it once the disk is gone.
chown "$owner" "$work/dest1"
if ! mount -t tmpfs -o size=1m none "$work/disk"; then
  echo "skipped: no tmpfs could be mounted"
  exit 77
fi
truncate -s 16M "$work/disk/image"
if ! mke2fs -q -F -t ext2 -b 1024 "$work/disk/image" >/dev/null 2>&1 ||
  ! mount -o loop "$work/disk/image" "$work/dest1" 2>/dev/null; then
  echo "skipped: no ext2 file system on a loop device"
  exit 77
fi
files=(sub/c.bin a.bin b.bin)
for name in "${files[@]}"; do head -c 1048576 /dev/urandom >"$work/src/$name"; done
printf '[Main]\r\nSourceFolder=%s\r\nMasterFolder=%s\r\nDestFolder=%s\r\n' \
  "$(windows "$work/src")" "$(windows "$work/master")" "$(windows "$work/dest1")" >"$work/job.bfs"
chown -R "$owner" "$work"

run() {
  "${as[@]}" "$wine" "$exe" "$@" "$(windows "$work/job.bfs")" </dev/null >"$work/out" 2>"$work/err"
}

# One copy at a time, so that the first copy is the one that finds the disk full; side by side,
# another may take the room first and rightly reach the master, and then the replaced disk
# below lacks it.
run --parallel=1
code=$?
cat "$work/err"
[ "$code" = 3 ] || fail "the run ended with $code, not 3"
failures=0
for name in "${files[@]}"; do
  from=$(windows "$work/src/$name")
  to="$(windows "$work/dest1")\\$(windows "/$name" | cut -c3-)"
  if grep -qF "parlocon: copy $from -> $to: " "$work/err"; then
    failures=$((failures + 1))
    grep -qxF "parlocon: master copy held back for $from: not every destination received it" \
      "$work/err" || fail "no master copy held back for $name"
    [ ! -e "$work/master/$name" ] || fail "the master received $name"
    [ ! -e "$work/dest1/$name" ] || fail "the failed copy of $name is in the destination"
  fi
done
# The first copy cannot reach the disk at all.
grep -qF "parlocon: copy $(windows "$work/src/sub/c.bin") -> " "$work/err" ||
  fail "the first copy did not fail"
[ "$(wc -l <"$work/err")" = $((2 * failures)) ] || fail "other lines on standard error"
if ls -a "$work/dest1" "$work/dest1/sub" | grep -q '^\.~parlowen-'; then
  fail "a temporary file was left behind"
fi

# The disk is replaced: the master held nothing back in vain.
umount "$work/dest1" || fail "cannot unmount the destination"
run
code=$?
[ "$code" = 0 ] || fail "the rerun ended with $code: $(cat "$work/err")"
for name in "${files[@]}"; do
  cmp -s "$work/src/$name" "$work/dest1/$name" || fail "the destination's $name differs"
  cmp -s "$work/src/$name" "$work/master/$name" || fail "the master's $name differs"
done
[ "$failed" = 0 ] && echo "passed: $failures copies failed to flush and held back their master copies"
exit "$failed"
