#!/usr/bin/env bash
# A bad day at the source, on real files through pelvane-cli: a tree with
# names outside the code page and a path over 260 characters is backed up
# (run 1), partly changed (run 2: versions of exactly the changed files, with
# their old bytes and dates), mass-changed (run 3: held with exit status 5,
# the target and its versions untouched), and let through with
# --accept-changes (run 4: versions of the previous state). Restores as of
# each moment between the runs, and of the latest state, give exactly the
# source tree of that moment: names, bytes and dates.
# Usage: cli-versions-scenario.sh BIN_DIR
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog"
cp "$bin/pelvane-cli.exe" "$bin/sqlite3.dll" "$work/prog/"  # its Pelvane.log goes beside it
win() { echo "Z:${1//\//\\}"; }
fail() {
    echo "FAILED: $*"
    exit 1
}
src=$work/Docs save=$work/Save
copies=$save/Docs versions=$save/Pelvane-változatok/Docs

# Runs pelvane-cli, its lines into $work/out (carriage returns dropped); the
# exit status must be the one given.
cli() {
    local want=$1 status=0
    shift
    "${WINE:-/usr/lib/wine/wine64}" "$work/prog/pelvane-cli.exe" "$@" >"$work/out.raw" 2>"$work/err" || status=$?
    tr -d '\r' <"$work/out.raw" >"$work/out"
    cat "$work/out" "$work/err"
    [ "$status" -eq "$want" ] || fail "pelvane-cli $1: exit status $status, expected $want"
}
no_error_lines() { if grep -q '^Hiba: ' "$work/out"; then fail "$1 wrote error lines"; fi; }

# A tree's files with sizes and dates (to the nanosecond), in one order.
listing() { (cd "$1" && find . -type f -printf '%P\t%s\t%T@\n' | LC_ALL=C sort); }
# Two trees alike in names, sizes, dates and bytes; a difference is named.
same_tree() {
    local expected=$1 actual=$2 f
    [ -d "$actual" ] || fail "$3: $actual is missing"
    diff <(listing "$expected") <(listing "$actual") || fail "$3: the files, sizes or dates differ (< expected, > found)"
    while IFS= read -r -d '' f; do
        cmp "$expected/$f" "$actual/$f" || fail "$3: $f differs"
    done < <(cd "$expected" && find . -type f -print0)
}

# The clock past the second now running: what happened before lies in
# earlier seconds. Version names and --as-of go by the second.
next_second() {
    local now
    now=$(date +%s)
    while [ "$(date +%s)" -le "$now" ]; do sleep 0.05; done
}
# A moment strictly between what happened before and what comes after, to
# the second; the local time as --as-of takes it.
moment() {
    next_second
    date +'%Y.%m.%d %H:%M:%S'
    next_second
}
stamp() { date +'%Y-%m-%d %H%M%S'; }  # the local time as a version name writes it

# Content of a state: its own text and a size of its own. Dates go by whole seconds.
put() {  # FILE STATE EPOCH
    mkdir -p "$(dirname "$1")"
    {
        printf '%s %s\n' "$2" "$1"
        head -c $((RANDOM % 4000)) /dev/urandom
    } >"$1"
    touch -d "@$3" "$1"
}

# State 1: 40 files, among them names the code page lacks (also one outside
# the Basic Multilingual Plane), a name without extension, one with two
# points, and two files whose path from the source on is over 260 characters.
deep=mély/$(printf 'a%.0s' {1..70})/$(printf 'Ω%.0s' {1..70})/$(printf 'b%.0s' {1..70})/$(printf 'c%.0s' {1..60})
names=()
for i in $(seq -w 1 15); do names+=("a/file$i.txt" "b/c/note$i.dat"); done
names+=("日本.txt" "Ωmega.doc" "Мария/отчёт.xlsx" "README" "archive.tar.gz" "emoji 😀.txt" "Jelentés.docx"
    "Árvíztűrő tükörfúrógép.txt" "$deep/hosszú jelentés.txt" "$deep/second.bin")
[ ${#names[@]} -eq 40 ]
[ $(($(printf '%s' "$src/$deep/hosszú jelentés.txt" | wc -m) - ${#work})) -gt 260 ]
day=1700000000
for n in "${names[@]}"; do
    put "$src/$n" 1 $((day += 61))
done
cp -a "$src" "$work/state1"

cli 0 run "$(win "$src")" "$(win "$save")"
no_error_lines "run 1"
same_tree "$work/state1" "$copies" "run 1's copies"
[ ! -e "$save/Pelvane-változatok" ] || fail "run 1 made versions of new copies"
m1=$(moment)

# State 2: 10 files changed, fewer than half (one only in size, its date
# kept), and 2 new ones; the changed dates lie after m1.
changed2=("a/file01.txt" "a/file02.txt" "b/c/note01.dat" "日本.txt" "Мария/отчёт.xlsx" "README" "archive.tar.gz"
    "$deep/hosszú jelentés.txt" "Jelentés.docx")
now=$(date +%s)
for n in "${changed2[@]}"; do put "$src/$n" 2 "$now"; done
old=$(stat -c %Y "$src/a/file03.txt")
printf 'another size\n' >>"$src/a/file03.txt"
touch -d "@$old" "$src/a/file03.txt"
changed2+=("a/file03.txt")
put "$src/új/első.txt" 2 "$now"
put "$src/b/new.dat" 2 "$now"
cp -a "$src" "$work/state2"

# The versions of one run: exactly the files named, each under its name with
# the time of the run, holding the copy it replaced (bytes and date).
check_versions() {  # RUN BEFORE AFTER OLD_STATE FILES...
    local run=$1 before=$2 after=$3 old=$4 path folder name stem time ext orig
    shift 4
    local -A expected=()
    for n in "$@"; do expected[$n]=1; done
    local found=0
    while IFS= read -r -d '' path; do
        folder=$(dirname "$path")
        name=$(basename "$path")
        [[ "$name" =~ ^(.*)\ \(([0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{6})\)(\.[^.]*)?$ ]] ||
            fail "$run: version $path has no time in its name"
        stem=${BASH_REMATCH[1]} time=${BASH_REMATCH[2]} ext=${BASH_REMATCH[3]}
        # As numbers, yyyymmddhhmmss.
        ((10#${time//[^0-9]/} >= 10#${before//[^0-9]/})) || continue  # an earlier run's
        ((10#${time//[^0-9]/} <= 10#${after//[^0-9]/})) || fail "$run: $path is named after the run ended ($after)"
        orig=$stem$ext
        [ "$folder" = . ] || orig=$folder/$orig
        [ -n "${expected[$orig]:-}" ] || fail "$run: a version of $orig, which did not change"
        unset "expected[$orig]"
        ((found += 1))
        cmp "$old/$orig" "$versions/$path" || fail "$run: the version of $orig does not hold its old bytes"
        [ "$(find "$old/$orig" -printf '%T@')" = "$(find "$versions/$path" -printf '%T@')" ] ||
            fail "$run: the version of $orig does not keep its old date"
    done < <(cd "$versions" && find . -type f -printf '%P\0')
    [ ${#expected[@]} -eq 0 ] || fail "$run: no version of ${!expected[*]}"
    [ "$found" -eq $# ] || fail "$run: $found versions, expected $#"
}

before=$(stamp)
cli 0 run "$(win "$src")" "$(win "$save")"
after=$(stamp)
no_error_lines "run 2"
same_tree "$work/state2" "$copies" "run 2's copies"
check_versions "run 2" "$before" "$after" "$work/state1" "${changed2[@]}"
m2=$(moment)

# State 3: a mass change, as ransomware makes it: 30 of the 42 files
# rewritten in place with other bytes of the same size and a new date, and one
# new file (which does not count).
changed3=("${names[@]:0:22}" "日本.txt" "Ωmega.doc" "README" "archive.tar.gz" "emoji 😀.txt"
    "$deep/hosszú jelentés.txt" "$deep/second.bin" "új/első.txt")
[ ${#changed3[@]} -eq 30 ]
now=$(date +%s)
for n in "${changed3[@]}"; do
    size=$(stat -c %s "$src/$n")
    { printf 'ENCRYPTED'; head -c "$size" /dev/urandom; } | head -c "$size" >"$src/$n.tmp"
    mv "$src/$n.tmp" "$src/$n"
    touch -d "@$now" "$src/$n"
done
put "$src/b/c/readme-to-decrypt.txt" 3 "$now"
cp -a "$src" "$work/state3"

cp -a "$save" "$work/save2"
cli 5 run "$(win "$src")" "$(win "$save")"
grep -q "^Hiba: .*A feladat 42 másolatából 30 változna meg" "$work/out" || fail "run 3: no error line with the counts"
grep -q -- "--accept-changes" "$work/out" || fail "run 3: the error line does not say how to go ahead"
same_tree "$work/save2" "$save" "the held run 3's target"

before=$(stamp)
cli 0 run --method 2 --accept-changes "$(win "$src")" "$(win "$save")"
after=$(stamp)
no_error_lines "run 4"
same_tree "$work/state3" "$copies" "run 4's copies"
check_versions "run 4" "$before" "$after" "$work/state2" "${changed3[@]}"
[ "$(find "$versions" -type f | wc -l)" -eq 40 ] || fail "run 4 removed or added other versions"
m4=$(moment)

# Restores as of each moment, and of the latest state.
restore() {  # NAME EXPECTED [--as-of MOMENT]
    local name=$1 expected=$2
    shift 2
    cli 0 restore "$@" "$(win "$src")" "$(win "$save")" "$(win "$work/$name")"
    no_error_lines "restore $name"
    same_tree "$expected" "$work/$name/Docs" "restore $name"
}
restore as-of-1 "$work/state1" --as-of "$m1"
restore as-of-2 "$work/state2" --as-of "$m2"
restore as-of-4 "$work/state3" --as-of "$m4"
restore latest "$work/state3"
echo "all checks passed"
