#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks it as a Linux desktop expects an installed
# program: the files in their places, the desktop entry and the AppStream data valid, and the
# program run from a read-only prefix with a fresh home keeping its files in the user's folders,
# speaking the language it is asked for.
# usage: install.sh BUILD_DIR
set -euo pipefail

build=$1
work=$(mktemp -d)
prefix=$work/prefix
cleanup() {
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" > "$work/install.log"

id=org.korvela.Korvela
expected=(
    bin/korvela
    share/applications/$id.desktop
    share/metainfo/$id.metainfo.xml
    share/icons/hicolor/scalable/apps/$id.svg
    share/man/man1/korvela.1
    share/locale/en/LC_MESSAGES/korvela.mo
    share/korvela/korvela.ini
    share/korvela/使い方.rtf
    share/korvela/メッセージ.rtf
    share/korvela/en/使い方.rtf
    share/korvela/en/メッセージ.rtf
    share/korvela/objects/demo.txt
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=(share/icons/hicolor/${size}x${size}/apps/$id.png)
done
for file in "${expected[@]}"; do
    [ -s "$prefix/$file" ] || fail "$file was not installed"
done
grep -q 'inspect.*mesh' "$prefix/share/man/man1/korvela.1" || fail "the manual page lacks the --help text"
# The description is prose, the three ways to run the program its synopsis.
sed -n '/^\.SH DESCRIPTION/,/^\.SH/p' "$prefix/share/man/man1/korvela.1" | grep -q 'bundled demo map' ||
    fail "the manual page's description does not tell what the program opens"
sed -n '/^\.SH SYNOPSIS/,/^\.SH/p' "$prefix/share/man/man1/korvela.1" | grep -q 'inspect' ||
    fail "the manual page's synopsis lacks the --inspect-mesh form"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" > "$work/appstream.log" ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }

# Installed read-only, started by a user with an empty home.
chmod -R a-w "$prefix"
home=$work/home
mkdir "$home"
run() {
    env -i PATH="$PATH" HOME="$home" ASAN_OPTIONS=detect_leaks=0 "$@"
}
program=$prefix/bin/korvela

run "$program" --help > "$work/help.txt" || fail "--help did not exit 0"
grep -q -- '--lang' "$work/help.txt" || fail "--help does not name --lang"
[ "$(run "$program" --version)" = "korvela 1.0" ] || fail "--version"
status=0
run "$program" --no-such-option > /dev/null 2>&1 || status=$?
[ $status -eq 2 ] || fail "an unknown option exited $status, not 2"
status=0
run "$program" --lang fr --headless > /dev/null 2>&1 || status=$?
[ $status -eq 2 ] || fail "--lang fr exited $status, not 2"

run "$program" --headless --frames 10 --report "$work/r.json" || fail "the headless run failed"
[ -f "$home/.config/korvela/korvela.ini" ] || fail "no settings file under ~/.config/korvela/"
[ -f "$home/.local/share/korvela/objects/demo.txt" ] || fail "the content was not copied to ~/.local/share/korvela/"
grep -q '"types":\["' "$work/r.json" || fail "the run found no object types in the copied content"
grep -q '"messages":\[\]' "$work/r.json" || fail "the run showed messages: $(cat "$work/r.json")"
# Read from the user's copy: what the user removes there is gone.
rm "$home"/.local/share/korvela/objects/*.ini
run "$program" --headless --report "$work/r2.json" > /dev/null 2>&1 || true
grep -q '"types":\[\]' "$work/r2.json" || fail "the object types do not come from ~/.local/share/korvela/"

# Messages in the language asked for; the Japanese texts without a catalogue.
cd "$work"
run env LANGUAGE=en "$program" --headless --report en.json missing.txt || true
grep -q 'The file could not be opened.' en.json || fail "LANGUAGE=en: $(cat en.json)"
run env LANGUAGE=ja "$program" --headless --report ja.json missing.txt || true
grep -q 'ファイルオープン失敗' ja.json || fail "LANGUAGE=ja: $(cat ja.json)"
run env LANGUAGE=ja "$program" --lang en --headless --report lang.json missing.txt || true
grep -q 'The file could not be opened.' lang.json || fail "--lang en did not win over LANGUAGE=ja"

if [ $failures -ne 0 ]; then
    echo "$failures failed" >&2
    exit 1
fi
echo "install: all checks passed"
