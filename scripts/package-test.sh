#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get, runs the installed programs and the
# shipped example, then removes it and checks that nothing of it is left. Needs root; the
# package never stays installed, also when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."

installed() { dpkg-query -W -f='${Status}' parlowen 2>/dev/null | grep -q 'install ok installed'; }
fail() { echo "package test: $*" >&2; exit 1; }

if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null; then
  echo "== package test skipped: installing a package needs root and apt-get"
  exit 0
fi
if installed; then
  echo "== package test skipped: parlowen is already installed here (apt-get remove parlowen)"
  exit 0
fi

scripts/package.sh
# Without nullglob a missing package would count as one, named by the pattern itself.
shopt -s nullglob
debs=(build/release/parlowen_*.deb)
shopt -u nullglob
[ ${#debs[@]} = 1 ] || fail "expected one package, found: ${debs[*]}"
deb="$PWD/${debs[0]}"
built_version=$(build/release/console/parlocon --version)
with_window=false
contents=$(dpkg-deb -c "$deb")
grep -q '/usr/bin/parlowin$' <<<"$contents" && with_window=true

work=$(mktemp -d)
cleanup() {
  if installed; then apt-get purge -y -qq parlowen >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== package test: install $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
installed || fail "parlowen is not installed after apt-get install"
depends=$(dpkg-query -W -f='${Depends}' parlowen)
for unit in parlowen@.service parlowen@.timer parlowen@.path; do
  [ -f "/usr/lib/systemd/system/$unit" ] || fail "the unit $unit is not installed"
done
[[ $depends == *libc6* ]] || fail "dependencies were not computed: '$depends'"

[ "$(/usr/bin/parlocon --version)" = "$built_version" ] || fail "installed parlocon --version differs"
MANWIDTH=80 man parlocon 2>/dev/null | grep -q -- '--dry-run' || fail "man parlocon does not show the options"

# The example, copied from the installed documentation into a scratch folder.
cp -r /usr/share/doc/parlowen/examples "$work/"
cd "$work"
before=$(find . -printf '%p %s %T@ %C@ %m\n' | sort)
preview=$(parlocon --dry-run examples/demo.bfs) || fail "dry run of the example failed"
[ "$(find . -printf '%p %s %T@ %C@ %m\n' | sort)" = "$before" ] || fail "the dry run wrote something"
first=$(parlocon examples/demo.bfs) || fail "the example run failed"
[ "$first" = "$preview" ] || fail "the dry run printed other lines than the run"
copies=$(grep -c '^Copy ' <<<"$first" || true)
files=$(find examples/tree -type f ! -name '.*' | wc -l)
[ "$copies" = $((3 * files)) ] || fail "expected $((3 * files)) copy lines, got $copies"
diff -r examples/tree build/demo/master >/dev/null || fail "the master differs from the example tree"
second=$(parlocon examples/demo.bfs)
[ "$second" = $'Get list of files...\r' ] || fail "the second run copied again: $second"
cd - >/dev/null

if $with_window; then
  desktop-file-validate /usr/share/applications/parlowin.desktop || fail "desktop entry invalid"
  [ -f /usr/share/icons/hicolor/256x256/apps/parlowin.png ] || fail "the window's icon is missing"
  [ "$(/usr/bin/parlowin --version)" = "parlowin ${built_version#parlocon }" ] ||
    fail "installed parlowin --version differs"
  grep -q '^application/x-parlowen-settings:\*\.bfs$' /usr/share/mime/globs ||
    fail "*.bfs is not registered as a file type"
  grep -q '^application/x-parlowen-settings=.*parlowin\.desktop' \
    /usr/share/applications/mimeinfo.cache || fail "*.bfs files do not open with parlowin"
  [[ $depends == *libqt6widgets6* ]] || fail "the window's libraries are not dependencies"
  [[ $depends == *fonts-liberation2* ]] || fail "the fonts the window is laid out for are no dependency"
  MANWIDTH=80 man parlowin 2>/dev/null | grep -q 'settings-file' || fail "man parlowin missing"
  # The installed window as a user who may not write /usr/bin.
  as_user=0
  tests/gui/with_xvfb.sh tests/packaging/window_as_user.sh /usr/bin/parlowin \
    /usr/share/doc/parlowen/README.md || as_user=$?
  [ "$as_user" = 0 ] || [ "$as_user" = 77 ] || fail "the installed window failed a user"
fi

echo "== package test: remove"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq parlowen >/dev/null
installed && fail "parlowen is still installed after apt-get remove"
for f in /usr/bin/parlocon /usr/bin/parlowin /usr/share/man/man1/parlocon.1.gz \
         /usr/share/applications/parlowin.desktop /usr/share/mime/packages/parlowen.xml \
         /usr/share/doc/parlowen; do
  [ ! -e "$f" ] || fail "$f is left after removal"
done
if grep -qs 'parlowen' /usr/share/mime/globs /usr/share/applications/mimeinfo.cache; then
  fail "the file type is still registered after removal"
fi
$with_window && window=", window checked" || window=", no window built"
echo "== package test passed: installed, ran $copies copies from the example$window, removed"
