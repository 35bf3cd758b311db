#!/usr/bin/env bash
# The accessibility check, run by hand: starts the program under a virtual X server with the
# desktop's accessibility bus, and walks its three tabs over AT-SPI as a screen reader or an
# automation tool does (check.py next to this script), taking a screenshot of each step.
#
#   tools/a11y-check/a11y-check.sh     (after make build; uses build/bin)
#
# Needs, installed by hand (neither the build nor the tests use them):
#   apt-get install python3-pyatspi at-spi2-core dbus-x11 xvfb xauth imagemagick
#
# The program runs as `make run` runs it (scripts/run.sh: a private database with the demo
# directory, the call simulator), with its data folder in $ZEFIRAN_HOME (default
# /tmp/a11y-home) so that it shares nothing with another run. The screenshots go to
# $A11Y_SHOTS (default /tmp/a11y-shots). Exits 1 when a check failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export ZEFIRAN_HOME=${ZEFIRAN_HOME:-/tmp/a11y-home}
export A11Y_SHOTS=${A11Y_SHOTS:-/tmp/a11y-shots}

if [[ -z "${A11Y_CHECK_INSIDE:-}" ]]; then
    for tool in xvfb-run dbus-run-session import /usr/libexec/at-spi-bus-launcher; do
        command -v "$tool" >/dev/null || { echo "a11y-check: $tool is missing (see the header)" >&2; exit 2; }
    done
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        { echo "a11y-check: python3-pyatspi is missing (see the header)" >&2; exit 2; }
    [[ -x "$root/build/bin/zefiran" ]] || { echo "a11y-check: run make build first" >&2; exit 2; }
    # A display and a session bus of this run's own.
    exec xvfb-run -a -s "-screen 0 1280x900x24" \
        dbus-run-session -- env A11Y_CHECK_INSIDE=1 "$0" "$@"
fi

mkdir -p "$ZEFIRAN_HOME" "$A11Y_SHOTS"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus_launcher=$!
# Qt's AT-SPI bridge, also without a desktop session that asks for it.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
"$root/scripts/run.sh" >"$ZEFIRAN_HOME/a11y-run.log" 2>&1 &
program=$!

export A11Y_CALLSIM="$root/build/bin/zefiran-callsim"
status=0
/usr/bin/python3 "$root/tools/a11y-check/check.py" || status=$?

# check.py ends the program with its "Çıkış" button; should it not have, end it here.
for _ in $(seq 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$program" 2>/dev/null; then
    echo "a11y-check: the program did not end; stopping it"
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
fi
kill "$bus_launcher" 2>/dev/null || true
echo "screenshots in $A11Y_SHOTS; the program's output in $ZEFIRAN_HOME/a11y-run.log"
exit "$status"
