#!/usr/bin/env bash
# Installs what building and testing Vorlisk needs on Debian or Ubuntu, when it is missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fuseiso fuse genisoimage libcdio-utils xdotool x11-utils xvfb openbox pcsxr
    librsvg2-bin desktop-file-utils appstream dpkg-dev file
    locales
    # The decoders of CHD files, and chdman, which makes the test discs of them.
    zlib1g-dev liblzma-dev libflac-dev libzstd-dev mame-tools
)
if [ "${VORLISK_WINDOWS:-}" = 1 ]; then
    # The POSIX thread model of MinGW-w64 (GoogleTest needs std::thread), built from the
    # sources of libgtest-dev; 64-bit Wine alone runs the 64-bit tests, without i386 packages.
    packages+=(g++-mingw-w64-x86-64-posix wine wine64)
    # The decoders of CHD images: zlib as Debian builds it for MinGW-w64; liblzma, libFLAC and
    # libzstd are built from Debian's source (dpkg-dev) with their own configure or CMake.
    packages+=(libz-mingw-w64-dev)
    # Vorlisk.exe: Qt for Windows is built from Debian's source package (dpkg-dev); ccache
    # and ninja keep rebuilds short; NSIS makes the installer; the offscreen tests under Wine
    # draw with DejaVu; x11-apps takes the screenshot.
    packages+=(ninja-build ccache nsis fonts-dejavu-core x11-apps)
fi
if [ "${VORLISK_FUZZ:-}" = 1 ]; then
    # clang and its libFuzzer.
    packages+=(clang libclang-rt-dev)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

# The order of the game list is tested and measured in a real language's locale as well.
has_locale() { locale -a 2>/dev/null | grep -qiE '^en_US\.utf-?8$'; }
if ! has_locale; then
    echo "Generating the locale en_US.UTF-8"
    if [ -f /etc/locale.gen ]; then
        "${sudo[@]}" sed -i 's/^# *en_US\.UTF-8 UTF-8/en_US.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^en_US\.UTF-8 UTF-8' /etc/locale.gen ||
            echo 'en_US.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
        "${sudo[@]}" locale-gen >/dev/null
    fi
    has_locale || "${sudo[@]}" localedef -i en_US -f UTF-8 en_US.UTF-8
fi
