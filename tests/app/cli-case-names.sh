#!/usr/bin/env bash
# Two names of one source folder that differ only in case (a case-sensitive
# folder, made here from the Linux side) would share one copy: the run copies
# the first it lists, gives the second a "Hiba: " line and exits with 1.
# Usage: cli-case-names.sh BIN_DIR
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/Sub" "$work/src/SUB"
echo lower >"$work/src/readme.txt"
echo UPPER >"$work/src/README.txt"
echo a >"$work/src/Sub/a.txt"
echo b >"$work/src/SUB/b.txt"
win() { echo "Z:${1//\//\\}"; }

status=0
"${WINE:-/usr/lib/wine/wine64}" "$bin/pelvane-cli.exe" run --no-log "$(win "$work/src")" "$(win "$work/out")" \
    >"$work/log" || status=$?
cat "$work/log"
[ "$status" -eq 1 ]
[ "$(grep -c "^Hiba: .* : Csak kis- és nagybetűben különbözik ettől: " "$work/log")" -eq 2 ]
# One copy of each pair, byte for byte: the one not named in an error line.
copies=$(cd "$work/out/src" && find . -type f | sort)
echo "$copies"
[ "$copies" = "$(printf './README.txt\n./SUB/b.txt')" ] || [ "$copies" = "$(printf './Sub/a.txt\n./readme.txt')" ] ||
    [ "$copies" = "$(printf './README.txt\n./Sub/a.txt')" ] || [ "$copies" = "$(printf './SUB/b.txt\n./readme.txt')" ]
for copy in $copies; do
    cmp "$work/src/$copy" "$work/out/src/$copy"
    first=${copy#./}
    first=${first%%/*}
    if grep -q "src\\\\$first : " "$work/log"; then exit 1; fi
done
