#!/usr/bin/env bash
# The Windows suite: the cross-built tests under Wine, on a private 24-bit
# Xvfb, in a Wine prefix of the build's own (made on first use).
# Usage: suite.sh WINDOWS_BUILD LINUX_BUILD [ctest arguments]
# The Linux build supplies the reference outputs (mirovan, mirovan-snapshot,
# the random scene writer) that the Windows programs must match.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../e2e/xvfb.sh"

WINDOWS_BUILD=$(cd "$1" && pwd)
export MIROVAN_LINUX_BUILD
MIROVAN_LINUX_BUILD=$(cd "$2" && pwd)
shift 2

export WINEPREFIX=$WINDOWS_BUILD/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_start
e2e_on_exit "wineserver -k"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX (once)"
    wineboot -i >/dev/null 2>&1
    # Without a window manager, Wine's own frames; else DestroyWindow stalls.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
fi
cd "$WINDOWS_BUILD" && ctest --output-on-failure --timeout 300 "$@"
