# End-to-end kit: a private Xvfb, screenshots, pixels, window ids, keys and
# the close box. Source it from bash; it installs its own EXIT trap, so add
# clean-up steps with e2e_on_exit instead of replacing the trap.
#
#   . tests/e2e/xvfb.sh
#   xvfb_start                              # DISPLAY now names a fresh server
#   e2e_spawn out.txt err.txt ./program args   # $E2E_PID, killed on exit
#   wid=$(e2e_window_id "Title" 5)
#   e2e_key "$wid" Up Left Return
#   e2e_screenshot shot.png && e2e_pixel_near shot.png 10 10 255 0 0
#   e2e_wm_close "$wid"; e2e_wait_exit "$E2E_PID" 2   # sets $E2E_STATUS
#
# Environment: E2E_XVFB_SCREEN (default 1024x768x24), WM_CLOSE and WM_STATE
# (paths of the wm_close and wm_state helpers, needed by e2e_wm_close and
# e2e_wm_iconify / e2e_wm_restore), E2E_CONVERT (default
# /usr/bin/convert; another convert may come first on PATH). E2E_TMP is a
# scratch directory made here and removed on exit.

E2E_CONVERT=${E2E_CONVERT:-/usr/bin/convert}
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/e2e.XXXXXX")
E2E_XVFB_PID=
E2E_CLEANUPS=()

e2e_on_exit() { E2E_CLEANUPS+=("$*"); }

e2e_cleanup() {
    local i
    for ((i = ${#E2E_CLEANUPS[@]} - 1; i >= 0; i--)); do
        eval "${E2E_CLEANUPS[i]}" >/dev/null 2>&1
    done
    xvfb_stop
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

e2e_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

e2e_now_ms() { date +%s%3N; }

# e2e_until SECONDS COMMAND...: runs COMMAND until it succeeds, looking
# again every 20 ms; false if it has not by SECONDS. Every wait of the kit
# is one of these: a condition with a deadline.
e2e_until() {
    local deadline=$(($(e2e_now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(e2e_now_ms) > deadline)) && return 1
        sleep 0.02
    done
}

# Starts Xvfb on the first free display (the server picks it and reports it
# through -displayfd) and exports DISPLAY once it accepts connections.
xvfb_start() {
    local numberFile="$E2E_TMP/xvfb-display"
    : >"$numberFile"
    Xvfb -displayfd 9 -screen 0 "${E2E_XVFB_SCREEN:-1024x768x24}" -nolisten tcp -br \
        9>"$numberFile" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    if ! e2e_until 10 xvfb_settled "$numberFile" || ! grep -q '^[0-9]' "$numberFile"; then
        cat "$E2E_TMP/xvfb.log" >&2
        e2e_fail "Xvfb did not start"
    fi
    export DISPLAY=":$(head -n 1 "$numberFile")"
}

# The server has said which display it took, or has ended.
xvfb_settled() { grep -q '^[0-9]' "$1" || ! e2e_alive "$E2E_XVFB_PID"; }

xvfb_stop() {
    [ -n "$E2E_XVFB_PID" ] || return 0
    kill "$E2E_XVFB_PID" 2>/dev/null
    wait "$E2E_XVFB_PID" 2>/dev/null
    E2E_XVFB_PID=
    unset DISPLAY
}

# e2e_spawn OUT ERR COMMAND...: runs COMMAND in the background, its output
# in OUT and ERR; $E2E_PID is its id, and it is killed on exit.
e2e_spawn() {
    local out=$1 err=$2
    shift 2
    "$@" >"$out" 2>"$err" &
    E2E_PID=$!
    e2e_on_exit "kill -9 $E2E_PID; wait $E2E_PID"
}

# e2e_alive PID: true while PID runs. A finished child stays a zombie (Z)
# until waited for, so its state letter, after the command name, decides.
e2e_alive() {
    local state
    state=$(sed -n 's/.*) \(.\).*/\1/p' "/proc/$1/stat" 2>/dev/null)
    [ -n "$state" ] && [ "$state" != Z ]
}

# e2e_wait_exit PID SECONDS: waits for the background child PID and sets
# E2E_STATUS to its exit status; 124 (after killing it) if it is still
# running after SECONDS. Call it directly, not inside $(...): only this
# shell can collect its own child's status.
e2e_wait_exit() {
    local pid=$1
    if ! e2e_until "$2" e2e_ended "$pid"; then
        kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        E2E_STATUS=124
        return
    fi
    wait "$pid"
    E2E_STATUS=$?
}

e2e_ended() { ! e2e_alive "$1"; }

# e2e_wait_for FILE REGEX SECONDS: true once a line of FILE matches REGEX.
e2e_wait_for() { e2e_until "$3" e2e_holds_line "$1" "$2"; }
e2e_holds_line() { grep -Eq -- "$2" "$1" 2>/dev/null; }

# e2e_wait_lines FILE COUNT SECONDS: true once FILE has at least COUNT lines.
e2e_wait_lines() { e2e_until "$3" e2e_has_lines "$1" "$2"; }
e2e_has_lines() { (($(wc -l <"$1") >= $2)); }

# e2e_window_id TITLE SECONDS: prints the id of the visible window whose
# title is exactly TITLE, waiting for it to appear.
e2e_window_id() {
    local id
    id=$(timeout "$2" xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] || return 1
    echo "$id"
}

# e2e_key WINDOW KEY...: sends key strokes (xdotool names, e.g. Up, shift+a)
# straight to WINDOW, whatever has the focus.
e2e_key() {
    local window=$1
    shift
    xdotool key --window "$window" --delay 20 "$@"
}

# e2e_focus WINDOW: gives WINDOW the keyboard focus, so that real key
# presses (xdotool keydown/keyup, with auto-repeat) reach it.
e2e_focus() { xdotool windowfocus --sync "$1"; }

# e2e_wm_close WINDOW: what a window manager's close box sends.
e2e_wm_close() { "${WM_CLOSE:?WM_CLOSE must name the wm_close helper}" "$1"; }

# e2e_wm_iconify WINDOW / e2e_wm_restore WINDOW: minimise and restore as a
# window manager would.
e2e_wm_iconify() { "${WM_STATE:?WM_STATE must name the wm_state helper}" "$1" iconic; }
e2e_wm_restore() { "${WM_STATE:?WM_STATE must name the wm_state helper}" "$1" normal; }

# e2e_screenshot OUT.png: the whole screen.
e2e_screenshot() { xwd -root -silent | "$E2E_CONVERT" xwd:- "png:$1"; }

# e2e_pixel PNG X Y: prints "R G B", 8 bits each.
e2e_pixel() {
    "$E2E_CONVERT" "$1" -crop "1x1+$2+$3" -depth 8 txt:- |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# e2e_pixel_near PNG X Y R G B [TOLERANCE]: true if the pixel is within
# TOLERANCE (default 2) of R G B on every channel; says why when not.
e2e_pixel_near() {
    local tolerance=${7:-2} r g b
    read -r r g b < <(e2e_pixel "$1" "$2" "$3")
    [ -n "$b" ] || { echo "no pixel at $2,$3 in $1" >&2; return 1; }
    if ((r < $4 - tolerance || r > $4 + tolerance || g < $5 - tolerance ||
         g > $5 + tolerance || b < $6 - tolerance || b > $6 + tolerance)); then
        echo "pixel $2,$3 is $r $g $b, expected $4 $5 $6 (±$tolerance)" >&2
        return 1
    fi
}

# e2e_wait_pixel PNG X Y R G B SECONDS [TOLERANCE]: takes screenshots into
# PNG until the pixel is within TOLERANCE (default 2) of R G B; false, with
# the last colour seen, after SECONDS.
e2e_wait_pixel() {
    e2e_until "$7" e2e_shows_pixel "$@" && return 0
    e2e_pixel_near "$1" "$2" "$3" "$4" "$5" "$6" "${8:-2}"  # says what it saw
    return 1
}
e2e_shows_pixel() {
    e2e_screenshot "$1" && e2e_pixel_near "$1" "$2" "$3" "$4" "$5" "$6" "${8:-2}" 2>/dev/null
}

# e2e_wait_shows EXPECTED.png SECONDS [differs]: waits until the screen's
# top-left corner, cut to the size of EXPECTED, is EXPECTED pixel for pixel
# (with "differs": until it is not). The last look stays in
# $E2E_TMP/shown.png.
e2e_wait_shows() {
    local size
    size=$("$E2E_CONVERT" "$1" -format '%wx%h' info:)
    "$E2E_CONVERT" "$1" rgb:"$E2E_TMP/wait-expected.rgb"
    e2e_until "$2" e2e_corner_is "$size" "${3:-same}"
}
e2e_corner_is() {
    xwd -root -silent | "$E2E_CONVERT" xwd:- -crop "$1+0+0" +repage "png:$E2E_TMP/shown.png"
    "$E2E_CONVERT" "$E2E_TMP/shown.png" rgb:"$E2E_TMP/wait-shown.rgb"
    local same=differs
    cmp -s "$E2E_TMP/wait-expected.rgb" "$E2E_TMP/wait-shown.rgb" && same=same
    [ "$same" = "$2" ]
}

# e2e_wait_still FILE QUIET_MS SECONDS: true once FILE has not grown for
# QUIET_MS milliseconds; false if it still grows after SECONDS.
e2e_wait_still() {
    E2E_STILL_SIZE=$(stat -c %s "$1")
    E2E_STILL_SINCE=$(e2e_now_ms)
    e2e_until "$3" e2e_file_quiet "$1" "$2"
}
e2e_file_quiet() {
    local size
    size=$(stat -c %s "$1")
    if [ "$size" != "$E2E_STILL_SIZE" ]; then
        E2E_STILL_SIZE=$size
        E2E_STILL_SINCE=$(e2e_now_ms)
    fi
    (($(e2e_now_ms) - E2E_STILL_SINCE >= $2))
}

# e2e_screen_still QUIET_MS SECONDS: the same for the screen: true once two
# screenshots QUIET_MS apart or more are equal.
e2e_screen_still() {
    e2e_screenshot "$E2E_TMP/still-a.png"
    E2E_STILL_SINCE=$(e2e_now_ms)
    e2e_until "$2" e2e_screen_quiet "$1"
}
e2e_screen_quiet() {
    (($(e2e_now_ms) - E2E_STILL_SINCE < $1)) && return 1
    e2e_screenshot "$E2E_TMP/still-b.png"
    cmp -s <("$E2E_CONVERT" "$E2E_TMP/still-a.png" rgb:-) \
        <("$E2E_CONVERT" "$E2E_TMP/still-b.png" rgb:-) && return 0
    mv "$E2E_TMP/still-b.png" "$E2E_TMP/still-a.png"
    E2E_STILL_SINCE=$(e2e_now_ms)
    return 1
}

# e2e_cpu_ticks PID SECONDS: prints the clock ticks PID spends on the CPU
# over the next SECONDS. A measurement over time, not a wait for an event.
e2e_cpu_ticks() {
    local before
    before=$(awk '{print $14 + $15}' "/proc/$1/stat")
    sleep "$2"
    echo $(($(awk '{print $14 + $15}' "/proc/$1/stat") - before))
}
