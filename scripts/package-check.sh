#!/usr/bin/env bash
# Checks the Debian package that `make package` built in BUILD_DIR (default build/):
#   package-check.sh [BUILD_DIR]
# It is unpacked into a throw-away root with dpkg -x (nothing is installed on this machine);
# its files are checked, the unpacked zefiran-setup-db sets up a database on a private
# server, and the unpacked program is started offscreen beside the unpacked call simulator,
# as the desktop's menu starts it (no working directory of its own, a fresh data folder).
# It has come up against that database when a call from the simulator is in the call log,
# with the caller found in the directory.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
db="$here/scripts/privatedb.sh"
app_id=tr.com.zefiran.Zefiran

fail() {
    echo "package-check: $*" >&2
    exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/zefiran_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || fail "no package $deb (run make package)"
echo "package-check: $(basename "$deb"), $(stat -c %s "$deb") bytes"

work=$(mktemp -d /tmp/zefiran-package-check.XXXXXX)
program_pid=
callsim_pid=
# Ends the two programs started here, by their ids; a killed program's status is no failure.
stop_started() {
    local pid
    for pid in "$@"; do
        kill "$pid" 2>/dev/null || continue
        wait "$pid" 2>/dev/null || true
    done
}
cleanup() {
    stop_started $program_pid $callsim_pid
    "$db" stop "$work/db" || true
    rm -rf "$work"
}
trap cleanup EXIT

# The control fields: the libraries' packages from dpkg-shlibdeps, the server recommended.
field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == zefiran ]] || fail "package name $(field Package)"
[[ "$(field Recommends)" == *mariadb-server* ]] || fail "mariadb-server is not recommended"
for needed in libqt6widgets6 libmariadb3 gstreamer1.0-plugins-good; do
    [[ "$(field Depends)" == *"$needed"* ]] || fail "Depends lacks $needed: $(field Depends)"
done
# Every dependency is a Debian package that this Debian machine knows.
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "the dependencies cannot be resolved"; }

# Exactly these files: the programs and what they ship, no test or benchmark program.
expected="./usr/bin/zefiran
./usr/bin/zefiran-callsim
./usr/bin/zefiran-setup-db
./usr/share/applications/$app_id.desktop
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/metainfo/$app_id.metainfo.xml
./usr/share/zefiran/gurup.txt
./usr/share/zefiran/phone.mp3
./usr/share/zefiran/referans.txt
./usr/share/zefiran/schema.sql"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
[[ "$files" == "$expected" ]] || fail "the package holds:
$files
instead of:
$expected"

root="$work/root"
dpkg -x "$deb" "$root"
desktop="$root/usr/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    fail "the metainfo file is not valid"
[[ "$(sed -n 's/^Exec=//p' "$desktop")" == zefiran ]] || fail "the desktop entry starts no zefiran"
[[ "$(sed -n 's/^Icon=//p' "$desktop")" == "$app_id" ]] || fail "the desktop entry names another icon"

# A private server, and the call simulator's ports.
"$db" init "$work/db"
db_port=$("$db" free-port)
"$db" start "$work/db" "$db_port"
socket=$(cat "$work/db/socket-path")
client=(mariadb --no-defaults --socket="$socket" -uroot --default-character-set=latin5)
ncid_port=$("$db" free-port)
sms_port=$("$db" free-port)
feed_port=$("$db" free-port)

# The user had pointed the settings at the call simulator; the set-up keeps that.
home="$work/home"
mkdir -p "$home"
printf '[CIDevice]\r\nPort=ncid://127.0.0.1:%s\r\n' "$ncid_port" >"$home/cidsetup.ini"
export ZEFIRAN_HOME="$home"
# This PC's server, its root through the socket, the schema the package ships.
env -u SUDO_USER "$root/usr/bin/zefiran-setup-db" --socket "$socket" >"$work/setup.log" 2>&1 ||
    { cat "$work/setup.log" >&2; fail "zefiran-setup-db failed"; }
sed 's/^/package-check: setup-db: /' "$work/setup.log"
[[ "$(stat -c %a "$home/cidsetup.ini")" == 600 ]] || fail "the settings file is readable by others"
grep -q "^Port=ncid://127.0.0.1:$ncid_port" "$home/cidsetup.ini" || fail "the [CIDevice] section went"
"${client[@]}" cid602 -e "INSERT INTO rehber (tarih, adsoyad, gsmtel1)
    VALUES (CURDATE(), X'41686D65742059FD6C6D617A', '05321234567')"

"$root/usr/bin/zefiran-callsim" serve --port "$ncid_port" --sms-port "$sms_port" \
    --feed-port "$feed_port" >"$work/callsim.log" 2>&1 &
callsim_pid=$!
for _ in $(seq 1 100); do
    grep -q "NCID server listening" "$work/callsim.log" && break
    kill -0 "$callsim_pid" 2>/dev/null || { cat "$work/callsim.log" >&2; fail "the call simulator ended"; }
    sleep 0.1
done
grep -q "NCID server listening" "$work/callsim.log" || fail "the call simulator does not answer"

# Started from a folder that holds nothing of the program's.
mkdir -p "$work/elsewhere"
(cd "$work/elsewhere" && QT_QPA_PLATFORM=offscreen exec "$root/usr/bin/zefiran") \
    >"$work/zefiran.log" 2>&1 &
program_pid=$!

# A call that comes before the program has connected to the simulator is history to it and
# ignored, so calls are made until one is in the call log.
logged() {
    "${client[@]}" -N cid602 -e "SELECT HEX(arayan) FROM arayanlar WHERE telno = '05321234567'"
}
for _ in $(seq 1 120); do
    kill -0 "$program_pid" 2>/dev/null || { cat "$work/zefiran.log" >&2; fail "the program ended"; }
    [[ -n "$(logged)" ]] && break
    "$root/usr/bin/zefiran-callsim" call 05321234567 --port "$ncid_port" >/dev/null
    sleep 0.5
done
[[ -n "$(logged)" ]] || { cat "$work/zefiran.log" >&2; fail "no call reached the call log"; }
[[ "$(logged | head -1)" == 41686D65742059FD6C6D617A ]] ||
    fail "the call was logged without the customer's name: $(logged)"
echo "package-check: a call from the simulator is in the call log with the customer's name"

# The program runs in its data folder, with the shipped lists and sound copied there.
[[ "$(readlink "/proc/$program_pid/cwd")" == "$home" ]] ||
    fail "the program runs in $(readlink "/proc/$program_pid/cwd"), not in its data folder"
for name in gurup.txt referans.txt phone.mp3; do
    cmp -s "$root/usr/share/zefiran/$name" "$home/$name" || fail "$name was not copied"
done
kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
echo "package-check: the installed program runs in its data folder with its lists and sound"
