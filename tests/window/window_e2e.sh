#!/usr/bin/env bash
# The window layer seen from outside: window_probe under a private Xvfb,
# driven with xdotool and the close-box helper.
# Usage: WM_CLOSE=... WM_STATE=... window_e2e.sh CASE PROBE
#   CASE: geometry | keys | repeat | escape | close | resize | minimise |
#         no-display
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

expect_no_stderr() {
    [ ! -s "$ERR" ] || e2e_fail "unexpected messages: $(cat "$ERR")"
}

case_geometry() {
    start_probe
    wait_first_paint
    [ "$(head -n 2 "$OUT" | tr '\n' ' ')" = "open 1 reshape 500 500 " ] ||
        e2e_fail "start-up lines: $(head -n 2 "$OUT")"
    sleep 0.3 # the probe logs right after its swap; let the image reach the server
    e2e_screenshot "$E2E_TMP/shot.png"
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
    e2e_key "$WID" Up Left Return KP_Enter space a shift+a 0 9 z shift+z
    e2e_wait_for "$OUT" '^key 90$' 5 || e2e_fail "keys lost: $(key_codes)"
    local expected="38 37 13 13 32 97 65 48 57 122 90 "
    [ "$(key_codes)" = "$expected" ] || e2e_fail "codes '$(key_codes)', expected '$expected'"

    # Let the last paint land, then dropped keys must leave no line at all.
    sleep 0.3
    local before
    before=$(wc -l <"$OUT")
    e2e_key "$WID" Tab BackSpace Delete Home F1 comma period KP_Add plus ctrl+a Shift_L
    sleep 0.5
    [ "$(wc -l <"$OUT")" = "$before" ] ||
        e2e_fail "dropped keys reached the program: $(tail -n +"$((before + 1))" "$OUT")"

    # A key that is delivered still works afterwards, with one paint.
    e2e_key "$WID" Down
    e2e_wait_lines "$OUT" $((before + 2)) 5 || e2e_fail "Down was not delivered"
    sleep 0.2
    [ "$(tail -n +"$((before + 1))" "$OUT" | tr '\n' ' ')" = "key 40 display " ] ||
        e2e_fail "after Down: $(tail -n +"$((before + 1))" "$OUT")"
    expect_no_stderr
}

case_repeat() {
    start_probe
    wait_first_paint
    e2e_focus "$WID"
    xdotool keydown Up
    sleep 1.5
    xdotool keyup Up
    sleep 0.2
    local presses
    presses=$(grep -c '^key 38$' "$OUT")
    ((presses >= 3)) || e2e_fail "held Up delivered $presses times; auto-repeat lost"
}

case_escape() {
    start_probe --buffered
    sleep 0.3
    local t0 elapsed
    t0=$(e2e_now_ms)
    e2e_key "$WID" Escape
    e2e_wait_exit "$PID" 1
    elapsed=$(($(e2e_now_ms) - t0))
    [ "$E2E_STATUS" = 0 ] || e2e_fail "Escape: exit status $E2E_STATUS after ${elapsed} ms"
    # Buffered lines were flushed on the way out; the program's own Escape
    # entry never ran and the loop never returned.
    [ "$(head -n 2 "$OUT" | tr '\n' ' ')" = "open 1 reshape 500 500 " ] ||
        e2e_fail "standard output lost on Escape: $(cat "$OUT")"
    ! grep -Eq '^(key 27|loop)' "$OUT" || e2e_fail "ran past the layer's Escape: $(cat "$OUT")"
    expect_no_stderr
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
    sleep 0.2
    [ "$(tail -n +"$((before + 1))" "$OUT" | tr '\n' ' ')" = "reshape 300 200 display " ] ||
        e2e_fail "after the resize: $(cat "$OUT" | tr "\n" ,)"
    sleep 0.3 # the probe logs right after its swap; let the image reach the server
    e2e_screenshot "$E2E_TMP/shot.png"
    e2e_pixel_near "$E2E_TMP/shot.png" 299 199 $COLOUR || e2e_fail "new area not painted"
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
    sleep 0.3
    e2e_wm_restore "$WID" || e2e_fail "wm_state failed"
    e2e_wait_lines "$OUT" $((before + 3)) 5 || e2e_fail "restore: $(cat "$OUT")"
    sleep 0.3
    [ "$(tail -n +"$((before + 1))" "$OUT" | tr '\n' ' ')" = "reshape 0 0 reshape 500 500 display " ] ||
        e2e_fail "minimise and restore: $(tail -n +"$((before + 1))" "$OUT")"
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
close) case_close ;;
resize) case_resize ;;
minimise) case_minimise ;;
no-display) case_no_display ;;
*) e2e_fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
