#!/usr/bin/env bash
# Screen mode seen from outside: the real `mirovan -ecran` under a private
# Xvfb, driven with xdotool and the close-box helper, checked by pixels.
# Usage: WM_CLOSE=... ecran_e2e.sh CASE MIROVAN [MIROVAN_SNAPSHOT]
#   CASE: picture | keys | spin | escape | close | resize | edit | watch |
#         early-edit | idle | snapshot | first-frame | pipe | missing |
#         no-display | mouse | screenshot-elsewhere
set -u
. "$(dirname "$0")/../e2e/xvfb.sh"

CASE=$1
MIROVAN=$2
SNAPSHOT=${3:-}
OUT=$E2E_TMP/out
ERR=$E2E_TMP/err
SCENE_DIR=$E2E_TMP/scenes
SCENE=$SCENE_DIR/scene.scn
mkdir -p "$SCENE_DIR"
RED_BOX="Material 1 0 0 0.3 0 0 0 0 0 0 0 0 10
Translation 0 0 10
Cube 4 4 4"

# Starts the viewer and waits for its window and first frame; sets WID, PID.
start_viewer() {
    e2e_spawn "$OUT" "$ERR" "$MIROVAN" -ecran "$1"
    PID=$E2E_PID
    WID=$(e2e_window_id Mirovan 5) || e2e_fail "no window: $(cat "$OUT" "$ERR")"
    e2e_wait_lines "$OUT" 2 5 || e2e_fail "no first frame: $(cat "$OUT" "$ERR")"
}

frames_drawn() { grep -c "^$1" "$OUT"; }

# shot NAME: a screenshot of the client area.
shot() { e2e_screenshot "$E2E_TMP/$1.png"; }

is_red() {
    local rgb
    rgb=$(e2e_pixel "$E2E_TMP/$1.png" "$2" "$3")
    set -- $rgb
    (($1 > 100 && $2 < 20 && $3 < 20))
}
is_black() { e2e_pixel_near "$E2E_TMP/$1.png" "$2" "$3" 0 0 0 0 2>/dev/null; }

# shows NAME CHECK...: waits until a screenshot taken as NAME passes CHECK,
# a function of that name; false after 5 s.
shows() {
    local name=$1
    shift
    e2e_until 5 eval "shot $name && $*"
}

case_picture() {
    printf '%s\n' "Material 1 0 0 0.3 0 0 0 0 0 0 0 0 10" "Rotation 90 0 0 1" "Cube 20 4 4" >"$SCENE"
    start_viewer "$SCENE"
    [ "$(head -n 1 "$OUT")" = Ecran ] || e2e_fail "banner: $(head -n 1 "$OUT")"
    grep -qx "Cube 20.000000 4.000000 4.000000" "$OUT" || e2e_fail "echo: $(cat "$OUT")"
    # The long side stands along y: 20 of the 40 units across are 250 pixels.
    shows a 'is_red a 250 250 && is_red a 250 140 && is_red a 250 360' || e2e_fail "no box along y"
    is_black a 140 250 && is_black a 250 100 && is_black a 10 10 || e2e_fail "box too wide"
    is_black a 510 250 || e2e_fail "the client area is wider than 500"
    [ ! -s "$ERR" ] || e2e_fail "messages: $(cat "$ERR")"
}

case_keys() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    start_viewer "$SCENE"
    shows start 'is_red start 250 250' || e2e_fail "box not at the centre"
    local before
    before=$(frames_drawn Cube)
    e2e_key "$WID" $(printf 'Up %.0s' $(seq 90))
    # Turned 90 degrees about x, the box in front (z = 10) goes down 10 units.
    shows up 'is_red up 250 375 && is_black up 250 250' ||
        e2e_fail "Up x90 did not bring the front down"
    (($(frames_drawn Cube) > before)) || e2e_fail "no redraw after the keys"
    e2e_key "$WID" $(printf 'Down %.0s' $(seq 90)) Left Right
    e2e_wait_shows "$E2E_TMP/start.png" 5 || e2e_fail "Down x90, Left, Right did not bring the view back"
}

case_spin() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    start_viewer "$SCENE"
    local first
    first=$(frames_drawn Cube)
    e2e_key "$WID" Return
    e2e_until 5 eval '(($(frames_drawn Cube) > first + 20))' || e2e_fail "spin draws no frames"
    e2e_key "$WID" Return
    # Stopped, the viewer draws nothing more: its echo stands still.
    e2e_wait_still "$OUT" 1000 5 || e2e_fail "frames go on after the spin stopped"
}

case_escape() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    start_viewer "$SCENE"
    e2e_key "$WID" Escape
    e2e_wait_exit "$PID" 1
    [ "$E2E_STATUS" = 0 ] || e2e_fail "Escape: status $E2E_STATUS"
}

case_close() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    start_viewer "$SCENE"
    e2e_wm_close "$WID"
    e2e_wait_exit "$PID" 2
    [ "$E2E_STATUS" = 0 ] || e2e_fail "close box: status $E2E_STATUS"
    [ ! -s "$ERR" ] || e2e_fail "messages: $(cat "$ERR")"
}

case_resize() {
    printf '%s\n' "Material 1 0 0 0.3 0 0 0 0 0 0 0 0 10" "Cube 4 4 4" >"$SCENE"
    start_viewer "$SCENE"
    xdotool windowsize "$WID" 1000 500
    # 40 units across 1000 pixels: the 4-unit box is 100 pixels wide at the centre.
    shows wide 'is_red wide 500 250 && is_red wide 455 250 && is_black wide 400 250 &&
        is_black wide 500 190' || e2e_fail "the projection did not follow the new size"
}

case_edit() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    start_viewer "$SCENE"
    printf '%s\n' "Material 1 0 0 0.3 0 0 0 0 0 0 0 0 10" "Translation -10 0 0" "Cube 4 4 4" >"$SCENE"
    e2e_key "$WID" Left Right
    e2e_wait_for "$OUT" "^Translation -10.000000" 5 || e2e_fail "the edit was not read"
    shows edited 'is_red edited 125 250 && is_black edited 250 250' || e2e_fail "the edit does not show"
}

case_watch() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    start_viewer "$SCENE"
    shows before 'is_red before 250 250' || e2e_fail "box not at the centre"
    printf '%s\n' "Material 1 0 0 0.3 0 0 0 0 0 0 0 0 10" "Translation -10 0 0" "Cube 4 4 4" >"$SCENE.new"
    mv "$SCENE.new" "$SCENE"   # as editors save: a new file in place of the old
    e2e_wait_for "$OUT" "^Translation -10.000000" 3 || e2e_fail "the edit was not picked up"
    shows after 'is_red after 125 250 && is_black after 250 250' || e2e_fail "the edit does not show"
    printf '%s\n' "Material 1 0 0 0.3 0 0 0 0 0 0 0 0 10" "Translation 10 0 0" "Cube 4 4 4" >"$SCENE"
    e2e_wait_for "$OUT" "^Translation 10.000000" 3 || e2e_fail "an edit in place was not picked up"
}

# An edit made as soon as the first frame is out, before the watch's first
# look at the file, is drawn without a key press.
case_early_edit() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    e2e_spawn "$OUT" "$ERR" "$MIROVAN" -ecran "$SCENE"
    e2e_wait_for "$OUT" "^Cube 4.000000" 5 || e2e_fail "no first frame: $(cat "$OUT" "$ERR")"
    # Edited in place, one byte longer: no frame but the first has read it.
    printf '%s\n' "Material 1 0 0 0.3 0 0 0 0 0 0 0 0 10" "Translation -10 0 0" "Cube 4 4 4" >"$SCENE"
    e2e_wait_for "$OUT" "^Translation -10.000000" 3 || e2e_fail "the early edit was never read"
    shows after 'is_red after 125 250 && is_black after 250 250' || e2e_fail "the early edit does not show"
}

# A still view waits for events: no CPU time while nothing happens.
case_idle() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    start_viewer "$SCENE"
    e2e_wait_still "$OUT" 300 5 || e2e_fail "the viewer keeps drawing"
    local frames ticks
    frames=$(frames_drawn Cube)
    ticks=$(e2e_cpu_ticks "$PID" 2)
    ((ticks <= 4)) || e2e_fail "idle viewer used $ticks ticks in 2 s"
    (($(frames_drawn Cube) == frames)) || e2e_fail "idle viewer drew frames"
}

# The snapshot tool draws what the window shows, pixel for pixel.
case_snapshot() {
    local example
    for example in robot lights; do
        cp "$(dirname "$0")/../../examples/$example.scn" "$SCENE"
        start_viewer "$SCENE"
        "$SNAPSHOT" "$SCENE" "$E2E_TMP/snap.png" --view 3 2 --frames 2 >/dev/null || e2e_fail "snapshot failed"
        e2e_key "$WID" Up Up Up Left Left
        e2e_wait_shows "$E2E_TMP/snap.png" 5 || e2e_fail "$example: the snapshot differs from the window"
        e2e_key "$WID" Escape
        e2e_wait_exit "$PID" 2
    done
}

# The first frame is every later one: the window's first picture is the
# snapshot's tenth frame, and after a turn and back the window shows it again.
case_first_frame() {
    # Grey before the first Material, red after it.
    printf '%s\n' "Translation -8 0 0" "Sphere 3" "Translation 16 0 0" \
        "Material 1 0 0 0.2 0 0 0 0 0 0 0 0 10" "Sphere 3" >"$SCENE"
    "$SNAPSHOT" "$SCENE" "$E2E_TMP/one.png" >/dev/null || e2e_fail "snapshot failed"
    "$SNAPSHOT" "$SCENE" "$E2E_TMP/ten.png" --frames 10 >/dev/null || e2e_fail "snapshot failed"
    cmp -s <("$E2E_CONVERT" "$E2E_TMP/one.png" rgb:-) <("$E2E_CONVERT" "$E2E_TMP/ten.png" rgb:-) ||
        e2e_fail "the snapshot's frames 1 and 10 differ"
    e2e_spawn "$OUT" "$ERR" "$MIROVAN" -ecran "$SCENE"
    WID=$(e2e_window_id Mirovan 5) || e2e_fail "no window: $(cat "$OUT" "$ERR")"
    e2e_wait_shows "$E2E_TMP/ten.png" 5 || e2e_fail "the first frame is not the tenth"
    e2e_key "$WID" Left
    e2e_wait_shows "$E2E_TMP/ten.png" 5 differs || e2e_fail "Left did not turn the view"
    e2e_key "$WID" Right
    e2e_wait_shows "$E2E_TMP/ten.png" 5 || e2e_fail "a later frame differs from the first"
}

# snap NAME ARGS...: the snapshot of $SCENE at ARGS as $E2E_TMP/NAME.png.
snap() { "$SNAPSHOT" "$SCENE" "$E2E_TMP/$1.png" --frames 2 "${@:2}" >/dev/null || e2e_fail "snapshot $1"; }

same_pixels() { cmp -s <("$E2E_CONVERT" "$1" rgb:-) <("$E2E_CONVERT" "$2" rgb:-); }

# Three notches make 1.1 * 1.1 * 1.1, which is not the double nearest 1.331.
ZOOM3=$(awk 'BEGIN { printf "%.17g", 1.1 * 1.1 * 1.1 }')

# The mouse, the wheel, F12 and Home, each against the snapshot of the view
# it should give. Same Mesa, same GL calls: no tolerance, every pixel equal.
case_mouse() {
    cp "$(dirname "$0")/../../examples/robot.scn" "$SCENE"
    snap start
    snap dragged --view 10 20
    snap zoomed --view 10 20 --zoom "$ZOOM3" --zoom-at 20 20
    start_viewer "$SCENE"
    e2e_wait_shows "$E2E_TMP/start.png" 5 || e2e_fail "first picture"
    # 40 pixels right and 20 down at half a degree each: Left x20 and Up x10.
    xdotool mousemove 200 200 mousedown 1 mousemove 220 210 mousemove 240 220 mouseup 1
    e2e_wait_shows "$E2E_TMP/dragged.png" 5 || e2e_fail "the drag did not turn the view to (10, 20)"
    xdotool mousemove 20 20 click --repeat 3 --delay 20 4
    e2e_wait_shows "$E2E_TMP/zoomed.png" 5 || e2e_fail "three notches at (20, 20): not the zoom 1.331 there"
    e2e_key "$WID" F12
    e2e_wait_for "$OUT" "^Image enregistree dans $SCENE_DIR/scene-1.png\$" 5 ||
        e2e_fail "F12: $(grep -v '^[A-Z][a-z]* [-0-9]' "$OUT")"
    same_pixels "$SCENE_DIR/scene-1.png" "$E2E_TMP/zoomed.png" || e2e_fail "F12's file is not the snapshot"
    "$E2E_CONVERT" "$SCENE_DIR/scene-1.png" -format '%wx%h %[channels] %z' info: |
        grep -qx '500x500 srgb 8' || e2e_fail "F12's file is not 500x500 8-bit RGB"
    # Compressed as the snapshot's: at most 1.2 times its size.
    (($(stat -c %s "$SCENE_DIR/scene-1.png") * 5 <= $(stat -c %s "$E2E_TMP/zoomed.png") * 6)) ||
        e2e_fail "F12's file is $(stat -c %s "$SCENE_DIR/scene-1.png") bytes, the snapshot's $(stat -c %s "$E2E_TMP/zoomed.png")"
    e2e_key "$WID" F12
    e2e_wait_for "$OUT" "^Image enregistree dans $SCENE_DIR/scene-2.png\$" 5 || e2e_fail "second F12"
    e2e_key "$WID" Home
    e2e_wait_shows "$E2E_TMP/start.png" 5 || e2e_fail "Home did not bring back the first picture"
    [ ! -s "$ERR" ] || e2e_fail "messages: $(cat "$ERR")"
}

# F12 where the scene's folder cannot be written, then where nothing can be
# (a file-size limit of 0): the current folder, then one line that says why,
# no file left behind, and a window that goes on.
case_screenshot_elsewhere() {
    # Any file is a scene; /proc takes no new files, even from root.
    start_viewer /proc/version
    e2e_key "$WID" F12
    e2e_wait_for "$OUT" "^Image enregistree dans version-1.png\$" 5 ||
        e2e_fail "F12 beside an unwritable scene: $(grep -v '^$' "$OUT" | tail -n 3)"
    [ -s "$E2E_TMP/version-1.png" ] || e2e_fail "no version-1.png in the current folder"
    e2e_key "$WID" Escape
    e2e_wait_exit "$PID" 2

    printf '%s\n' "$RED_BOX" >"$SCENE"
    e2e_spawn "$OUT" "$ERR" bash -c '(ulimit -f 0; trap "" XFSZ; exec "$@") | cat' _ \
        "$MIROVAN" -ecran "$SCENE"
    WID=$(e2e_window_id Mirovan 5) || e2e_fail "no window: $(cat "$OUT" "$ERR")"
    e2e_key "$WID" F12
    e2e_wait_for "$OUT" "^scene-1.png ne peut pas etre ecrit \(File too large\)!!!\$" 5 ||
        e2e_fail "F12: $(grep -v '^[A-Z][a-z]* [-0-9]' "$OUT")"
    ! ls "$SCENE_DIR"/scene-*.png scene-*.png 2>/dev/null || e2e_fail "a file was left behind"
    e2e_key "$WID" Left
    local frames
    frames=$(frames_drawn Cube)
    e2e_key "$WID" Right
    e2e_until 5 eval '(($(frames_drawn Cube) > frames))' || e2e_fail "the window stopped after F12"
    e2e_key "$WID" Escape
}

# A scene from a pipe is read once and drawn on every frame.
case_pipe() {
    e2e_spawn "$OUT" "$ERR" "$MIROVAN" -ecran <(printf '%s\n' "$RED_BOX")
    WID=$(e2e_window_id Mirovan 5) || e2e_fail "no window: $(cat "$OUT" "$ERR")"
    e2e_wait_for "$OUT" "^Cube 4.000000" 5 || e2e_fail "no first frame: $(cat "$OUT" "$ERR")"
    e2e_key "$WID" $(printf 'Up %.0s' $(seq 90))
    # Turned 90 degrees about x, the box in front goes down 10 units.
    shows up 'is_red up 250 375 && is_black up 250 250' || e2e_fail "the turned pipe scene does not show"
    (($(frames_drawn Cube) >= 2)) || e2e_fail "the scene was drawn once only"
    e2e_alive "$E2E_PID" || e2e_fail "the viewer ended"
}

case_missing() {
    start_viewer "$E2E_TMP/none.scn"
    e2e_key "$WID" Left Right Left
    # One message per frame: the first, and the redraws the keys ask for.
    e2e_until 5 eval '(($(grep -c "none.scn n'"'"'existe pas!!!" "$OUT") >= 3))' ||
        e2e_fail "one message per frame expected: $(cat "$OUT")"
    e2e_alive "$PID" || e2e_fail "the viewer ended"
    shot black
    is_black black 250 250 && is_black black 10 490 || e2e_fail "the window is not black"
}

case_no_display() {
    printf '%s\n' "$RED_BOX" >"$SCENE"
    e2e_spawn "$OUT" "$ERR" env -u DISPLAY "$MIROVAN" -ecran "$SCENE"
    e2e_wait_exit "$E2E_PID" 5
    [ "$E2E_STATUS" != 0 ] && [ "$E2E_STATUS" != 124 ] || e2e_fail "status $E2E_STATUS without a display"
    grep -q '^Error: ' "$ERR" || e2e_fail "no error message: $(cat "$ERR")"
}

[ "$CASE" = no-display ] || xvfb_start
cd "$E2E_TMP"  # the current folder, where F12 writes when the scene's cannot be
"case_${CASE//-/_}"
echo "ecran_e2e $CASE: passed"
