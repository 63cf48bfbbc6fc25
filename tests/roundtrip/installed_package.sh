#!/usr/bin/env bash
# The installed GestionOpenGL package seen by a user: install it alone into a
# fresh prefix, then build a generated source three ways: a CMake project of
# its own (find_package + mirovan_add_scene), the plain g++ line and the
# pkg-config line of host/README.md.
# Usage: installed_package.sh BUILD_DIR GENERATED.cpp CXX LIBDIR INCLUDEDIR
# EXTRA_CXXFLAGS / EXTRA_LDFLAGS: the build's own flags (sanitizers), if any.
set -eu
build=$1 source=$2 cxx=$3 libdir=$4 includedir=$5
tmp=$(mktemp -d "${TMPDIR:-/tmp}/mirovan-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
read -r -a cxxflags <<<"${EXTRA_CXXFLAGS:-}"
read -r -a ldflags <<<"${EXTRA_LDFLAGS:-}"

cmake --install "$build" --component GestionOpenGL --prefix "$prefix" >"$tmp/install.log" ||
    fail "install: $(cat "$tmp/install.log")"
for file in "$includedir/GestionOpenGL.h" "$includedir/mirovan-compat/windows.h" \
    "$includedir/mirovan-compat/GL/glaux.h" "$libdir/libgestionopengl.a" \
    "$libdir/libmirovan_scenehost.a" "$libdir/pkgconfig/mirovan-scene.pc" \
    "$libdir/cmake/GestionOpenGL/MirovanScene.cmake"; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done

# A program built from the scene must be the host: without a display it
# says that it cannot open its window.
is_host() {
    local status=0
    env -u DISPLAY "$1" >"$tmp/run.out" 2>"$tmp/run.err" || status=$?
    [ "$status" = 1 ] && grep -q "^Error: create window failed" "$tmp/run.err" ||
        fail "$1 is not the scene host (status $status): $(cat "$tmp/run.out" "$tmp/run.err")"
}

mkdir "$tmp/project"
cp "$source" "$tmp/project/scene.cpp"
cat >"$tmp/project/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.16)
project(scene_user CXX)
find_package(GestionOpenGL REQUIRED)
mirovan_add_scene(scene scene.cpp)
EOF
cmake -S "$tmp/project" -B "$tmp/project/build" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="${EXTRA_CXXFLAGS:-}" \
    -DCMAKE_EXE_LINKER_FLAGS="${EXTRA_LDFLAGS:-}" >"$tmp/configure.log" 2>&1 ||
    fail "configure: $(cat "$tmp/configure.log")"
cmake --build "$tmp/project/build" >"$tmp/build.log" 2>&1 || fail "build: $(cat "$tmp/build.log")"
is_host "$tmp/project/build/scene"

cd "$tmp/project"
"$cxx" "${cxxflags[@]}" scene.cpp -I"$prefix/$includedir" -I"$prefix/$includedir/mirovan-compat" \
    -L"$prefix/$libdir" -lmirovan_scenehost -lgestionopengl -lglfw -lGLU -lGL "${ldflags[@]}" \
    -o scene-gxx 2>"$tmp/gxx.log" || fail "g++ line: $(cat "$tmp/gxx.log")"
is_host ./scene-gxx

# shellcheck disable=SC2046 # pkg-config's words are meant to split
"$cxx" "${cxxflags[@]}" scene.cpp \
    $(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config --cflags --libs mirovan-scene) \
    "${ldflags[@]}" -o scene-pc 2>"$tmp/pc.log" || fail "pkg-config line: $(cat "$tmp/pc.log")"
is_host ./scene-pc
echo "installed package: CMake project, g++ line and pkg-config line all build the scene host"
