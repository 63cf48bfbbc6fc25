#!/usr/bin/env bash
# mirovan.exe -vrml and -opengl under Wine give the Linux build's files and
# echo, byte for byte, except that every line ends in CR LF (text-mode files
# and standard output on Windows); -html gives the very same page. On the
# examples and on random scenes.
# Usage: translate_e2e.sh MIROVAN_EXE   (MIROVAN_LINUX_BUILD from suite.sh)
set -u
. "$(dirname "$0")/../e2e/xvfb.sh"

MIROVAN_EXE=$1
LINUX=$MIROVAN_LINUX_BUILD/driver/mirovan
RANDOM_SCENE=$MIROVAN_LINUX_BUILD/tests/roundtrip/roundtrip_random_scene
EXAMPLES=$(cd "$(dirname "$0")/../../examples" && pwd)
cd "$E2E_TMP" || exit 1

crlf() { sed 's/$/\r/' "$1"; }

for name in robot lights still_life; do cp "$EXAMPLES/$name.scn" "$name.scn"; done
crlf robot.scn >robot_crlf.scn  # a scene saved by a Windows editor
for seed in 1 2 3 4 5; do "$RANDOM_SCENE" "$seed" "random$seed.scn" || e2e_fail "random scene $seed"; done

failures=0
for scene in *.scn; do
    for mode in vrml opengl; do
        output=out.$mode
        "$LINUX" -$mode "$scene" "$output" >linux.echo || e2e_fail "Linux $mode $scene"
        mv "$output" linux.out
        wine "$MIROVAN_EXE" -$mode "$scene" "$output" >windows.echo
        status=$?
        if [ "$status" != 0 ] || ! cmp -s <(crlf linux.out) "$output" ||
            ! cmp -s <(crlf linux.echo) windows.echo; then
            echo "FAIL: $mode $scene: status $status; file and echo:" >&2
            cmp <(crlf linux.out) "$output" >&2
            cmp <(crlf linux.echo) windows.echo >&2
            failures=$((failures + 1))
        fi
        # Translating again replaces the file the first run wrote.
        echo "stale" >"$output"
        wine "$MIROVAN_EXE" -$mode "$scene" "$output" >/dev/null
        cmp -s <(crlf linux.out) "$output" || {
            echo "FAIL: $mode $scene: an existing output was not replaced" >&2
            failures=$((failures + 1))
        }
    done
done
# The web page is bytes, not text: the very same file, echo in CR LF.
for scene in *.scn; do
    "$LINUX" -html "$scene" linux.html >linux.echo || e2e_fail "Linux html $scene"
    wine "$MIROVAN_EXE" -html "$scene" windows.html >windows.echo
    status=$?
    if [ "$status" != 0 ] || ! cmp -s linux.html windows.html ||
        ! cmp -s <(crlf linux.echo) windows.echo; then
        echo "FAIL: html $scene: status $status; page and echo:" >&2
        cmp linux.html windows.html >&2
        cmp <(crlf linux.echo) windows.echo >&2
        failures=$((failures + 1))
    fi
done
# The scene itself named as the output, under another spelling: refused,
# and the scene is left as it was.
cp robot.scn self.scn
wine "$MIROVAN_EXE" -vrml self.scn ./SELF.SCN >/dev/null
cmp -s robot.scn self.scn || e2e_fail "translating a scene onto itself changed it"

((failures == 0)) || e2e_fail "$failures translations differ"
echo "PASS: every translation matches the Linux build's, in CR LF"
