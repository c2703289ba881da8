#!/usr/bin/env bash
# Distribution to other machines: parlocon into two sshfs destinations and a local master,
# against rsync over ssh into each destination (and rsync into the master), on this machine's
# own SSH server (a loopback port, throw-away keys). A first distribution and a rescan with
# nothing changed, ROUNDS times each; prints the median seconds and the ratios.
#
#   bench/network.sh PARLOCON [ROUNDS]      (as root; needs openssh-server, sshfs, rsync)
#
# Not a test: the numbers depend on the machine and what else runs on it.
set -euo pipefail
parlocon=$(realpath "$1")
rounds=${2:-3}
[ "$(id -u)" = 0 ] || { echo "network.sh: run as root (the SSH server serves root's files)" >&2; exit 2; }
for tool in /usr/sbin/sshd sshfs rsync python3; do
  command -v "$tool" >/dev/null || { echo "network.sh: $tool is missing" >&2; exit 2; }
done

work=$(mktemp -d /tmp/parlowen-network-bench.XXXXXX)
sshd_pid=
cleanup() {
  for m in "$work"/mnt1 "$work"/mnt2; do mountpoint -q "$m" && { fusermount -u "$m" || umount -l "$m"; }; done
  [ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null && wait "$sshd_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
mkdir -p srv/a srv/b srv/ra srv/rb mnt1 mnt2 master rmaster /run/sshd
ssh-keygen -q -t ed25519 -N '' -f host_key
ssh-keygen -q -t ed25519 -N '' -f client_key
cp client_key.pub authorized_keys
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > sshd_config <<EOT
Port $port
ListenAddress 127.0.0.1
HostKey $work/host_key
AuthorizedKeysFile $work/authorized_keys
PidFile none
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
StrictModes no
UsePAM no
Subsystem sftp internal-sftp
LogLevel ERROR
EOT
/usr/sbin/sshd -D -f sshd_config -E sshd.log &
sshd_pid=$!
for _ in $(seq 100); do (echo > "/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
ssh_options="-i $work/client_key -p $port -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o BatchMode=yes -o LogLevel=ERROR"
mount_options="IdentityFile=$work/client_key,port=$port,StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,BatchMode=yes,LogLevel=ERROR,reconnect"
sshfs -o "$mount_options" "root@127.0.0.1:$work/srv/a" mnt1
sshfs -o "$mount_options" "root@127.0.0.1:$work/srv/b" mnt2

# 2,000 small files (100 bytes to 8 KiB) in 40 folders, and 4 files of 32 MiB.
python3 - "$work/src" <<'EOT'
import os, random, sys
root = sys.argv[1]; random.seed(1); t = 1685620800
for i in range(2000):
    d = os.path.join(root, "d%02d" % (i // 50)); os.makedirs(d, exist_ok=True)
    p = os.path.join(d, "f%04d.txt" % i)
    with open(p, "wb") as f: f.write(random.randbytes(random.randint(100, 8000)))
    os.utime(p, (t, t))
os.makedirs(os.path.join(root, "large"), exist_ok=True)
for i in range(4):
    p = os.path.join(root, "large", "big%d.bin" % i)
    with open(p, "wb") as f: f.write(random.randbytes(32 << 20))
    os.utime(p, (t, t))
EOT

seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null; t1=$(date +%s.%N); echo "$t1 - $t0" | bc; }
run_rsync() {
  rsync -rtp -e "ssh $ssh_options" src/ "root@127.0.0.1:$work/srv/ra/$1/"
  rsync -rtp -e "ssh $ssh_options" src/ "root@127.0.0.1:$work/srv/rb/$1/"
  rsync -rtp src/ "rmaster/$1/"
}
# Each round copies into folders of its own and nothing is deleted until the end: on a file
# system without a journal, new files right after many deletions wait for the allocator to skip
# the freshly freed inodes, and the tool that runs first would pay for that.
declare -a pf pr rf rr
for round in $(seq "$rounds"); do
  r=r$round
  printf '[Main]\nSourceFolder=%s/src\nMasterFolder=%s/master/%s\nDestFolder=%s/mnt1/%s;%s/mnt2/%s\n' \
    "$work" "$work" "$r" "$work" "$r" "$work" "$r" > job.bfs
  sync
  pf+=("$(seconds "$parlocon" job.bfs)")
  rf+=("$(seconds run_rsync "$r")")
  pr+=("$(seconds "$parlocon" job.bfs)")
  rr+=("$(seconds run_rsync "$r")")
  for copy in srv/a/$r srv/b/$r master/$r srv/ra/$r srv/rb/$r rmaster/$r; do
    diff -r src "$copy" >/dev/null ||
      { echo "network.sh: round $round: $copy differs from the source" >&2; exit 1; }
  done
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
f_p=$(median "${pf[@]}"); f_r=$(median "${rf[@]}"); r_p=$(median "${pr[@]}"); r_r=$(median "${rr[@]}")
printf '| Scenario (%s rounds, median) | parlocon | rsync over ssh | ratio |\n|---|---:|---:|---:|\n' "$rounds"
printf '| first distribution, 2,004 files to two sshfs destinations and a local master | %.2f s | %.2f s | %.2f |\n' \
  "$f_p" "$f_r" "$(echo "$f_p / $f_r" | bc -l)"
printf '| rescan, nothing changed | %.3f s | %.3f s | %.3f |\n' "$r_p" "$r_r" "$(echo "$r_p / $r_r" | bc -l)"
