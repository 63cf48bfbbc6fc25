#!/usr/bin/env bash
# on_palette_display.sh PROGRAM.exe [ARGS...]: runs a Windows program under
# Wine on a private 8-bit Xvfb (PseudoColor: Wine reports a palette device
# and offers no GL pixel format), in a Wine session of its own.
set -u
. "$(dirname "$0")/../e2e/xvfb.sh"
E2E_XVFB_SCREEN=1024x768x8 xvfb_start
wineserver -w
wine "$@"
status=$?
wineserver -w  # the next test may want another display
exit $status
