#!/usr/bin/env bash
# mirovan.exe -vrml and -opengl under Wine give the Linux build's files,
# echo and reports, byte for byte, except that every line ends in CR LF
# (text-mode files, standard output and error on Windows). On the examples,
# on random scenes, and on a scene large enough for several threads, with
# faults to report.
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
printf 'Sphre 3\nCube 1 2,5 3\nPush\n' >large.scn
while [ "$(stat -c %s large.scn)" -lt 2000000 ]; do cat random*.scn >>large.scn; done
printf 'Cone 1 x\nSpher 2' >>large.scn

failures=0
for scene in *.scn; do
    for mode in vrml opengl; do
        output=out.$mode
        "$LINUX" -$mode "$scene" "$output" >linux.echo 2>linux.err || e2e_fail "Linux $mode $scene"
        mv "$output" linux.out
        wine "$MIROVAN_EXE" -$mode "$scene" "$output" >windows.echo 2>windows.err
        status=$?
        if [ "$status" != 0 ] || ! cmp -s <(crlf linux.out) "$output" ||
            ! cmp -s <(crlf linux.echo) windows.echo || ! cmp -s <(crlf linux.err) windows.err; then
            echo "FAIL: $mode $scene: status $status; file, echo and reports:" >&2
            cmp <(crlf linux.out) "$output" >&2
            cmp <(crlf linux.echo) windows.echo >&2
            cmp <(crlf linux.err) windows.err >&2
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
# The scene itself named as the output, under another spelling: refused,
# and the scene is left as it was.
cp robot.scn self.scn
wine "$MIROVAN_EXE" -vrml self.scn ./SELF.SCN >/dev/null
cmp -s robot.scn self.scn || e2e_fail "translating a scene onto itself changed it"

((failures == 0)) || e2e_fail "$failures translations differ"
echo "PASS: every translation matches the Linux build's, in CR LF"
