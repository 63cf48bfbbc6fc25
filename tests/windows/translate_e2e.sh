#!/usr/bin/env bash
# mirovan.exe -vrml and -opengl under Wine give the Linux build's files,
# echo and reports, byte for byte, except that every line ends in CR LF
# (text-mode files, standard output and error on Windows); -html gives the
# very same page. On the examples, on random scenes, and on a scene large
# enough for several threads, with faults to report.
# Usage: translate_e2e.sh MIROVAN_EXE   (MIROVAN_LINUX_BUILD from suite.sh)
set -u
. "$(dirname "$0")/../e2e/xvfb.sh"

MIROVAN_EXE=$1
LINUX=$MIROVAN_LINUX_BUILD/driver/mirovan
RANDOM_SCENE=$MIROVAN_LINUX_BUILD/tests/roundtrip/roundtrip_random_scene
EXAMPLES=$(cd "$(dirname "$0")/../../examples" && pwd)
cd "$E2E_TMP" || exit 1

crlf() { sed 's/$/\r/' "$1"; }
# Wine's own notes on standard error (a prefix being updated, a debug
# channel), which are not the program's.
wine_own_lines_out() { grep -avE '^(wine[a-z]*: |[0-9a-f]{4}:(err|fixme|warn|trace):)' || true; }

for name in robot lights still_life; do cp "$EXAMPLES/$name.scn" "$name.scn"; done
crlf robot.scn >robot_crlf.scn  # a scene saved by a Windows editor
# Numbers whose echo the C library would spell: NaNs of either sign,
# infinities, and doubles from 2^63 up to the largest.
printf '%s\n' "Zoom nan -nan NAN" "Cylindre -nan inf" "Sphere -NaN(42)" "Cube -infinity 1e39 -3e38" \
    "Cube 9223372036854775808 1e300 -1.7976931348623157e308" "Sphere 123456789012345678901234567890" \
    "Material -nan 1 nan inf -inf 1e39 0 0 0 0 0 0 -nan" >numbers.scn
for seed in 1 2 3 4 5; do "$RANDOM_SCENE" "$seed" "random$seed.scn" || e2e_fail "random scene $seed"; done
# Large enough for several threads, with faults to report (translated only).
printf 'Sphre 3\nCube 1 2,5 3\nPush\n' >threads.scene
while [ "$(stat -c %s threads.scene)" -lt 2000000 ]; do cat random*.scn >>threads.scene; done
printf 'Cone 1 x\nSpher 2' >>threads.scene

failures=0
for scene in *.scn threads.scene; do
    for mode in vrml opengl; do
        output=out.$mode
        "$LINUX" -$mode "$scene" "$output" >linux.echo 2>linux.err || e2e_fail "Linux $mode $scene"
        mv "$output" linux.out
        wine "$MIROVAN_EXE" -$mode "$scene" "$output" >windows.echo 2>wine.err
        status=$?
        wine_own_lines_out <wine.err >windows.err
        if [ "$status" != 0 ] || ! cmp -s <(crlf linux.out) "$output" ||
            ! cmp -s <(crlf linux.echo) windows.echo || ! cmp -s <(crlf linux.err) windows.err; then
            echo "FAIL: $mode $scene: status $status; file, echo and reports:" >&2
            cmp <(crlf linux.out) "$output" >&2
            cmp <(crlf linux.echo) windows.echo >&2
            cmp <(crlf linux.err) windows.err >&2 || sed -n 1,5p wine.err >&2
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
# A read-only output is refused, as writing it would be; one with two names
# (hard links) is written over in place, the other name seeing the new text.
echo earlier >readonly.wrl
chmod 0444 readonly.wrl
wine "$MIROVAN_EXE" -vrml robot.scn readonly.wrl >readonly.echo
grep -q "readonly.wrl ne peut pas etre cree!!!" readonly.echo && [ "$(cat readonly.wrl)" = earlier ] ||
    e2e_fail "a read-only output was not refused: $(tail -n 1 readonly.echo)"
echo earlier >linked.wrl
ln linked.wrl other.wrl
"$LINUX" -vrml robot.scn linux.wrl >/dev/null
wine "$MIROVAN_EXE" -vrml robot.scn linked.wrl >/dev/null
cmp -s <(crlf linux.wrl) other.wrl || e2e_fail "a hard-linked output's other name lost the text"
# The web page is bytes, not text: the very same file, echo in CR LF.
for scene in *.scn; do
    "$LINUX" -html "$scene" out.html >linux.echo || e2e_fail "Linux html $scene"
    mv out.html linux.html
    wine "$MIROVAN_EXE" -html "$scene" out.html >windows.echo
    status=$?
    if [ "$status" != 0 ] || ! cmp -s linux.html out.html ||
        ! cmp -s <(crlf linux.echo) windows.echo; then
        echo "FAIL: html $scene: status $status; page and echo:" >&2
        cmp linux.html out.html >&2
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
