#!/usr/bin/env bash
# A private MariaDB server: its own data folder, socket and loopback port, no system service.
#
#   privatedb.sh init  DIR          create an empty data folder (no-op when it exists)
#   privatedb.sh start DIR PORT     start the server and wait until it answers
#   privatedb.sh stop  DIR          stop the server and wait until it has exited
#   privatedb.sh running DIR        exit 0 when the server of DIR is running
#   privatedb.sh free-port          print a free loopback port
#   privatedb.sh root-password-sql PASSWORD   the statements that give root a password
set -euo pipefail

as_user=()
[[ $(id -u) -eq 0 ]] && as_user=(--user=root)

die() { echo "privatedb: $*" >&2; exit 1; }

pid_of() { [[ -f "$1/mariadbd.pid" ]] && cat "$1/mariadbd.pid" 2>/dev/null || true; }

cmd_running() {
    local pid
    pid=$(pid_of "$1")
    [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null
}

cmd_init() {
    local dir=$1
    [[ -d "$dir/data/mysql" ]] && return 0
    mkdir -p "$dir"
    mariadb-install-db --no-defaults "${as_user[@]}" --datadir="$dir/data" \
        --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1 ||
        { cat "$dir/install.log" >&2; die "mariadb-install-db failed"; }
}

cmd_start() {
    local dir=$1 port=$2
    cmd_running "$dir" && return 0
    # The socket path must stay short (108 bytes), so it lives in a temporary folder.
    local sockdir
    sockdir=$(mktemp -d /tmp/zefiran-db.XXXXXX)
    echo "$sockdir/sock" >"$dir/socket-path"
    mariadbd --no-defaults "${as_user[@]}" --datadir="$dir/data" --socket="$sockdir/sock" \
        --pid-file="$dir/mariadbd.pid" --port="$port" --bind-address=127.0.0.1 \
        --log-error="$dir/error.log" --character-set-server=latin5 \
        --collation-server=latin5_turkish_ci --skip-name-resolve \
        --innodb-buffer-pool-size=256M --innodb-flush-log-at-trx-commit=2 \
        --max-connections=500 >/dev/null 2>&1 &
    local i
    for i in $(seq 1 300); do
        if mariadb-admin --no-defaults --protocol=TCP -h127.0.0.1 -P"$port" -uroot \
            --connect-timeout=1 ping >/dev/null 2>&1; then
            return 0
        fi
        # An "Access denied" also means the server answers.
        if mariadb-admin --no-defaults --protocol=TCP -h127.0.0.1 -P"$port" -uroot \
            --connect-timeout=1 ping 2>&1 | grep -q 'Access denied'; then
            return 0
        fi
        sleep 0.1
    done
    die "the server did not start, see $dir/error.log"
}

cmd_stop() {
    local dir=$1 pid
    pid=$(pid_of "$dir")
    [[ -n "$pid" ]] || return 0
    kill -TERM "$pid" 2>/dev/null || true
    local i
    for i in $(seq 1 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null || true
    rm -f "$dir/mariadbd.pid"
    if [[ -f "$dir/socket-path" ]]; then
        rm -rf "$(dirname "$(cat "$dir/socket-path")")"
        rm -f "$dir/socket-path"
    fi
}

cmd_free_port() {
    local port
    for port in $(shuf -i 20000-60000 -n 50); do
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    die "no free port found"
}

# The root accounts a loopback login may match (the server resolves no names).
cmd_root_password_sql() {
    local host
    for host in localhost 127.0.0.1 ::1; do
        echo "ALTER USER IF EXISTS root@'$host' IDENTIFIED BY '$1';"
    done
}

case "${1:-}" in
init) cmd_init "$2" ;;
start) cmd_start "$2" "$3" ;;
stop) cmd_stop "$2" ;;
running) cmd_running "$2" ;;
free-port) cmd_free_port ;;
root-password-sql) cmd_root_password_sql "$2" ;;
*) die "usage: privatedb.sh init|start|stop|running DIR [PORT] | free-port" ;;
esac
