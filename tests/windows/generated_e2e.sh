#!/usr/bin/env bash
# Generated source on Windows: the .cpp that mirovan.exe writes for a random
# scene builds with mingw-w64 against the Windows package (the zip cpack
# makes), through its CMake package and through a plain g++ line, without a
# warning; the program shows the picture mirovan-snapshot makes on Linux.
# Usage: generated_e2e.sh WINDOWS_BUILD MIROVAN_EXE  (MIROVAN_LINUX_BUILD from suite.sh)
set -u
. "$(dirname "$0")/../e2e/xvfb.sh"

WINDOWS_BUILD=$1
MIROVAN_EXE=$2
SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
SNAPSHOT=$MIROVAN_LINUX_BUILD/snapshot/mirovan-snapshot
RANDOM_SCENE=$MIROVAN_LINUX_BUILD/tests/roundtrip/roundtrip_random_scene
CXX=x86_64-w64-mingw32-g++-posix
cd "$E2E_TMP" || exit 1

(cd "$WINDOWS_BUILD" && cpack -G ZIP -B "$E2E_TMP/package" >/dev/null) || e2e_fail "cpack"
mkdir installed && (cd installed && cmake -E tar xf "$E2E_TMP"/package/Mirovan-*-win64.zip) ||
    e2e_fail "the zip does not unpack"
PREFIX=$E2E_TMP/installed
[ -f "$PREFIX/bin/mirovan.exe" ] && [ -f "$PREFIX/include/mirovan-compat/GL/glaux.h" ] &&
    [ ! -e "$PREFIX/include/mirovan-compat/windows.h" ] ||
    e2e_fail "package contents: $(cd "$PREFIX" && find . -type f)"
# The playground page, when there is one where the build looks for it
# (make playground's by default), beside the README as it was built.
PAGE=$(sed -n 's/^MIROVAN_PLAYGROUND_PAGE:FILEPATH=//p' "$WINDOWS_BUILD/CMakeCache.txt")
PAGE=${PAGE:-$SOURCE_DIR/build/playground/mirovan-playground.html}
if [ -f "$PAGE" ]; then
    cmp -s "$PAGE" "$PREFIX/mirovan-playground.html" || e2e_fail "the zip does not hold the playground page $PAGE"
fi

"$RANDOM_SCENE" 7 scene.scn || e2e_fail "random scene"
wine "$PREFIX/bin/mirovan.exe" -opengl scene.scn scene.cpp >/dev/null || e2e_fail "-opengl"
"$SNAPSHOT" scene.scn expected.png --frames 2 >/dev/null || e2e_fail "snapshot"

# Through the CMake package, as a user of the zip would.
mkdir project && cp scene.cpp project/ && cat >project/CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(scene CXX)
find_package(GestionOpenGL REQUIRED)
mirovan_add_scene(scene scene.cpp)
target_compile_options(scene PRIVATE -Wall -Wextra -Werror)
CMAKE
cmake -S project -B project/build -DCMAKE_TOOLCHAIN_FILE="$SOURCE_DIR/cmake/mingw-w64.cmake" \
    -DGestionOpenGL_DIR="$PREFIX/lib/cmake/GestionOpenGL" >cmake.log 2>&1 &&
    cmake --build project/build >>cmake.log 2>&1 || e2e_fail "CMake build: $(cat cmake.log)"

# And with one g++ line.
$CXX -Wall -Wextra -Werror scene.cpp -o plain.exe -I"$PREFIX/include" \
    -I"$PREFIX/include/mirovan-compat" -L"$PREFIX/lib" -lmirovan_scenehost -lgestionopengl \
    -lglu32 -lopengl32 -lgdi32 -luser32 -ladvapi32 -static 2>g++.log ||
    e2e_fail "g++: $(cat g++.log)"
[ ! -s g++.log ] || e2e_fail "g++ warned: $(cat g++.log)"

xvfb_start
# The client area, at (4,22) under Wine's own frame, is the snapshot.
shows_expected() {
    e2e_screenshot screen.png &&
        "$E2E_CONVERT" screen.png -crop 500x500+4+22 +repage seen.png &&
        /usr/bin/compare -metric AE seen.png expected.png null: 2>/dev/null
}

for program in project/build/scene.exe plain.exe; do
    wineserver -w
    e2e_spawn out err wine "$program"
    wid=$(e2e_window_id Mirovan 15) || e2e_fail "$program: no window"
    e2e_until 10 shows_expected || e2e_fail "$program: not the snapshot's picture"
    e2e_key "$wid" Escape
    e2e_wait_exit "$E2E_PID" 5
    [ "$E2E_STATUS" = 0 ] || e2e_fail "$program: status $E2E_STATUS after Escape"
done
echo "PASS: generated source builds against the package and shows the scene"
