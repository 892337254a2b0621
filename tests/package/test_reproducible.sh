#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The .deb of scripts/package is the same, byte for byte, when built from
# two copies of the sources at different paths into build trees at
# different paths, with umask 022 and 002, in other time zones and
# locales; diffoscope explains a difference. The copies have no git, so
# both builds date the package from the changelog.
#
# Usage: test_reproducible.sh SOURCE_DIR BINARY_DIR
#   SOURCE_DIR  the project's sources
#   BINARY_DIR  the calling build tree, which the copies leave out
set -euo pipefail

source_dir=$1
binary_dir=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
}

# copy DEST: the sources without version control and build trees.
copy() {
    local inside
    inside=$(realpath -m --relative-to="$source_dir" "$binary_dir")
    mkdir -p "$1"
    tar -C "$source_dir" --exclude-vcs --exclude=./build --exclude='./build-*' --exclude="./$inside" -cf - . \
        | tar -C "$1" -xf -
}

# build NAME UMASK TZ LOCALE SOURCE BUILD: the recipe as one builder runs it,
# at low priority and without a compiler cache.
build() {
    local name=$1 mask=$2 zone=$3 locale=$4 src=$5 out=$6 started=$SECONDS
    if ! (umask "$mask" && cd / && env -u SOURCE_DATE_EPOCH -u CMAKE_CXX_COMPILER_LAUNCHER -u MAKEFLAGS \
            CCACHE_DISABLE=1 TZ="$zone" LC_ALL="$locale" nice "$src/scripts/package" "$out") \
            >"$work/$name.log" 2>&1; then
        cat "$work/$name.log"
        fail "the $name build failed"
    fi
    debs=("$out"/*.deb)
    [ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "the $name build made no single .deb"
    printf '%s: umask %s, TZ=%s, LC_ALL=%s, %s -> %s (%d s)\n' \
        "$name" "$mask" "$zone" "$locale" "$src" "${debs[0]}" $((SECONDS - started))
}

# Both copies first, so that both builds see the same sources.
(umask 022 && copy "$work/a/tavrin")
(umask 002 && copy "$work/elsewhere/sources/tavrin-copy")
build first 022 UTC C.UTF-8 "$work/a/tavrin" "$work/a/tavrin/build-package"
first=${debs[0]}
build second 002 Pacific/Chatham C "$work/elsewhere/sources/tavrin-copy" "$work/out/tree"
second=${debs[0]}

if ! cmp "$first" "$second"; then
    diffoscope --no-progress "$first" "$second" || true
    fail "the two packages differ (diffoscope above)"
fi
echo "identical: $(basename "$first"), $(stat -c %s "$first") bytes"
