#!/usr/bin/env bash
# The Debian packages as a person installs them: lintian finds no error in
# them, apt installs both with their dependencies from the archive, the
# installed programs run (version, manual page, a translation of an installed
# example, a snapshot without a display), a generated source builds with
# the pkg-config line and with the CMake package, and purging them leaves
# nothing of theirs behind.
# Usage: install_test.sh BUILD_DIR   (the tree `make package` packed; runs
# apt-get and dpkg as root, through sudo when not root)
set -eu
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
arch=$(dpkg --print-architecture)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
tmp=$(mktemp -d "${TMPDIR:-/tmp}/mirovan-package.XXXXXX")
installed=0

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
apt() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@"; }
# Installed, half installed, or its configuration left by a removal.
on_system() {
    local status
    status=$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) || return 1
    [ -n "$status" ] && [ "$status" != not-installed ]
}
purge_packages() {
    local known=()
    for p in mirovan-dev mirovan; do
        on_system "$p" && known+=("$p")
    done
    [ ${#known[@]} -eq 0 ] || apt purge "${known[@]}" >"$tmp/purge.log" 2>&1
}
cleanup() {
    [ "$installed" = 1 ] && purge_packages
    rm -rf "$tmp"
}
trap cleanup EXIT

# --- The package files: one of each, named as Debian names them.
shopt -s nullglob
found=("$build"/mirovan_*_"$arch".deb)
[ ${#found[@]} -eq 1 ] || fail "expected one mirovan_*_$arch.deb in $build, found ${#found[@]}"
main_deb=${found[0]}
version=${main_deb##*/mirovan_}
version=${version%_"$arch".deb}
upstream=${version%-1}
[ "$upstream" != "$version" ] || fail "$main_deb: the Debian revision is not 1"
dev_deb=$build/mirovan-dev_${version}_$arch.deb
[ -f "$dev_deb" ] || fail "no $dev_deb beside $main_deb"
for deb in "$main_deb" "$dev_deb"; do
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb: version is not $version"
done

# Dependencies read from the binaries come with versions (shlibdeps); the
# development package needs this very mirovan and the GL, GLU, GLFW headers.
main_depends=$(dpkg-deb -f "$main_deb" Depends)
grep -Eq '(^|, )libc6 \(>= ' <<<"$main_depends" ||
    fail "mirovan's dependencies were not computed from its binaries: $main_depends"
dev_depends=$(dpkg-deb -f "$dev_deb" Depends)
for need in "mirovan (= $version)" libgl-dev libglu1-mesa-dev libglfw3-dev; do
    grep -Fq "$need" <<<"$dev_depends" || fail "mirovan-dev does not depend on $need: $dev_depends"
done

# --- lintian: no error; the warnings left are printed for the record.
lintian --fail-on error "$main_deb" "$dev_deb" >"$tmp/lintian.log" 2>"$tmp/lintian.err" ||
    fail "lintian: $(cat "$tmp/lintian.log" "$tmp/lintian.err")"
grep -E '^[EW]:' "$tmp/lintian.log" | sed 's/^/lintian: /' || true

# --- Installed by apt, as a person installs them. A machine that has them
# from an earlier run starts without them.
purge_packages || fail "could not purge an earlier mirovan: $(cat "$tmp/purge.log")"
installed=1
if ! apt install "$main_deb" "$dev_deb" >"$tmp/install.log" 2>&1; then
    apt update >/dev/null 2>&1 || true  # package lists missing or stale
    apt install "$main_deb" "$dev_deb" >"$tmp/install.log" 2>&1 ||
        fail "apt-get install: $(cat "$tmp/install.log")"
fi
mapfile -t owned < <(dpkg-query -L mirovan mirovan-dev | grep -Ev '^(/\.)?$')
for path in "${owned[@]}"; do
    [ -e "$path" ] || fail "$path is listed by dpkg but not installed"
done
owns() { printf '%s\n' "${owned[@]}" | grep -qxF "$1"; }

# The installed programs, by their full path: another copy (one from
# `cmake --install`, in /usr/local) must not stand in for them.
for program in mirovan mirovan-snapshot; do
    owns "/usr/bin/$program" || fail "/usr/bin/$program is not in the packages"
    out=$("/usr/bin/$program" --version) || fail "$program --version failed"
    [ "$out" = "$program $upstream" ] || fail "$program --version printed '$out', not '$program $upstream'"
    page=$(man -w "$program") || fail "man -w $program found no manual page"
    owns "$page" || fail "man -w $program gave $page, which is not the package's"
done

examples=/usr/share/doc/mirovan/examples
cd "$tmp"
/usr/bin/mirovan -vrml "$examples/robot.scn" robot.wrl >vrml.out || fail "-vrml: $(cat vrml.out)"
cmp -s robot.wrl "$source_dir/tests/golden/robot.wrl" || fail "the installed robot.scn translates to another VRML"
/usr/bin/mirovan -opengl "$examples/robot.scn" robot.cpp >cpp.out || fail "-opengl: $(cat cpp.out)"
cmp -s robot.cpp "$source_dir/tests/golden/robot.cpp" || fail "the installed robot.scn translates to another C++ source"

# The snapshot draws through EGL with no display: the picture is the one the
# build tree's own mirovan-snapshot draws, with the Mesa the packages pulled in.
env -u DISPLAY /usr/bin/mirovan-snapshot "$examples/robot.scn" robot.png --size 160 120 \
    --view 10 -20 >snapshot.out 2>&1 || fail "mirovan-snapshot: $(cat snapshot.out)"
"$build/snapshot/mirovan-snapshot" "$examples/robot.scn" built.png --size 160 120 --view 10 -20 \
    >/dev/null 2>&1 || fail "the build tree's mirovan-snapshot failed"
file robot.png | grep -q 'PNG image data, 160 x 120, 8-bit/color RGB' ||
    fail "the snapshot is not a 160 x 120 RGB PNG: $(file robot.png)"
cmp -s robot.png built.png || fail "the installed mirovan-snapshot draws another picture than the build's"

# A program built from generated source is the scene host: without a
# display it says that it cannot open its window.
is_host() {
    local status=0
    env -u DISPLAY "$1" >run.out 2>run.err || status=$?
    if [ "$status" != 1 ] || ! grep -q "^Error: create window failed" run.err; then
        fail "$1 is not the scene host (status $status): $(cat run.out run.err)"
    fi
}
pcdir=$(pkg-config --variable=pcfiledir mirovan-scene) || fail "pkg-config does not know mirovan-scene"
owns "$pcdir/mirovan-scene.pc" || fail "pkg-config reads $pcdir/mirovan-scene.pc, which is not the package's"
# shellcheck disable=SC2046 # pkg-config's words are meant to split
g++ robot.cpp $(pkg-config --cflags --libs mirovan-scene) -o robot-pc 2>pc.log ||
    fail "the pkg-config line: $(cat pc.log)"
is_host ./robot-pc

mkdir project
cp robot.cpp project/robot.cpp
cat >project/CMakeLists.txt <<'EOF'
cmake_minimum_required(VERSION 3.16)
project(robot CXX)
find_package(GestionOpenGL REQUIRED)
mirovan_add_scene(robot robot.cpp)
EOF
cmake -S project -B project/build >configure.log 2>&1 || fail "configure: $(cat configure.log)"
config=$(sed -n 's/^GestionOpenGL_DIR:PATH=//p' project/build/CMakeCache.txt)
owns "$config/GestionOpenGLConfig.cmake" || fail "CMake found GestionOpenGL in $config, not in the package"
cmake --build project/build >build.log 2>&1 || fail "CMake build: $(cat build.log)"
is_host project/build/robot

# --- Purged, they leave nothing: what they listed is gone, but for folders
# that other packages still own.
cd /
apt purge mirovan mirovan-dev >"$tmp/purge.log" 2>&1 || fail "apt-get purge: $(cat "$tmp/purge.log")"
installed=0
for p in mirovan mirovan-dev; do
    ! on_system "$p" || fail "$p is still on the system after the purge"
done
for path in "${owned[@]}"; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    if [ ! -d "$path" ] || ! dpkg-query -S "$path" >/dev/null 2>&1; then
        fail "$path is left after the purge"
    fi
done
echo "packages $version: lintian clean of errors; installed, run, built against and purged without a trace"
