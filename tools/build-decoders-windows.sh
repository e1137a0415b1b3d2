#!/usr/bin/env bash
# Builds the decoders that reading CHD images needs for Windows (liblzma, libFLAC, libzstd:
# static, with MinGW-w64) from Debian's own source packages, once per machine, and prints the
# folder they are installed in, with zlib of Debian's libz-mingw-w64-dev.
#
#   tools/build-decoders-windows.sh    builds when needed, then prints the folder
#
# The folder is ${XDG_CACHE_HOME:-~/.cache}/vorlisk/decoders-mingw-w64-KEY, where KEY is taken
# from the source versions the archive offers and the options below, so that a new Debian
# version or a changed option builds afresh. The file vorlisk-complete is written into it
# last, naming the versions built: a folder without it is a half-built cache, built again.
# Only the static libraries, their headers and pkg-config files are built; each .pc file
# holds the flags of static linking as its own, so that a plain pkg-config lookup links.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/tools/debian-source.sh"

host=x86_64-w64-mingw32
# Windows' own threads, so that liblzma needs no thread library.
xz_options=(
    --host=$host CC=$host-gcc-posix CFLAGS=-O2 --disable-shared --enable-static
    --enable-threads=vista --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo
    --disable-lzma-links --disable-scripts --disable-doc --disable-nls
)
# No libssp on MinGW-w64, hence no stack protector or checked buffer functions.
flac_options=(
    -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF
    -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DINSTALL_CMAKE_CONFIG_MODULE=OFF -DWITH_OGG=OFF
    -DWITH_FORTIFY_SOURCE=OFF -DWITH_STACK_PROTECTOR=OFF
)
zstd_options=(
    -DZSTD_BUILD_PROGRAMS=OFF -DZSTD_BUILD_TESTS=OFF -DZSTD_BUILD_SHARED=OFF
    -DZSTD_BUILD_STATIC=ON -DZSTD_MULTITHREAD_SUPPORT=OFF -DZSTD_LEGACY_SUPPORT=OFF
)
# What each library's users must define to link it statically.
lzma_cflags=-DLZMA_API_STATIC
flac_cflags=-DFLAC__NO_DLL

packages=(xz-utils flac libzstd)
for package in "${packages[@]}"; do
    find_debian_source "$package" || {
        echo "Debian's source package $package cannot be found" >&2
        exit 1
    }
done
offered=$(for package in "${packages[@]}"; do debian_source_versions "$package"; done)
zlib_version=$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev 2>/dev/null || true)
if [ -z "$zlib_version" ]; then
    echo "libz-mingw-w64-dev is not installed (tools/setup.sh installs it)" >&2
    exit 1
fi
key=$(printf '%s\n' "$offered" "$zlib_version" "${xz_options[@]}" "${flac_options[@]}" \
    "${zstd_options[@]}" "$lzma_cflags" "$flac_cflags" | sha256sum | cut -c1-12)
prefix=$vorlisk_cache/decoders-mingw-w64-$key
if [ -f "$prefix/vorlisk-complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$vorlisk_cache/build-decoders-$key
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "Building liblzma, libFLAC and libzstd for Windows in $work" >&2
cd "$work"
for package in "${packages[@]}"; do
    fetch_newest_debian_source "$package" "$package" >"$package.version"
done

cmake_build() {
    nice -n 10 cmake -S "$1" -B "build-$2" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        "${@:3}" >"$2.log" 2>&1 &&
        nice -n 10 cmake --build "build-$2" --parallel "$(nproc)" >>"$2.log" 2>&1 &&
        cmake --install "build-$2" >>"$2.log" 2>&1
}
failed() {
    tail -40 "$work/$1.log" >&2
    exit 1
}

(
    cd xz-utils
    nice -n 10 ./configure --prefix="$prefix" "${xz_options[@]}" >../xz-utils.log 2>&1 &&
        nice -n 10 make -C src/liblzma -j "$(nproc)" install >>../xz-utils.log 2>&1
) || failed xz-utils
cmake_build flac flac "${flac_options[@]}" || failed flac
cmake_build libzstd/build/cmake libzstd "${zstd_options[@]}" || failed libzstd

# A .pc file's private fields name what static linking adds: here they become its own.
static_pc() {
    awk -v extra="${2:-}" '
        { line[NR] = $0 }
        sub(/^Libs\.private:/, "") { libs = libs $0 }
        sub(/^Cflags\.private:/, "") { cflags = cflags $0 }
        sub(/^Requires\.private:/, "") { requires = requires $0 }
        END {
            for (i = 1; i <= NR; i++) {
                l = line[i]
                if (l ~ /^(Libs|Cflags|Requires)\.private:/) continue
                if (l ~ /^Libs:/) l = l libs
                if (l ~ /^Cflags:/) l = l cflags " " extra
                if (l ~ /^Requires:/) l = l requires
                print l
            }
        }' "$1" >"$1.static"
    mv "$1.static" "$1"
}
static_pc "$prefix/lib/pkgconfig/liblzma.pc" "$lzma_cflags"
static_pc "$prefix/lib/pkgconfig/flac.pc" "$flac_cflags"
static_pc "$prefix/lib/pkgconfig/libzstd.pc"

# Debian's zlib for MinGW-w64 keeps the import library of its DLL beside the static one, and
# CMake's pkg-config lookup would take the DLL's: the folder gets the static library alone.
ln -s "/usr/$host/lib/libz.a" "$prefix/lib/libz.a"
sed -e "s#^\(libdir\|sharedlibdir\)=.*#\1=$prefix/lib#" "/usr/$host/lib/pkgconfig/zlib.pc" \
    >"$prefix/lib/pkgconfig/zlib.pc"

built=$(for package in "${packages[@]}"; do echo "$package $(cat "$package.version")"; done
    echo "libz-mingw-w64-dev $zlib_version")
cd "$vorlisk_cache"
rm -rf "$work"
echo "$built" >"$prefix/vorlisk-complete"
echo "$prefix"
