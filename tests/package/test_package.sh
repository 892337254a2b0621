#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package as a user gets it, without touching this machine's packages:
# builds the .deb from the build tree, checks its control data and its
# files, runs lintian and the desktop's validators on it, has apt simulate
# its installation, then starts the unpacked program on a private X server
# and sees its window appear.
#
# Usage: test_package.sh CPACK CPACK_CONFIG PACKAGES_SH ICON_SIZES PROGRAM
#   CPACK         the cpack executable
#   CPACK_CONFIG  CPackConfig.cmake of the build tree
#   PACKAGES_SH   the project's package lists (for the font packages)
#   ICON_SIZES    the desktop icon sizes, separated by semicolons
#   PROGRAM       where the package installs the program (/usr/games/tavrin)
set -euo pipefail

readonly APP_ID=io.github.tavrin.Tavrin
readonly PACKAGE=tavrin
readonly WINDOW_TIMEOUT=15

cpack=$1
cpack_config=$2
packages_sh=$3
IFS=';' read -r -a icon_sizes <<<"$4"
program=$5
# shellcheck source=../../scripts/lib/packages.sh
. "$packages_sh"

started=$(date +%s.%N)
log() {
    awk -v t0="$started" -v t1="$(date +%s.%N)" -v msg="$*" \
        'BEGIN { printf "[%5.1fs] %s\n", t1 - t0, msg }'
}
fail() {
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-package.XXXXXX")
process_groups=()

cleanup() {
    local status=$? pgid
    for pgid in "${process_groups[@]}"; do
        kill -TERM -- "-$pgid" 2>/dev/null || true
    done
    for pgid in "${process_groups[@]}"; do
        if kill -0 -- "-$pgid" 2>/dev/null; then
            sleep 0.2
            kill -KILL -- "-$pgid" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Starts "$@" in the background in a process group of its own, so that
# cleanup takes along whatever it starts; sets $started_pid.
start_group() {
    setsid "$@" &
    started_pid=$!
    process_groups+=("$started_pid")
}

# validate LABEL COMMAND...: runs a validator, shows its output as it is and
# fails when it reports an error (exit status).
validate() {
    local label=$1 output status=0
    shift
    output=$("$@" 2>&1) || status=$?
    printf -- '--- %s (exit %d):\n%s\n' "$label" "$status" "${output:-(no output)}"
    [ "$status" -eq 0 ] || fail "$label reports errors"
}

# check_tree ROOT: the files the package must lay out, under ROOT.
check_tree() {
    local root=$1 size desc
    [ -x "$root$program" ] || fail "no executable $program"
    [ -f "$root/usr/share/applications/$APP_ID.desktop" ] || fail "no desktop entry"
    [ -f "$root/usr/share/metainfo/$APP_ID.metainfo.xml" ] || fail "no metainfo"
    for size in "${icon_sizes[@]}"; do
        desc=$(file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png" 2>&1)
        case $desc in
            "PNG image data, $size x $size,"*) ;;
            *) fail "icon ${size}x${size}: $desc" ;;
        esac
    done
    zcat "$root/usr/share/man/man6/tavrin.6.gz" | grep -q '^\.TH TAVRIN 6 ' \
        || fail "no manual page in section 6"
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
        "$root/usr/share/doc/$PACKAGE/copyright" || fail "no machine-readable copyright file"
    zcat "$root/usr/share/doc/$PACKAGE/changelog.gz" | grep -q "^$PACKAGE ($version) " \
        || fail "no changelog entry for $version"
    grep -qx "Icon=$APP_ID" "$root/usr/share/applications/$APP_ID.desktop" \
        || fail "the desktop entry does not name the installed icon $APP_ID"
}

# The package.
log "building the package"
if ! "$cpack" --config "$cpack_config" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack failed"
fi
debs=("$work"/out/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack made no single .deb: ${debs[*]}"
fi
deb=${debs[0]}
log "built $(basename "$deb"), $(stat -c %s "$deb") bytes"
dpkg-deb -I "$deb"

[ "$(dpkg-deb -f "$deb" Package)" = "$PACKAGE" ] || fail "package name is not $PACKAGE"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for pkg in "${TAVRIN_FONT_PACKAGES[@]}"; do
    [[ ", $depends," == *", $pkg,"* ]] || fail "Depends lacks the font package $pkg"
done
# Computed from the executable, not written by hand.
[[ $depends == *libqt6widgets6* ]] || fail "Depends lacks the shared libraries (no libqt6widgets6)"
[[ ", $(dpkg-deb -f "$deb" Recommends)," == *", qt6-wayland,"* ]] \
    || fail "Recommends lacks qt6-wayland, for running natively on Wayland"

# Its files, as they will lie on the disk.
root=$work/root
dpkg-deb -x "$deb" "$root"
check_tree "$root"
if readelf -d "$root$program" | grep -Eq 'RPATH|RUNPATH'; then
    fail "the installed executable carries a library search path"
fi
log "the package's files are in place"

log "validating the files as they lie in the unpacked package"
validate "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/$APP_ID.desktop"
validate "appstreamcli validate --no-net" \
    appstreamcli validate --no-net "$root/usr/share/metainfo/$APP_ID.metainfo.xml"
# The whole tree: the metainfo's launchable against the desktop entry, and
# the icons.
validate "appstreamcli validate-tree --no-net" appstreamcli validate-tree --no-net "$root"
[ "$(man -M "$root/usr/share/man" -w 6 tavrin 2>&1)" = "$root/usr/share/man/man6/tavrin.6.gz" ] \
    || fail "man does not find the page in section 6: $(man -M "$root/usr/share/man" -w 6 tavrin 2>&1)"

# Debian's policy, the hardening of the executable and its stripped
# sections included; informational tags count too.
log "running lintian"
tags=$(lintian --pedantic --display-info "$deb" 2>"$work/lintian.log") || {
    cat "$work/lintian.log"
    fail "lintian could not check the package"
}
printf -- '--- lintian --pedantic --display-info:\n%s\n' "${tags:-(no tags)}"
[ -z "$tags" ] || fail "lintian reports the tags above"

# apt resolves its dependencies from this machine's sources and installed
# packages, and changes nothing (no caches written either).
log "simulating the installation"
if ! apt-get install --simulate --reinstall --no-install-recommends \
        -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= "$deb" </dev/null >"$work/apt.log" 2>&1; then
    cat "$work/apt.log"
    fail "apt-get cannot install the package"
fi
grep -q "^Inst $PACKAGE " "$work/apt.log" && grep -q "^Conf $PACKAGE " "$work/apt.log" \
    || { cat "$work/apt.log"; fail "apt-get would not install and configure $PACKAGE"; }

# The unpacked program on a private X server with a window manager; it needs
# nothing from where it is installed.
log "starting Xvfb and openbox"
start_group Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp \
    5>"$work/display" 2>"$work/xvfb.log"
deadline=$((SECONDS + 10))
until [ -s "$work/display" ] && grep -q . "$work/display"; do
    [ $SECONDS -lt $deadline ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    sleep 0.05
done
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY
start_group openbox --sm-disable >"$work/openbox.log" 2>&1
deadline=$((SECONDS + 10))
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    [ $SECONDS -lt $deadline ] || { cat "$work/openbox.log"; fail "openbox did not start"; }
    sleep 0.05
done

log "starting the unpacked $program on $DISPLAY"
mkdir -m 700 "$work/runtime"
# No session bus: the program needs none, and an autolaunched one would
# outlive the test.
start_group env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work/runtime" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" \
    "$root$program" 2>"$work/tavrin.log"
tavrin_pid=$started_pid
deadline=$((SECONDS + WINDOW_TIMEOUT))
window=
until window=$(xdotool search --onlyvisible --pid "$tavrin_pid" 2>/dev/null | head -n1) \
        && [ -n "$window" ]; do
    kill -0 "$tavrin_pid" 2>/dev/null \
        || { cat "$work/tavrin.log"; fail "the program ended before showing a window"; }
    [ $SECONDS -lt $deadline ] \
        || { cat "$work/tavrin.log"; fail "no window of the program within ${WINDOW_TIMEOUT}s"; }
    sleep 0.1
done
log "window $window is visible"

# Desktops match a window to its entry through the window's class.
wm_class=$(xprop -id "$window" WM_CLASS)
entry_class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$APP_ID.desktop")
[[ $wm_class == *", \"$entry_class\"" ]] \
    || fail "window class ($wm_class) is not the entry's StartupWMClass ($entry_class)"

kill -0 "$tavrin_pid" 2>/dev/null \
    || { cat "$work/tavrin.log"; fail "the program ended by itself after showing its window"; }
kill -TERM "$tavrin_pid"
wait "$tavrin_pid" 2>/dev/null || true

log "done"
