#!/usr/bin/env bash
# A pelvane-cli restore stopped by Ctrl+C (SIGINT under Wine) inside a big
# file: the file restored before it stays, nothing of the big one and no
# temporary file does; "*** Visszaállítás megszakítva: " comes before the end
# line, on standard output and in Pelvane.log, and the exit status is 4.
# Usage: cli-restore-stop.sh BIN_DIR
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/Save/src"
cp "$bin/pelvane-cli.exe" "$bin/sqlite3.dll" "$work/prog/"  # its Pelvane.log goes beside it
printf 'small' >"$work/Save/src/a.txt"
truncate -s 4G "$work/Save/src/huge.iso"  # the copy of a big file, sparse
win() { echo "Z:${1//\//\\}"; }

# Writing is capped at 2 GB: a restore that the signal does not stop dies there, never fills the disk.
(
    ulimit -f $((2 * 1024 * 1024))
    exec "${WINE:-/usr/lib/wine/wine64}" "$work/prog/pelvane-cli.exe" restore "$(win "$work/src")" \
        "$(win "$work/Save")" "$(win "$work/into")"
) >"$work/out.log" 2>"$work/err.log" &
pid=$!
# Inside the file: its temporary copy is there.
for _ in $(seq 1200); do compgen -G "$work/into/src/~pelvane*.tmp" >/dev/null && break; sleep 0.05; done
compgen -G "$work/into/src/~pelvane*.tmp" >/dev/null || { echo "the write was never seen"; cat "$work/out.log"; exit 1; }
kill -INT "$pid"
status=0
wait "$pid" || status=$?
cat "$work/out.log" "$work/err.log"
echo "exit $status"
[ "$status" -eq 4 ]
tail -n 2 "$work/out.log" | head -n 1 | grep -q "^\*\*\* Visszaállítás megszakítva: "
tail -n 1 "$work/out.log" | grep -q "^\*\*\* Visszaállítás kész: "
! grep -q "^Hiba: " "$work/out.log"
diff <(tr -d '\r' <"$work/prog/Pelvane.log") "$work/out.log"
[ "$(find "$work/into" -type f)" = "$work/into/src/a.txt" ]
[ "$(cat "$work/into/src/a.txt")" = small ]
