# SPDX-License-Identifier: GPL-3.0-or-later
# Debian packages the project needs, kept in one place.
# shellcheck shell=bash disable=SC2034

# Compiler, build system and Qt (qt6-base-dev brings the Qt runtime and
# its platform plugins); the X11 client library the splash asks the window
# manager through; Qt's Wayland client, its protocol generator and the
# private Gui header that gives a window's Wayland surface, with KDE
# Plasma's protocols, through which the splash stays out of Plasma's task
# bar.
TAVRIN_BUILD_PACKAGES=(
    cmake g++ make
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libx11-dev libxcb1-dev
    qt6-wayland-dev qt6-wayland-dev-tools qt6-base-private-dev plasma-wayland-protocols wayland-protocols
)

# Free fonts that stand in for the families the windows name.
TAVRIN_FONT_PACKAGES=(
    fonts-kaushanscript fonts-staypuft fonts-yanone-kaffeesatz
    fonts-lobstertwo fonts-dancingscript fonts-roboto-slab
    fonts-comic-neue fonts-leckerli-one fonts-cabinsketch
    fonts-league-spartan fonts-goudybookletter
    fonts-liberation2 fonts-comfortaa fonts-blankenburg
)

# Making the Debian package (scripts/package): the shared libraries'
# dependencies and the type of the files CPack asks about.
TAVRIN_PACKAGE_PACKAGES=(dpkg-dev file)

# The end-to-end tests: pytest, an X server, a window manager (openbox, and
# those of GNOME, KDE Plasma with its title bars, and Xfce, which decorate
# and composite otherwise), input and screenshots, the accessibility bus, a
# screen reader with its speech server and voice, and the validators of the
# desktop files; the package
# test's man and lintian; on Wayland a headless compositor with its
# screenshots, Qt's Wayland plugin, and what the virtual input client
# builds with; the compositors of GNOME and KDE Plasma, nested in an X
# server, with Plasma's title bars; the second compiler that builds the
# program once more; the package check's shell parser and apt bindings;
# diffoscope, which explains how two builds of the package differ.
# The test packages_cover_commands (scripts/lib/check_packages.py) checks
# that these lists provide every command the scripts and tests call.
TAVRIN_TEST_PACKAGES=(
    python3-pytest xvfb xauth xdotool xclip openbox x11-utils
    mutter kwin-x11 kwin-style-breeze xfwm4
    python3-pyatspi at-spi2-core dbus dbus-x11
    orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
    python3-xlib python3-pil imagemagick strace
    desktop-file-utils appstream
    dpkg-dev file man-db lintian
    sway grim qt6-wayland libwayland-dev libxkbcommon-dev pkgconf
    kwin-wayland
    clang
    shfmt python3-apt
    diffoscope-minimal
)

# The benchmark (scripts/bench): an X server, and Xlib with the XTEST and
# DAMAGE extensions for its measuring client and its bare X11 program; to
# learn where to click, what the desktop tests' harness reads the program
# with (a window manager, input, the accessibility bus, its clipboard and
# screenshots).
TAVRIN_BENCH_PACKAGES=(
    xvfb libx11-dev libxtst-dev libxdamage-dev python3
    openbox xdotool xclip python3-xlib python3-pil python3-pyatspi at-spi2-core dbus
)
