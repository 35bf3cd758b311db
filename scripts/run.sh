#!/usr/bin/env bash
# `make run`: opens the program. When the settings file names a server that answers, the
# program uses it. Otherwise a private MariaDB server is started with its data in the
# program's data folder (created with the demo directory the first time), a settings file
# pointing at it is written when there is none, and the server stops when the program ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/bin"
data="${ZEFIRAN_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/zefiran}"
settings="$data/cidsetup.ini"
dbdir="$data/mariadb"
database=cid602

# Reads a key of section MySql from the settings file (names compared without case).
ini_value() {
    awk -v want="$1" '
        BEGIN { IGNORECASE = 1 }
        /^[ \t]*\[/ { section = $0; gsub(/[][ \t\r]/, "", section); next }
        tolower(section) == "mysql" && index($0, "=") {
            key = substr($0, 1, index($0, "=") - 1); gsub(/^[ \t]+|[ \t\r]+$/, "", key)
            if (tolower(key) == tolower(want)) {
                value = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t\r]+$/, "", value)
                if (value ~ /^".*"$/ || value ~ /^'\''.*'\''$/) value = substr(value, 2, length(value) - 2)
                print value; exit
            }
        }' "$settings"
}

configured_server_answers() {
    [[ -f "$settings" ]] || return 1
    local host port
    host=$(ini_value ServerName)
    port=$(ini_value port)
    [[ -n "$host" ]] || return 1
    mariadb-admin --no-defaults --protocol=TCP -h"$host" -P"${port:-3306}" \
        -u"$(ini_value UserName)" -p"$(ini_value pass)" --connect-timeout=2 ping >/dev/null 2>&1
}

run_program() {
    # The group and referral lists are read from the working directory.
    cd "$root/demo"
    "$bin/zefiran"
}

mkdir -p "$data"
if configured_server_answers; then
    echo "Using the database server named in $settings"
    run_program
    exit
fi

db="$root/scripts/privatedb.sh"
fresh=0
[[ -d "$dbdir/data/mysql" ]] || fresh=1
"$db" init "$dbdir"
[[ -s "$dbdir/port" ]] || "$db" free-port >"$dbdir/port"
port=$(cat "$dbdir/port")
trap '"$db" stop "$dbdir"' EXIT
"$db" start "$dbdir" "$port"

# The call simulator: an NCID caller-ID server on loopback that the settings point at;
# `zefiran-callsim call NUMBER` finds its port in $data/callsim/port.
callsim_dir="$data/callsim"
mkdir -p "$callsim_dir"
[[ -s "$callsim_dir/port" ]] || "$db" free-port >"$callsim_dir/port"
callsim_port=$(cat "$callsim_dir/port")
# Its SMS provider has a port of its own, which a new settings file's [Sms] Url names.
[[ -s "$callsim_dir/sms-port" ]] || "$db" free-port >"$callsim_dir/sms-port"
sms_port=$(cat "$callsim_dir/sms-port")
# So has the mobile caller feed's server, which a new settings file's [MobilDevice] names,
# with the demo phone's IMEI: `zefiran-callsim mobile 356938035643809 NUMBER`.
[[ -s "$callsim_dir/feed-port" ]] || "$db" free-port >"$callsim_dir/feed-port"
feed_port=$(cat "$callsim_dir/feed-port")
demo_imei=356938035643809
"$bin/zefiran-callsim" serve --port "$callsim_port" --sms-port "$sms_port" --feed-port "$feed_port" \
    >"$callsim_dir/serve.log" 2>&1 &
callsim_pid=$!
trap 'kill "$callsim_pid" 2>/dev/null || true; "$db" stop "$dbdir"' EXIT
sleep 0.2
kill -0 "$callsim_pid" 2>/dev/null ||
    echo "The call simulator did not start (see $callsim_dir/serve.log); the program runs without it"
client=(mariadb --no-defaults --protocol=TCP -h127.0.0.1 -P"$port" -uroot)

if [[ $fresh -eq 1 ]]; then
    password=$(head -c 18 /dev/urandom | base64 | tr -dc 'A-Za-z0-9')
    (umask 077 && echo "$password" >"$dbdir/password")
    "${client[@]}" -e "$("$db" root-password-sql "$password")"
fi
password=$(cat "$dbdir/password")
client+=(-p"$password" --default-character-set=latin5)

if ! "${client[@]}" -e "USE $database" 2>/dev/null; then
    echo "Creating the database $database with demo data"
    "${client[@]}" -e "CREATE DATABASE $database CHARACTER SET latin5 COLLATE latin5_turkish_ci"
    "${client[@]}" "$database" <"$root/db/schema.sql"
    "$bin/zefiran-demodata" | "${client[@]}" "$database"
fi

if [[ ! -f "$settings" ]]; then
    # It holds the database password: readable by the user alone.
    (umask 077 && printf '[MySql]\r\nServerName=127.0.0.1\r\ndatabase=%s\r\npass=%s\r\nport=%s\r\nprotokol=mysql-5\r\nUserName=root\r\n[MobilDevice]\r\nimeino=%s\r\nFeedUrl=http://127.0.0.1:%s/\r\n[Printing]\r\nPrintOK=\r\n[CIDevice]\r\nDeviceID=\r\nPort=ncid://127.0.0.1:%s\r\n[Sms]\r\nUrl=http://127.0.0.1:%s\r\n' \
        "$database" "$password" "$port" "$demo_imei" "$feed_port" "$callsim_port" "$sms_port" >"$settings")
    echo "Wrote $settings"
fi

run_program
