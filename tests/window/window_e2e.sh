#!/usr/bin/env bash
# The window layer seen from outside: window_probe under a private Xvfb,
# driven with xdotool and the close-box helper.
# Usage: WM_CLOSE=... WM_STATE=... [MIROVAN=...] window_e2e.sh CASE PROBE
#   CASE: geometry | keys | repeat | escape | escape-full | close | resize |
#         minimise | no-display
# Nothing waits a fixed time: each step waits for what it expects, and "no
# more lines" is shown by a later key whose line follows at once.
set -u
. "$(dirname "$0")/../e2e/xvfb.sh"

CASE=$1
PROBE=$2
OUT=$E2E_TMP/out
ERR=$E2E_TMP/err
COLOUR="51 102 153"

# Starts the probe and waits for its window and first paint; sets WID, PID.
start_probe() {
    e2e_spawn "$OUT" "$ERR" "$PROBE" "$@"
    PID=$E2E_PID
    WID=$(e2e_window_id window_probe 5) || e2e_fail "the probe's window never showed"
}

wait_first_paint() {
    e2e_wait_for "$OUT" '^display$' 5 || e2e_fail "no first paint: $(cat "$OUT" "$ERR")"
}

key_codes() { sed -n 's/^key //p' "$OUT" | tr '\n' ' '; }

# Lines after line $1, on one line.
lines_after() { tail -n +"$(($1 + 1))" "$OUT" | tr '\n' ' '; }

# Sends Space (bound by the probe) and waits for its paint: every event the
# server had before it has then been handled.
settle() {
    local count
    count=$(grep -c '^key 32$' "$OUT")
    e2e_key "$WID" space
    e2e_wait_for_count '^key 32$' $((count + 1)) || e2e_fail "Space was not delivered"
    e2e_wait_for_count '^key 32$' $((count + 1)) 'display' || e2e_fail "no paint after Space"
}

# e2e_wait_for_count REGEX COUNT [NEXT]: waits (5 s at most) until COUNT
# lines of the output match REGEX and, given NEXT, the line after the last
# of them is NEXT.
e2e_wait_for_count() { e2e_until 5 counted "$@"; }
counted() {
    (($(grep -c -- "$1" "$OUT") >= $2)) &&
        { [ -z "${3:-}" ] || [ "$(grep -A1 -- "$1" "$OUT" | tail -n 1)" = "$3" ]; }
}

expect_no_stderr() {
    [ ! -s "$ERR" ] || e2e_fail "unexpected messages: $(cat "$ERR")"
}

case_geometry() {
    start_probe
    wait_first_paint
    [ "$(head -n 2 "$OUT" | tr '\n' ' ')" = "open 1 reshape 500 500 " ] ||
        e2e_fail "start-up lines: $(head -n 2 "$OUT")"
    e2e_wait_pixel "$E2E_TMP/shot.png" 250 250 $COLOUR 5 || e2e_fail "the paint never showed"
    local p
    for p in "0 0" "499 0" "0 499" "499 499" "250 250"; do
        e2e_pixel_near "$E2E_TMP/shot.png" $p $COLOUR || e2e_fail "client area does not cover $p"
    done
    for p in "500 0" "0 500" "500 500"; do
        ! e2e_pixel_near "$E2E_TMP/shot.png" $p $COLOUR 2>/dev/null ||
            e2e_fail "client area reaches $p: larger than 500x500"
    done
    expect_no_stderr
}

case_keys() {
    start_probe
    wait_first_paint
    e2e_key "$WID" Up Left Return KP_Enter space a shift+a 0 9 z Home F12 shift+z
    e2e_wait_for "$OUT" '^key 90$' 5 || e2e_fail "keys lost: $(key_codes)"
    local expected="38 37 13 13 32 97 65 48 57 122 36 123 90 "
    [ "$(key_codes)" = "$expected" ] || e2e_fail "codes '$(key_codes)', expected '$expected'"

    # Dropped keys leave no line at all: the Down sent after them is the
    # very next line, followed by its one paint.
    settle
    local before
    before=$(wc -l <"$OUT")
    e2e_key "$WID" Tab BackSpace Delete F1 comma period KP_Add plus ctrl+a Shift_L Down
    e2e_wait_lines "$OUT" $((before + 2)) 5 || e2e_fail "Down was not delivered"
    [ "$(lines_after "$before")" = "key 40 display " ] ||
        e2e_fail "dropped keys reached the program: $(lines_after "$before")"
    expect_no_stderr
}

case_repeat() {
    start_probe
    wait_first_paint
    e2e_focus "$WID"
    xdotool keydown Up
    e2e_wait_for_count '^key 38$' 3
    local ok=$?
    xdotool keyup Up
    ((ok == 0)) || e2e_fail "held Up delivered $(grep -c '^key 38$' "$OUT") times; auto-repeat lost"
}

case_escape() {
    start_probe --buffered
    local t0 elapsed
    t0=$(e2e_now_ms)
    e2e_key "$WID" Escape
    e2e_wait_exit "$PID" 1
    elapsed=$(($(e2e_now_ms) - t0))
    [ "$E2E_STATUS" = 0 ] || e2e_fail "Escape: exit status $E2E_STATUS after ${elapsed} ms"
    # Buffered lines were flushed on the way out through main; the loop
    # returned 0 as after the close box; the program's own Escape entry,
    # registered after the layer's, never ran.
    [ "$(head -n 2 "$OUT" | tr '\n' ' ')" = "open 1 reshape 500 500 " ] ||
        e2e_fail "standard output lost on Escape: $(cat "$OUT")"
    [ "$(tail -n 1 "$OUT")" = "loop 0" ] || e2e_fail "runMainLoop did not return 0: $(cat "$OUT")"
    ! grep -q '^key 27' "$OUT" || e2e_fail "ran past the layer's Escape: $(cat "$OUT")"
    expect_no_stderr
}

# Screen mode whose standard output cannot be written: Escape leaves through
# main, whose final flush turns the lost echo into status 1.
case_escape_full() {
    local scene=$E2E_TMP/one.scn
    echo "Sphere 5" >"$scene"
    "${MIROVAN:?MIROVAN must name the mirovan program}" -ecran "$scene" >/dev/full 2>"$ERR" &
    PID=$!
    e2e_on_exit "kill -9 $PID; wait $PID"
    WID=$(e2e_window_id Mirovan 5) || e2e_fail "screen mode's window never showed"
    e2e_key "$WID" Escape
    e2e_wait_exit "$PID" 1
    [ "$E2E_STATUS" = 1 ] || e2e_fail "Escape with standard output on /dev/full: status $E2E_STATUS"
}

case_close() {
    start_probe
    wait_first_paint
    e2e_wm_close "$WID" || e2e_fail "wm_close failed"
    e2e_wait_exit "$PID" 2
    [ "$E2E_STATUS" = 0 ] || e2e_fail "close box: exit status $E2E_STATUS"
    [ "$(tail -n 1 "$OUT")" = "loop 0" ] || e2e_fail "runMainLoop did not return 0: $(cat "$OUT")"
    expect_no_stderr
}

case_resize() {
    start_probe
    wait_first_paint
    local before
    before=$(wc -l <"$OUT")
    xdotool windowsize "$WID" 300 200
    e2e_wait_for "$OUT" '^reshape 300 200$' 5 || e2e_fail "no reshape: $(cat "$OUT")"
    e2e_wait_lines "$OUT" $((before + 2)) 5 || e2e_fail "no paint after the resize"
    settle
    [ "$(lines_after "$before")" = "reshape 300 200 display key 32 display " ] ||
        e2e_fail "after the resize: $(lines_after "$before")"
    e2e_wait_pixel "$E2E_TMP/shot.png" 299 199 $COLOUR 5 || e2e_fail "new area not painted"
    ! e2e_pixel_near "$E2E_TMP/shot.png" 300 0 $COLOUR 2>/dev/null || e2e_fail "window still wide"
    expect_no_stderr
}

case_minimise() {
    start_probe
    wait_first_paint
    local before
    before=$(wc -l <"$OUT")
    e2e_wm_iconify "$WID" || e2e_fail "wm_state failed"
    e2e_wait_for "$OUT" '^reshape 0 0$' 5 || e2e_fail "no reshape to 0 0: $(cat "$OUT")"
    e2e_wm_restore "$WID" || e2e_fail "wm_state failed"
    e2e_wait_lines "$OUT" $((before + 3)) 5 || e2e_fail "restore: $(cat "$OUT")"
    settle
    [ "$(lines_after "$before")" = "reshape 0 0 reshape 500 500 display key 32 display " ] ||
        e2e_fail "minimise and restore: $(lines_after "$before")"
    expect_no_stderr
}

case_no_display() {
    e2e_spawn "$OUT" "$ERR" env -u DISPLAY "$PROBE"
    e2e_wait_exit "$E2E_PID" 5
    [ "$E2E_STATUS" = 1 ] || e2e_fail "no display: exit status $E2E_STATUS"
    [ "$(cat "$OUT")" = "open 0" ] || e2e_fail "openWindow did not return 0: $(cat "$OUT")"
    local expected
    expected=$'Error: X11: The DISPLAY environment variable is missing\nError: create window failed'
    [ "$(cat "$ERR")" = "$expected" ] || e2e_fail "messages: $(cat "$ERR")"
}

xvfb_start
case "$CASE" in
geometry) case_geometry ;;
keys) case_keys ;;
repeat) case_repeat ;;
escape) case_escape ;;
escape-full) case_escape_full ;;
close) case_close ;;
resize) case_resize ;;
minimise) case_minimise ;;
no-display) case_no_display ;;
*) e2e_fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
