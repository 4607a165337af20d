#!/usr/bin/env bash
# Ctrl+C (SIGINT under Wine) stops a pelvane-cli run, between files and
# inside a big one; the run still ends with its stop and end lines and status 4, the
# file being copied is not put in place (its old copy stays as it was) and no
# temporary file stays. Usage: ctrl-c.sh BIN_DIR
#
# The signal must find the run under way, or there is no stop to see: each
# run ends with a file far bigger than can be copied before the signal comes
# (sparse: it takes no room in the source), and it is sent only once a copy
# is seen under way. Writing is capped at 2 GB (ulimit), so a run that the
# signal does not stop dies there, fails, and never fills the disk.
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*"
    exit 1
}

python3 - "$work/small" <<'PY'
import os, sys
for d in range(50):
    folder = os.path.join(sys.argv[1], "d%02d" % d)
    os.makedirs(folder)
    for f in range(100):
        with open(os.path.join(folder, "f%03d.txt" % f), "w") as out:
            out.write("x" * 100)
PY
mkdir -p "$work/big"
truncate -s 64G "$work/big/huge.iso"
win() { echo "Z:${1//\//\\}"; }

# The old copy of the big file in a target: it must come through a stop untouched.
old_copy() {
    mkdir -p "$1/big"
    printf 'the old copy' >"$1/big/huge.iso"
    touch -d '2010-01-01 12:00:00' "$1/big/huge.iso"
}
check_old_copy() {
    [ "$(head -c 100 "$1/big/huge.iso")" = "the old copy" ] && [ "$(stat -c %s "$1/big/huge.iso")" = 12 ] ||
        fail "the old copy of huge.iso was replaced ($(stat -c %s "$1/big/huge.iso") bytes)"
    [ "$(date -r "$1/big/huge.iso" +%Y)" = 2010 ] || fail "the old copy of huge.iso got a new date"
}

# Runs pelvane-cli with the arguments (folder pairs as Linux paths) and sends
# Ctrl+C once ready_cmd succeeds; prints the log and sets $status.
interrupt() {
    local ready=$1 pid
    shift
    local args=()
    for a in "$@"; do args+=("$(win "$a")"); done
    rm -f "$work/log"
    (
        ulimit -f $((2 * 1024 * 1024))
        exec "${WINE:-/usr/lib/wine/wine64}" "$bin/pelvane-cli.exe" run --no-log "${args[@]}"
    ) >"$work/log" 2>&1 &
    pid=$!
    for _ in $(seq 6000); do
        eval "$ready" && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    eval "$ready" || { wait $pid || true; cat "$work/log"; fail "the copy was never seen under way"; }
    ! grep -q "\*\*\* Mentés kész: " "$work/log" || fail "the run ended before the signal"
    kill -INT "$pid" 2>/dev/null || fail "the run was gone before the signal"
    # A run the signal does not stop goes on until the cap: a minute is enough.
    for _ in $(seq 600); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null && echo "the run did not end within a minute of the signal"
    status=0
    wait $pid || status=$?
    cat "$work/log"
}

# Between files: the first task's small files are being copied when the
# signal comes; the second task's big file is never reached.
old_copy "$work/out-a"
interrupt 'find "$work/out-a/small" -type f -print -quit 2>/dev/null | grep -q .' \
    "$work/small" "$work/out-a" "$work/big" "$work/out-a"
copied=$(find "$work/out-a/small" -type f | wc -l)
echo "exit $status, copied $copied of 5000"
[ "$status" -eq 4 ] || fail "exit status $status, not 4 (stopped)"
grep -q "\*\*\* Mentés megszakítva: " "$work/log" || fail "no line that says the run was stopped"
grep -q "\*\*\* Mentés kész: " "$work/log" || fail "no end line"
! grep -q "Hiba: " "$work/log" || fail "an error line"
[ "$copied" -lt 5000 ] || fail "every small file was copied: the stop came too late"
[ -z "$(find "$work/out-a" -name '~pelvane*')" ] || fail "a temporary file was left"
check_old_copy "$work/out-a"

# Inside one big file: its copy is under way (its temporary file is there)
# when the signal comes. No copy of it, no temporary file, no error line.
old_copy "$work/out-b"
interrupt '[ -n "$(find "$work/out-b/big" -name "~pelvane*" 2>/dev/null)" ]' "$work/big" "$work/out-b"
echo "exit $status; in the target: $(find "$work/out-b" -type f | wc -l) files"
[ "$status" -eq 4 ] || fail "exit status $status, not 4 (stopped)"
grep -q "\*\*\* Mentés megszakítva: " "$work/log" || fail "no line that says the run was stopped"
grep -q "\*\*\* Mentés kész: " "$work/log" || fail "no end line"
! grep -q "Hiba: " "$work/log" || fail "an error line"
[ "$(find "$work/out-b" -type f)" = "$work/out-b/big/huge.iso" ] || fail "other files in the target"
check_old_copy "$work/out-b"
echo "both runs stopped"
