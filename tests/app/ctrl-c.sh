#!/usr/bin/env bash
# Ctrl+C (SIGINT under Wine) stops a pelvane-cli run, between files and
# inside a big one; the run still ends with its end line, the file being
# copied is not put in place and no temporary file stays. Usage: ctrl-c.sh BIN_DIR
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work/src" <<'PY'
import os, sys
for d in range(50):
    folder = os.path.join(sys.argv[1], "d%02d" % d)
    os.makedirs(folder)
    for f in range(100):
        with open(os.path.join(folder, "f%03d.txt" % f), "w") as out:
            out.write("x" * 100)
PY
mkdir -p "$work/big"
truncate -s 4G "$work/big/huge.iso"  # sparse: takes no room in the source
win() { echo "Z:${1//\//\\}"; }

# Runs pelvane-cli on SOURCE TARGET, sends Ctrl+C once the scan has ended;
# prints the log and sets $status. A run that has already ended when the
# signal is sent (a fast machine) cannot show a stop: $ended_first says so.
interrupt() {
    rm -f "$work/log"  # the last run's must not count as this one's
    "${WINE:-/usr/lib/wine/wine64}" "$bin/pelvane-cli.exe" run --no-log "$(win "$1")" "$(win "$2")" >"$work/log" 2>&1 &
    local pid=$!
    for _ in $(seq 600); do grep -q "Összesen" "$work/log" 2>/dev/null && break; sleep 0.05; done
    ended_first=0
    grep -q "\*\*\* Mentés kész: " "$work/log" && ended_first=1
    kill -INT "$pid" 2>/dev/null || ended_first=1
    status=0
    wait $pid || status=$?
    cat "$work/log"
}

interrupt "$work/src" "$work/out"
copied=$(find "$work/out" -type f 2>/dev/null | wc -l)
echo "exit $status, copied $copied of 5000"
[ "$status" -eq "$((ended_first ? 0 : 4))" ] && grep -q "\*\*\* Mentés kész: " "$work/log" &&
    ! find "$work/out" -name '~pelvane*' | grep -q . || exit 1
if [ "$ended_first" = 1 ]; then
    echo "the run ended before the signal arrived: no stop to check"
    [ "$copied" -eq 5000 ] || exit 1
else
    [ "$copied" -lt 5000 ] || exit 1
fi

# A stop inside one big file: no copy of it, no temporary file, no error line.
interrupt "$work/big" "$work/out-big"
echo "exit $status; in the target: $(find "$work/out-big" -type f 2>/dev/null | wc -l) files"
[ "$status" -eq "$((ended_first ? 0 : 4))" ] && grep -q "\*\*\* Mentés kész: " "$work/log" && ! grep -q "Hiba: " "$work/log" || exit 1
if [ "$ended_first" = 1 ]; then
    echo "the run ended before the signal arrived: no stop to check"
else
    [ -z "$(find "$work/out-big" -type f 2>/dev/null)" ]
fi
