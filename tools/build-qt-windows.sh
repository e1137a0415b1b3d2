#!/usr/bin/env bash
# Builds Qt for Windows (static, widgets only) from Debian's own qt6-base source package, with
# MinGW-w64, once per machine, and prints the folder it is installed in.
#
#   tools/build-qt-windows.sh          builds when needed, then prints the folder
#
# The folder is ${XDG_CACHE_HOME:-~/.cache}/vorlisk/qt-VERSION-mingw-w64-KEY, where KEY is
# taken from the configure options and the patch below, so that a changed option builds
# afresh. The file vorlisk-complete is written into it last, once the whole build and
# install have succeeded: a folder without it is a half-built cache, built again. The source must be the very version of the host's qt6-base-dev, whose tools (moc, uic,
# rcc) the cross build uses.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
if [ -z "$host_version" ]; then
    echo "qt6-base-dev is not installed (tools/setup.sh installs it)" >&2
    exit 1
fi
upstream=${host_version%%+*}
upstream=${upstream%%-*}

# Bundled third-party libraries, no OpenGL, D-Bus, ICU or unused modules. Qt's test library
# stays: the window tests are built for Windows too, on the offscreen platform that comes
# with FreeType.
configure_options=(
    -static -release -optimize-size -platform linux-g++ -xplatform win32-g++
    -qt-host-path /usr -nomake tests -nomake examples
    -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz
    -no-opengl -no-dbus -no-icu -no-fontconfig -no-glib
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-concurrent
    -no-feature-printsupport -no-feature-tabletevent -no-feature-direct2d
)
# Debian's +dfsg source lacks 3rdparty/wintab, hence no tablet events. Without Direct2D the
# windows plugin must not use the DirectWrite font database, which Gui only builds with it.
patch_script='s/^\(\s*\)#if QT_CONFIG(directwrite3)$/\1#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/'

key=$(printf '%s\n' "$host_version" "${configure_options[@]}" "$patch_script" | sha256sum | cut -c1-12)
source "$here/tools/debian-source.sh"
prefix=$vorlisk_cache/qt-$upstream-mingw-w64-$key
if [ -f "$prefix/vorlisk-complete" ]; then
    echo "$prefix"
    exit 0
fi

if ! find_debian_source qt6-base "$host_version"; then
    echo "Debian's source of qt6-base $host_version (the host's Qt) cannot be found." >&2
    echo "Qt for Windows must be built from the same version as the host's qt6-base-dev:" >&2
    apt-cache showsrc qt6-base 2>/dev/null | grep '^Version:' >&2 || true
    exit 1
fi

work=$vorlisk_cache/build-qt-$upstream-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "Building Qt $upstream for Windows in $work (about 40 minutes on 2 cores)" >&2
cd "$work"
fetch_debian_source qt6-base "$host_version" source --skip-patches
# Debian's own patches are for Linux; none of them touches Windows code.
sed -i "$patch_script" source/src/plugins/platforms/windows/qwindowsintegration.cpp
grep -q 'QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)' \
    source/src/plugins/platforms/windows/qwindowsintegration.cpp || {
    echo "The source of the windows platform plugin is not as expected" >&2
    exit 1
}
mkdir build
cd build
nice -n 10 ../source/configure -prefix "$prefix" "${configure_options[@]}" \
    -- -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >configure.log 2>&1 || {
    tail -40 configure.log >&2
    exit 1
}
nice -n 10 cmake --build . --parallel "$(nproc)" >build.log 2>&1 || {
    grep -m 20 -B 2 -A 8 'error' build.log >&2 || tail -40 build.log >&2
    exit 1
}
cmake --install . >install.log 2>&1
cd "$vorlisk_cache"
rm -rf "$work"
echo "$host_version ${configure_options[*]}" >"$prefix/vorlisk-complete"
echo "$prefix"
