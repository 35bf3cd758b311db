#!/usr/bin/env bash
# Runs a command beside a private MariaDB server made for this run only, and stops the
# server afterwards, whatever the command's outcome. The command finds the server in
#   ZEFIRAN_TEST_DB_HOST, ZEFIRAN_TEST_DB_PORT, ZEFIRAN_TEST_DB_USER, ZEFIRAN_TEST_DB_PASSWORD
# and each test makes a database of its own there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
db="$here/privatedb.sh"

dir=$(mktemp -d /tmp/zefiran-testdb.XXXXXX)
cleanup() {
    "$db" stop "$dir" || true
    rm -rf "$dir"
}
trap cleanup EXIT INT TERM

"$db" init "$dir"
port=$("$db" free-port)
"$db" start "$dir" "$port"

password=$(head -c 18 /dev/urandom | base64 | tr -dc 'A-Za-z0-9')
mariadb --no-defaults --protocol=TCP -h127.0.0.1 -P"$port" -uroot -e "
    $("$db" root-password-sql "$password")
    SET GLOBAL max_connections = 500;"
# Tests read the statements a connection sent from the general log; benchmarks switch it off.
if [[ "${ZEFIRAN_STATEMENT_LOG:-1}" != 0 ]]; then
    mariadb --no-defaults --protocol=TCP -h127.0.0.1 -P"$port" -uroot -p"$password" -e "
        SET GLOBAL log_output = 'TABLE';
        SET GLOBAL general_log = 1;"
fi

export ZEFIRAN_TEST_DB_HOST=127.0.0.1
export ZEFIRAN_TEST_DB_PORT=$port
export ZEFIRAN_TEST_DB_USER=root
export ZEFIRAN_TEST_DB_PASSWORD=$password

status=0
"$@" || status=$?
exit $status
