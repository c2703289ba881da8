#!/usr/bin/env bash
# The systemd units of the package: systemd-analyze verifies each on an instance, on a root
# made of this machine's own units, the package's units and the program where the package puts
# them; a unit with a misspelt key is refused there, so the check can fail. Where systemd runs
# the machine, the units also run: a job's result is its exit code, its lines are in the
# journal, the timer has its next time, and the path unit starts a run when the folder changes.
# Usage: check_systemd_units.sh UNIT-FOLDER PARLOCON
set -uo pipefail
units=$1
parlocon=$2
command -v systemd-analyze >/dev/null || { echo "systemd-analyze is not installed (package systemd)"; exit 77; }
base=$(ls -d /usr/lib/systemd/system /lib/systemd/system 2>/dev/null | head -1)
[ -f "$base/sysinit.target" ] || { echo "this machine has no systemd units to verify on"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

make_root() {
  local root=$1
  mkdir -p "$root/usr/lib/systemd/system" "$root/usr/bin" "$root/etc/systemd/system"
  cp -a "$base/." "$root/usr/lib/systemd/system/"
  cp "$units"/parlowen@.* "$root/usr/lib/systemd/system/"
  cp "$parlocon" "$root/usr/bin/parlocon"
}

verify() {
  systemd-analyze verify --man=no --root="$1" \
    parlowen@nightly.service parlowen@nightly.timer parlowen@nightly.path 2>&1
}

make_root "$work/root"
said=$(verify "$work/root")
verify_status=$?
if [ $verify_status -ne 0 ] || [ -n "$said" ]; then
  echo "systemd-analyze verify refused the units ($verify_status):"
  echo "$said"
  status=1
fi

make_root "$work/broken"
sed -i 's/^OnCalendar=/OnCalender=/' "$work/broken/usr/lib/systemd/system/parlowen@.timer"
if [ -z "$(verify "$work/broken")" ]; then
  echo "a timer with a misspelt key passed the check: it cannot fail"
  status=1
fi

if [ ! -d /run/systemd/system ]; then
  echo "systemd does not run this machine (PID 1 is $(cat /proc/1/comm)): the units were verified, not run"
  exit $status
fi
[ "$(id -u)" = 0 ] || { echo "running the units needs root: they were verified, not run"; exit $status; }

# The units run for real, as runtime units that go with the next boot, on a job of their own.
job=parlowen-test-$$
runtime=/run/systemd/system
stop_units() {
  systemctl stop "parlowen@$job.path" "parlowen@$job.timer" "parlowen@$job.service" 2>/dev/null
  rm -rf "$runtime"/parlowen@.* "$runtime/parlowen@$job.path.d" "/etc/parlowen/$job.bfs" \
    "/srv/parlowen/$job" "$work"
  rmdir /etc/parlowen /srv/parlowen 2>/dev/null
  systemctl daemon-reload
}
trap stop_units EXIT
cp "$units"/parlowen@.* "$runtime/"
# The package puts parlocon in /usr/bin; here it runs from the build.
sed -i "s|^ExecStart=parlocon |ExecStart=$parlocon |" "$runtime/parlowen@.service"
mkdir -p /etc/parlowen "$work/src" "$work/dest" "$work/master"
echo x >"$work/src/a.txt"
printf '[Main]\nSourceFolder=%s\nMasterFolder=%s\nDestFolder=%s\n' \
  "$work/src" "$work/master" "$work/dest" >"/etc/parlowen/$job.bfs"
systemctl daemon-reload

systemctl start "parlowen@$job.service"
[ "$(systemctl show -P Result "parlowen@$job.service")" = success ] || { echo "the job failed"; status=1; }
[ -f "$work/master/a.txt" ] || { echo "the job copied nothing"; status=1; }
journalctl --sync
journalctl -u "parlowen@$job.service" -o cat | grep -q "^Copy $work/src/a.txt" ||
  { echo "the job's lines are not in the journal"; status=1; }

mkdir "$work/dest/b.txt"
echo b >"$work/src/b.txt"
systemctl start "parlowen@$job.service" 2>/dev/null
[ "$(systemctl show -P ExecMainStatus "parlowen@$job.service")" = 3 ] ||
  { echo "a failed copy did not give the unit the exit code 3"; status=1; }
rmdir "$work/dest/b.txt"

systemctl start "parlowen@$job.timer"
systemctl list-timers --all "parlowen@$job.timer" | grep -q "parlowen@$job.timer" ||
  { echo "the timer has no next time"; status=1; }
systemctl stop "parlowen@$job.timer"

mkdir -p "$runtime/parlowen@$job.path.d"
printf '[Path]\nPathModified=\nPathModified=%s\n' "$work/src" >"$runtime/parlowen@$job.path.d/source.conf"
systemctl daemon-reload
systemctl start "parlowen@$job.path"
echo c >"$work/src/c.txt"
for _ in $(seq 600); do
  [ -f "$work/master/c.txt" ] && break
  sleep 0.1
done
[ -f "$work/master/c.txt" ] || { echo "a change of the source folder started no run"; status=1; }
exit $status
