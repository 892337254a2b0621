#!/usr/bin/env bash
# The package as a user gets it: builds the .deb from the build tree, checks
# its control data and its files, runs the desktop's validators on them, then
# installs it, starts the installed program on a private X server, sees its
# window appear and removes the package again.
#
# Usage: test_package.sh CPACK CPACK_CONFIG PACKAGES_SH ICON_SIZES
#   CPACK         the cpack executable
#   CPACK_CONFIG  CPackConfig.cmake of the build tree
#   PACKAGES_SH   the project's package lists (for the font packages)
#   ICON_SIZES    the desktop icon sizes, separated by semicolons
# Installing needs root; without it the test stops after the validators and
# reports itself skipped (exit 77).
set -euo pipefail

readonly SKIPPED=77
readonly APP_ID=io.github.tavrin.Tavrin
readonly PACKAGE=tavrin
readonly WINDOW_TIMEOUT=15

cpack=$1
cpack_config=$2
packages_sh=$3
IFS=';' read -r -a icon_sizes <<<"$4"
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
# apt reads the .deb as its unprivileged user.
chmod 755 "$work"
installed=0
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
    if [ "$installed" -eq 1 ]; then
        log "cleaning up: removing the package"
        apt-get purge -y -q -o DPkg::Lock::Timeout=60 "$PACKAGE" </dev/null >/dev/null 2>&1 \
            || dpkg --purge "$PACKAGE" >/dev/null 2>&1 || true
    fi
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
    [ -x "$root/usr/games/tavrin" ] || fail "no executable usr/games/tavrin"
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
dpkg-deb -x "$deb" "$work/root"
check_tree "$work/root"
if readelf -d "$work/root/usr/games/tavrin" | grep -Eq 'RPATH|RUNPATH'; then
    fail "the installed executable carries a library search path"
fi
log "the package's files are in place"

# Where the files are validated: on the system once installed, else in the
# unpacked package.
if [ "$(id -u)" -ne 0 ]; then
    tree=$work/root
else
    tree=
fi

install_package() {
    # One run at a time may own the system's tavrin package.
    exec 9>/run/lock/tavrin-package-test.lock
    flock -w 120 9 || fail "another package test holds /run/lock/tavrin-package-test.lock"
    if dpkg-query -W -f='${db:Status-Status}' "$PACKAGE" 2>/dev/null | grep -qx installed; then
        log "note: $PACKAGE $(dpkg-query -W -f='${Version}' "$PACKAGE") was installed; it is replaced and removed at the end"
    fi
    log "installing the package"
    installed=1
    if ! apt-get install -y -q --reinstall --no-install-recommends -o DPkg::Lock::Timeout=60 \
            "$deb" </dev/null >"$work/apt.log" 2>&1; then
        cat "$work/apt.log"
        fail "apt-get could not install the package"
    fi
    [ "$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$PACKAGE")" = "installed $version" ] \
        || fail "dpkg does not list $PACKAGE $version as installed"
    log "installed"
}

if [ -z "$tree" ]; then
    install_package
fi

log "validating the files as they lie ${tree:+in the unpacked package }under ${tree:-/}"
validate "desktop-file-validate" \
    desktop-file-validate "$tree/usr/share/applications/$APP_ID.desktop"
validate "appstreamcli validate --no-net" \
    appstreamcli validate --no-net "$tree/usr/share/metainfo/$APP_ID.metainfo.xml"
# The whole tree: the metainfo's launchable against the desktop entry, and
# the icons.
validate "appstreamcli validate-tree --no-net" \
    appstreamcli validate-tree --no-net "$work/root"

if [ -n "$tree" ]; then
    echo "SKIPPED: installing the package needs root; the package was built and validated"
    exit "$SKIPPED"
fi
check_tree ""
[ "$(man -w 6 tavrin 2>&1)" = /usr/share/man/man6/tavrin.6.gz ] \
    || fail "man does not find the installed page: $(man -w 6 tavrin 2>&1)"

# The installed program on a private X server with a window manager.
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

log "starting the installed /usr/games/tavrin on $DISPLAY"
mkdir -m 700 "$work/runtime"
# No session bus: the program needs none, and an autolaunched one would
# outlive the test.
start_group env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work/runtime" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" \
    /usr/games/tavrin 2>"$work/tavrin.log"
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
entry_class=$(sed -n 's/^StartupWMClass=//p' "/usr/share/applications/$APP_ID.desktop")
[[ $wm_class == *", \"$entry_class\"" ]] \
    || fail "window class ($wm_class) is not the entry's StartupWMClass ($entry_class)"

kill -0 "$tavrin_pid" 2>/dev/null \
    || { cat "$work/tavrin.log"; fail "the program ended by itself after showing its window"; }
kill -TERM "$tavrin_pid"
wait "$tavrin_pid" 2>/dev/null || true

log "removing the package"
if ! apt-get purge -y -q -o DPkg::Lock::Timeout=60 "$PACKAGE" </dev/null >"$work/apt.log" 2>&1; then
    cat "$work/apt.log"
    fail "apt-get could not remove the package"
fi
installed=0
[ ! -e /usr/games/tavrin ] || fail "/usr/games/tavrin is still there after removal"
[ ! -e "/usr/share/applications/$APP_ID.desktop" ] || fail "the desktop entry is still there after removal"
log "done"
