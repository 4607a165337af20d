#!/usr/bin/env bash
# A pelvane-cli run stopped by Ctrl+C (SIGINT under Wine) inside a big file
# says so: "*** Mentés megszakítva: " before its end line, on standard output
# and in Pelvane.log, and exit status 4, also when an earlier task of the run
# was held by the change guard (5). Usage: cli-stop.sh BIN_DIR
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/src"
cp "$bin/pelvane-cli.exe" "$bin/sqlite3.dll" "$work/prog/"  # its Pelvane.log goes beside it
truncate -s 4G "$work/src/huge.iso"                          # sparse: takes no room in the source
win() { echo "Z:${1//\//\\}"; }

# A task backed up once, then all its 20 files changed: the guard holds it.
mkdir -p "$work/held"
for i in $(seq 20); do echo "first $i" >"$work/held/f$i.txt"; done
"${WINE:-/usr/lib/wine/wine64}" "$work/prog/pelvane-cli.exe" run --no-log "$(win "$work/held")" "$(win "$work/kept")" \
    >/dev/null 2>&1
for i in $(seq 20); do echo "changed since $i" >"$work/held/f$i.txt"; done

"${WINE:-/usr/lib/wine/wine64}" "$work/prog/pelvane-cli.exe" run "$(win "$work/held")" "$(win "$work/kept")" \
    "$(win "$work/src")" "$(win "$work/out")" >"$work/out.log" 2>"$work/err.log" &
pid=$!
# Inside the file: its temporary copy is there.
for _ in $(seq 1200); do compgen -G "$work/out/src/~pelvane*.tmp" >/dev/null && break; sleep 0.05; done
compgen -G "$work/out/src/~pelvane*.tmp" >/dev/null || { echo "the copy was never seen"; cat "$work/out.log"; exit 1; }
kill -INT "$pid"
status=0
wait "$pid" || status=$?
cat "$work/out.log" "$work/err.log"
echo "exit $status"
[ "$status" -eq 4 ]
grep -q "^Hiba: .* másolatából 20 változna meg" "$work/out.log"
grep -qx "first 1" "$work/kept/held/f1.txt"
tail -n 2 "$work/out.log" | head -n 1 | grep -q "^\*\*\* Mentés megszakítva: "
tail -n 1 "$work/out.log" | grep -q "^\*\*\* Mentés kész: "
diff <(tr -d '\r' <"$work/prog/Pelvane.log") "$work/out.log"
[ -z "$(find "$work/out" -type f)" ]
