#!/usr/bin/env bash
# Golden runs: every folder here holds a session script (script.actions), the report the run
# must end with (report.json, numbers to three decimals, the timings, memory and the clock left
# out) and every map file the script saves (compared byte for byte). The runs use the demo content the build
# writes beside the program and the settings in settings.ini; a script reaches the content
# through the folder "content" of its working folder (load-map content/objects/demo.txt).
#
#   run.sh KORVELA [NAME...]           compare (all runs when no name is given)
#   run.sh KORVELA --bless [NAME...]   take the results as the new expectations, show the diff
set -u

exe=$(realpath "$1")
shift
bless=0
if [ "${1:-}" = "--bless" ]; then
    bless=1
    shift
fi
here=$(cd "$(dirname "$0")" && pwd)
content=$(dirname "$exe")
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export LC_ALL=C.UTF-8
# The expected reports hold the Japanese texts, whatever the machine's desktop speaks.
export LANGUAGE=ja
unset KORVELA_WEB_BASE

[ -d "$content/objects" ] || { echo "FAIL: no demo content beside $exe"; exit 1; }

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for script in "$here"/*/script.actions; do
        names+=("$(basename "$(dirname "$script")")")
    done
fi

# The report with every number rounded to three decimals (trailing ".000" dropped, so that
# 2 and 1.9999999 read alike), the timings left out and one value a line, for readable diffs.
normalise()
{
    perl -CSD -0777 -ne '
        s/"ms_per_pass":\{[^{}]*\},//;
        s/"peak_rss_mb":[0-9.eE+-]*,//;
        s/,"clock":\{[^{}]*\}//;
        my ($out, $depth) = ("", 0);
        my $newline = sub { $out .= "\n" . ("  " x $depth) };
        while (/\G\s*(?:("(?:[^"\\]|\\.)*")|(-?[0-9][0-9.eE+-]*)|([{\[])|([}\]])|(,)|(:)|(true|false|null))/gc) {
            if (defined $1) { $out .= $1 }
            elsif (defined $2) {
                my $n = sprintf("%.3f", $2);
                $n =~ s/\.000$//;
                $n = "0" if $n eq "-0";
                $out .= $n;
            }
            elsif (defined $3) { $out .= $3; $depth++; $newline->() }
            elsif (defined $4) { $depth--; $newline->(); $out .= $4 }
            elsif (defined $5) { $out .= ","; $newline->() }
            elsif (defined $6) { $out .= ": " }
            else { $out .= $7 }
        }
        $out =~ s/([\[{])\n *\n *([\]}])/$1$2/g;
        print $out, "\n";
    ' "$1"
}

failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in "${names[@]}"; do
    before=$failed
    expected=$here/$name
    [ -f "$expected/script.actions" ] || { echo "FAIL: $name: no $expected/script.actions"; failed=1; continue; }
    run=$work/$name
    mkdir -p "$run/out"
    ln -s "$content" "$run/out/content"
    if ! (cd "$run/out" && "$exe" --headless --settings "$here/settings.ini" \
            --actions "$expected/script.actions" --report "$run/report.raw") >"$run/log" 2>&1; then
        echo "FAIL: $name: the run failed"
        tail -n 20 "$run/log"
        failed=1
        continue
    fi
    rm "$run/out/content"
    normalise "$run/report.raw" >"$run/out/report.json"

    if [ $bless -eq 1 ]; then
        find "$expected" -type f ! -name script.actions -delete
        cp "$run/out/"* "$expected/"
        echo "blessed $name"
        continue
    fi
    for file in "$run/out/"*; do
        base=$(basename "$file")
        if [ ! -f "$expected/$base" ]; then
            echo "FAIL: $name: the run wrote $base, which is not expected"
            failed=1
        elif ! cmp -s "$file" "$expected/$base"; then
            echo "FAIL: $name: $base differs from the expected one"
            diff -u "$expected/$base" "$file" | head -n 40
            failed=1
        fi
    done
    for file in "$expected/"*; do
        base=$(basename "$file")
        [ "$base" = script.actions ] || [ -f "$run/out/$base" ] || {
            echo "FAIL: $name: the run did not write $base"
            failed=1
        }
    done
    [ $failed -eq $before ] && echo "ok $name"
done

if [ $bless -eq 1 ]; then
    # What the new expectations change, for the commit that takes them.
    git -C "$here" status --short -- .
    git -C "$here" --no-pager diff --stat -- .
    git -C "$here" --no-pager diff -- . | head -n 200
fi
exit $failed
