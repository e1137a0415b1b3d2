# What the tools that build libraries for Windows from Debian's own source packages share;
# sourced by them (tools/build-qt-windows.sh, tools/build-decoders-windows.sh).
#
#   vorlisk_cache                      the folder of the built libraries, made when missing
#   find_debian_source PACKAGE [VER]   makes `apt-get source` find the source package PACKAGE
#                                      (at version VER when given); fails when it cannot
#   debian_source_versions PACKAGE     the versions the archive offers, newest first
#   fetch_debian_source PACKAGE VER DIR [OPTION...]
#                                      downloads it into the current folder and unpacks it
#                                      into DIR, with Debian's patches unless the options of
#                                      dpkg-source say otherwise
#   fetch_newest_debian_source PACKAGE DIR
#                                      the same for the newest version that can be fetched,
#                                      and prints that version

vorlisk_cache=${XDG_CACHE_HOME:-$HOME/.cache}/vorlisk
mkdir -p "$vorlisk_cache"

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

has_debian_source() {
    apt-cache showsrc --only-source "$1" 2>/dev/null | grep "^Version: ${2:-.*}$" >/dev/null
}

# A deb-src line for each archive the machine installs from, when the source is not known yet.
find_debian_source() {
    has_debian_source "$@" && return 0
    local src=/etc/apt/sources.list.d/vorlisk-deb-src.sources
    echo "Adding the source packages of this machine's Debian archives ($src)" >&2
    {
        for f in /etc/apt/sources.list.d/*.sources; do
            [ "$f" = "$src" ] || [ ! -f "$f" ] && continue
            grep -q 'deb.debian.org\|security.debian.org\|archive.ubuntu.com' "$f" || continue
            sed 's/^Types:.*/Types: deb-src/' "$f"
            echo
        done
        for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            [ -f "$f" ] || continue
            grep -E '^deb\s' "$f" | grep -E 'debian.org|ubuntu.com' | sed -E 's/^deb(\s)/Types: deb-src\nURIs:/' |
                awk '/^URIs:/{n=split($0,a," "); printf "URIs: %s\nSuites: %s\nComponents:", a[2], a[3]; for(i=4;i<=n;i++) printf " %s", a[i]; printf "\n\n"; next} {print}' || true
        done
    } | "${sudo[@]}" tee "$src" >/dev/null
    "${sudo[@]}" apt-get update -qq >&2
    has_debian_source "$@"
}

debian_source_versions() {
    local sorted=() version i
    for version in $(apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | sort -u); do
        for ((i = ${#sorted[@]}; i > 0; i--)); do
            dpkg --compare-versions "${sorted[i - 1]}" ge "$version" && break
            sorted[i]=${sorted[i - 1]}
        done
        sorted[i]=$version
    done
    printf '%s\n' "${sorted[@]}"
}

fetch_debian_source() {
    apt-get source --download-only -qq "$1=$2" >&2 &&
        dpkg-source -x "${@:4}" "./$1_${2#*:}.dsc" "$3" >/dev/null
}

# A mirror may lack the files of the newest version for a while; an older one then serves.
fetch_newest_debian_source() {
    local version
    for version in $(debian_source_versions "$1"); do
        if fetch_debian_source "$1" "$version" "$2"; then
            echo "$version"
            return 0
        fi
        echo "$1 $version could not be fetched" >&2
    done
    return 1
}
