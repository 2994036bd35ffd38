#!/usr/bin/env bash
# Installs the Debian package into a minimal Debian 12 with apt-get, as a
# learner would, and runs the installed program there as a new user under
# Xvfb, driven from outside: the first start fills the learner's own folder
# and opens the word-bank window; the learner then edits one bank and
# removes the others, and the second start keeps that bank and quizzes on it
# against the bundled service, which caches the word's MP3. Ending the
# program must end the service; removing the package must leave the
# learner's folder. Needs root and the network (skipped otherwise).
#
# The base system is made once (a tarball in the work folder); the packages
# apt downloads and its lists are kept there too, so later runs download
# nothing new.
#   package_test.sh <vorbelzoz_<version>_amd64.deb> <work folder>
set -euo pipefail

deb=$1
work=$2
started=$SECONDS
mirror=http://deb.debian.org/debian
skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*" >&2
    [ -n "${display:-}" ] && DISPLAY=:$display import -window root "$work/failure.png" 2>/dev/null || true
    [ -f "$work/program.log" ] && sed 's/^/program: /' "$work/program.log" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || skip "needs root for debootstrap, chroot and mounts"
for tool in debootstrap unshare chroot ip Xvfb xdotool import findmnt; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
timeout 10 bash -c 'exec 3<>/dev/tcp/deb.debian.org/80' 2>/dev/null || skip "deb.debian.org cannot be reached"
[ -f "$deb" ] || fail "$deb is missing: build the package target first"

mkdir -p "$work/apt-archives" "$work/apt-lists"
work=$(cd "$work" && pwd)
root=$work/root
base=$work/bookworm-minbase.tar
display=
program_pid=
xvfb_pid=

# ---- Cleaning up: nothing may stay running or mounted ---------------------
processes_in_root() {
    local p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && echo "${p#/proc/}"
    done
    return 0
}
unmount_root() {
    local target
    findmnt -rn -o TARGET | grep -F "$root/" | sort -r | while read -r target; do
        umount -l "$target" || true
    done
    ! findmnt -rn -o TARGET | grep -qF "$root/"
}
cleanup() {
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    local pids
    pids=$(processes_in_root)
    [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    # Only an unmounted tree is removed, so the host's /dev and the caches
    # are never touched.
    if unmount_root; then rm -rf "$root"; fi
}
trap cleanup EXIT
[ -d "$root" ] && { unmount_root || fail "$root is still mounted from an earlier run"; rm -rf "$root"; }

# ---- The base system, made once ------------------------------------------
if [ ! -f "$base" ]; then
    echo "Making a Debian 12 base system (once; later runs reuse $base)"
    rm -rf "$work/base.tmp"
    debootstrap --variant=minbase bookworm "$work/base.tmp" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        { tail -n 20 "$work/debootstrap.log" >&2; fail "debootstrap failed"; }
    tar -C "$work/base.tmp" -cf "$base.tmp" . && mv "$base.tmp" "$base"
    rm -rf "$work/base.tmp"
fi
mkdir "$root"
tar -C "$root" -xf "$base"
echo "base system unpacked after $((SECONDS - started)) s"

mount --bind "$work/apt-archives" "$root/var/cache/apt/archives"
mount --bind "$work/apt-lists" "$root/var/lib/apt/lists"
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"  # unmounting it later must not reach the host's /dev
mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
cp /etc/resolv.conf "$root/etc/resolv.conf"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"

in_root() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"
}

# ---- Installing, as a learner would --------------------------------------
package=/tmp/$(basename "$deb")
cp "$deb" "$root$package"
in_root apt-get update -q >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get update failed"; }
in_root apt-get install -y -q --no-install-recommends "$package" >>"$work/apt.log" 2>&1 ||
    { tail -n 30 "$work/apt.log" >&2; fail "apt-get install $package failed"; }
echo "installed after $((SECONDS - started)) s"
[ -x "$root/usr/bin/vorbelzoz" ] || fail "/usr/bin/vorbelzoz is missing"
[ -s "$root/usr/share/doc/vorbelzoz/copyright" ] || fail "the copyright file is missing"
in_root useradd --create-home learner
uid=$(in_root id -u learner)
gid=$(in_root id -g learner)
folder=$root/home/learner/.local/share/vorbelzoz
banks=$folder/单词表

# ---- The program under Xvfb ----------------------------------------------
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do
    display=$(cat "$work/display")
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || fail "Xvfb did not start"
export DISPLAY=:$display

# A network of its own, so port 47800 is free for the bundled service
# whatever runs on this machine; the display is reached through its socket.
start_program() {
    unshare --net -- bash -c 'ip link set lo up && exec chroot --userspec="$1" "$2" \
        env -i HOME=/home/learner PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$3" vorbelzoz' \
        _ "$uid:$gid" "$root" "$DISPLAY" >"$work/program.log" 2>&1 &
    program_pid=$!
}
bank_window() {
    timeout 60 xdotool search --sync --onlyvisible --name '^选择词库$' | head -n1
}
service_running() {
    local pid
    for pid in $(processes_in_root); do
        [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "vorbelzoz_servi" ] && return 0
    done
    return 1
}
# Ends the program as abruptly as a crash: the service must go with it.
kill_program_and_expect_nothing_left() {
    kill -KILL "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=
    for _ in $(seq 50); do
        [ -z "$(processes_in_root)" ] && return 0
        sleep 0.1
    done
    fail "left running after the program ended: $(processes_in_root | xargs -r ps -o pid=,args= -p)"
}

start_program
window=$(bank_window) || fail "the word-bank window did not open at the first start"
[ "$(xdotool getwindowname "$window")" = "选择词库" ] || fail "the word-bank window's title"
import -window root "$work/first_start.png"
for part in mp3 日志; do
    [ -d "$folder/$part" ] || fail "the learner's folder has no $part/"
done
cmp -s "$root/usr/lib/vorbelzoz/单词表/01示例/常用词汇.txt" "$banks/01示例/常用词汇.txt" ||
    fail "the bundled banks were not copied into the learner's folder"
bundled=$(cd "$root/usr/lib/vorbelzoz/单词表" && find . -type f | wc -l)
copied=$(cd "$banks" && find . -type f | wc -l)
[ "$bundled" = "$copied" ] || fail "$copied of $bundled bundled banks copied"
for _ in $(seq 50); do
    service_running && break
    sleep 0.1
done
service_running || fail "the program did not start its service"
kill_program_and_expect_nothing_left

# The learner edits one bank and removes all others.
edited=$banks/01示例/常用词汇.txt
find "$banks" -mindepth 1 -not -path "$banks/01示例" -not -path "$edited" -delete
printf 'apple\r\n' >"$edited"

start_program
window=$(bank_window) || fail "the word-bank window did not open at the second start"
[ "$(printf 'apple\r\n')" = "$(cat "$edited")" ] || fail "the second start changed the edited bank"
[ "$(find "$banks" -type f | wc -l)" = 1 ] || fail "the second start brought removed banks back"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
# The first row of the list: list at (6, 27), below its header.
xdotool mousemove $((X + 40)) $((Y + 27 + 31)) click --repeat 2 --delay 120 1
main=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vorbelzoz' | head -n1) ||
    fail "the main window did not open after the double-click"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool windowfocus --sync "$main"
xdotool mousemove $((X + 284)) $((Y + 44)) click 1  # 开始
for _ in $(seq 300); do
    [ -s "$folder/mp3/apple.mp3" ] && break
    sleep 0.2
done
import -window root "$work/quiz.png"
[ -s "$folder/mp3/apple.mp3" ] || fail "the quiz did not cache mp3/apple.mp3"
sleep 0.5
head -c 3 "$folder/mp3/apple.mp3" | grep -q '^ID3' ||
    [ "$(head -c 1 "$folder/mp3/apple.mp3" | od -An -tx1 | tr -d ' ')" = ff ] ||
    fail "mp3/apple.mp3 is not an MP3 file"
kill_program_and_expect_nothing_left

# ---- Removing the package ------------------------------------------------
in_root apt-get remove -y -q vorbelzoz >>"$work/apt.log" 2>&1 || fail "apt-get remove failed"
[ ! -e "$root/usr/lib/vorbelzoz/vorbelzoz" ] || fail "the program is still installed"
[ "$(printf 'apple\r\n')" = "$(cat "$edited")" ] && [ -s "$folder/mp3/apple.mp3" ] ||
    fail "removing the package touched the learner's folder"

cleanup
trap - EXIT
echo "package test passed in $((SECONDS - started)) s, cleaning up included (screenshots in $work)"
