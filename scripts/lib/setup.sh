# SPDX-License-Identifier: GPL-3.0-or-later
# Shared set-up for scripts/run, scripts/test and scripts/bench: install what
# is missing, then configure and build.
# shellcheck shell=bash

TAVRIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/lib/packages.sh
. "$TAVRIN_ROOT/scripts/lib/packages.sh"

export DEBIAN_FRONTEND=noninteractive

tavrin_log() {
    printf '%s: %s\n' "$(basename "$0")" "$*" >&2
}

# Runs a command as root: directly when we are root, else through sudo.
tavrin_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo env DEBIAN_FRONTEND=noninteractive "$@"
    else
        tavrin_log "need root (or sudo) to run: $*"
        return 1
    fi
}

# Prints the packages among "$@" that are not installed.
tavrin_missing_packages() {
    local pkg status
    for pkg in "$@"; do
        status="$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)"
        if [ "$status" != "installed" ]; then
            printf '%s\n' "$pkg"
        fi
    done
}

# Installs the packages among "$@" that are missing; touches apt only then,
# and waits for another installation to finish.
tavrin_install_packages() {
    local missing
    mapfile -t missing < <(tavrin_missing_packages "$@")
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    tavrin_log "installing: ${missing[*]}"
    tavrin_as_root apt-get update </dev/null
    tavrin_as_root apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}" </dev/null
}

# Configures build/ with the CMake options in "$@" and builds everything.
tavrin_build() {
    cmake -S "$TAVRIN_ROOT" -B "$TAVRIN_ROOT/build" "$@" </dev/null
    cmake --build "$TAVRIN_ROOT/build" -j"$(nproc)" </dev/null
}

# The tests that need no X server, built with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ (the program itself and the
# end-to-end tests are left out of this tree).
tavrin_build_sanitized() {
    cmake -S "$TAVRIN_ROOT" -B "$TAVRIN_ROOT/build-asan" -DTAVRIN_SANITIZE=ON -DTAVRIN_WERROR=ON </dev/null
    cmake --build "$TAVRIN_ROOT/build-asan" -j"$(nproc)" --target offscreen_tests </dev/null
}

# The program alone once more, with clang and without the parts only Linux
# desktops have (the splash's X11 and Wayland hints), into build-clang/: it
# must build where those are missing and where another compiler warns.
# Unoptimised, as it only has to build; no tests.
tavrin_build_portable() {
    cmake -S "$TAVRIN_ROOT" -B "$TAVRIN_ROOT/build-clang" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=None -DTAVRIN_WERROR=ON -DTAVRIN_XCB=OFF -DTAVRIN_WAYLAND_HINTS=OFF \
        -DBUILD_TESTING=OFF </dev/null >/dev/null &&
        cmake --build "$TAVRIN_ROOT/build-clang" -j"$(nproc)" --target tavrin </dev/null
}
