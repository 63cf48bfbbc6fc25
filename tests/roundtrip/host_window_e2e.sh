#!/usr/bin/env bash
# A generated source built with mirovan_add_scene, in its window under a
# private Xvfb: the picture is mirovan-snapshot's picture of the scene file
# at the same view angles, the keys turn it as in screen mode, Return spins
# it, a still view costs no CPU and Escape ends the program.
# Usage: host_window_e2e.sh CASE PROGRAM SNAPSHOT SCENE
#   CASE: picture | keys | spin | idle | escape
set -u
. "$(dirname "$0")/../e2e/xvfb.sh"

CASE=$1
PROGRAM=$2
SNAPSHOT=$3
SCENE=$4

# Starts the program and waits for its window; sets WID and PID.
start_host() {
    e2e_spawn "$E2E_TMP/out" "$E2E_TMP/err" "$PROGRAM"
    PID=$E2E_PID
    WID=$(e2e_window_id Mirovan 15) || e2e_fail "no window: $(cat "$E2E_TMP/err")"
}

# shows_snapshot AX AY: waits until the client area is the snapshot at
# AX, AY, byte for byte. The first frame is every later one, so the
# snapshot's first and tenth frames agree and the window shows that picture
# from its first paint on.
shows_snapshot() {
    "$SNAPSHOT" "$SCENE" "$E2E_TMP/first.png" --view "$1" "$2" >/dev/null ||
        e2e_fail "mirovan-snapshot failed"
    "$SNAPSHOT" "$SCENE" "$E2E_TMP/expected.png" --view "$1" "$2" --frames 10 >/dev/null ||
        e2e_fail "mirovan-snapshot failed"
    cmp -s <("$E2E_CONVERT" "$E2E_TMP/first.png" rgb:-) <("$E2E_CONVERT" "$E2E_TMP/expected.png" rgb:-) ||
        e2e_fail "the snapshot's first and tenth frames differ at $1 $2"
    e2e_wait_shows "$E2E_TMP/expected.png" 10 || e2e_fail "the window differs from the snapshot at $1 $2"
}

xvfb_start

case $CASE in
picture)
    start_host
    shows_snapshot 0 0
    [ ! -s "$E2E_TMP/out" ] || e2e_fail "the host printed: $(cat "$E2E_TMP/out")"
    [ ! -s "$E2E_TMP/err" ] || e2e_fail "messages: $(cat "$E2E_TMP/err")"
    ;;
keys)
    start_host
    shows_snapshot 0 0
    e2e_key "$WID" $(printf 'Up %.0s' $(seq 20)) $(printf 'Left %.0s' $(seq 30)) Right
    shows_snapshot 20 29
    ;;
spin)
    start_host
    shows_snapshot 0 0
    e2e_key "$WID" Return
    e2e_wait_shows "$E2E_TMP/expected.png" 5 differs || e2e_fail "Return did not start the spin"
    e2e_key "$WID" Return
    e2e_screen_still 500 5 || e2e_fail "Return did not stop the spin"
    ;;
idle)
    # A still view leaves the loop waiting: next to no CPU time in 2 s.
    start_host
    shows_snapshot 0 0
    ticks=$(e2e_cpu_ticks "$PID" 2)
    ((ticks <= 4)) || e2e_fail "the still host used $ticks ticks in 2 s"
    ;;
escape)
    start_host
    shows_snapshot 0 0
    e2e_key "$WID" Escape
    e2e_wait_exit "$PID" 5
    [ "$E2E_STATUS" = 0 ] || e2e_fail "Escape: status $E2E_STATUS"
    ;;
*)
    e2e_fail "unknown case $CASE"
    ;;
esac
