# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack` in the build directory writes
# tavrin_<version>_<arch>.deb from the install rules.

# The fonts that stand in for the windows' families are named in one place,
# the list the set-up scripts install from; the package depends on each.
set(package_list ${PROJECT_SOURCE_DIR}/scripts/lib/packages.sh)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${package_list})
file(READ ${package_list} package_text)
if(NOT package_text MATCHES "TAVRIN_FONT_PACKAGES=\\(([^)]*)\\)")
    message(FATAL_ERROR "${package_list}: no TAVRIN_FONT_PACKAGES=( ... ) list")
endif()
string(REGEX REPLACE "#[^\n]*" "" font_packages "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "[a-z0-9][a-z0-9.+-]+" font_packages "${font_packages}")
if(NOT font_packages)
    message(FATAL_ERROR "${package_list}: TAVRIN_FONT_PACKAGES is empty")
endif()
list(JOIN font_packages ", " font_depends)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "The Tavrin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The package's maintainer is whoever signed the changelog's last entry
# (dch writes DEBFULLNAME <DEBEMAIL> there).
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/changelog changelog)
if(NOT changelog MATCHES "\n -- ([^\n<]+<[^\n>]+>)  ")
    message(FATAL_ERROR "packaging/changelog: no ' -- NAME <ADDRESS>  DATE' line")
endif()
set(CPACK_PACKAGE_CONTACT "${CMAKE_MATCH_1}")
set(CPACK_PACKAGE_HOMEPAGE_URL https://tavrin.github.io/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "noughts and crosses for two players at one computer")
set(CPACK_PACKAGE_DESCRIPTION
"Tavrin is the game of noughts and crosses for two people sharing one
computer. The players type their names, take turns placing O and X on a
board of nine buttons with the mouse or the digit keys, and play matches
of five games; each player's score list keeps the results.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The package's folders whatever the umask of the one who builds it (the
# files have their modes from the install rules).
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# What Debian adds to the installed files (debiandocs.cmake).
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/debiandocs.cmake)
set(CPACK_TAVRIN_PACKAGING_DIR ${CMAKE_CURRENT_SOURCE_DIR})
set(CPACK_TAVRIN_MANDIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_TAVRIN_DOCDIR ${CMAKE_INSTALL_DOCDIR})
# Where the package puts the program, for its test.
cmake_path(ABSOLUTE_PATH TAVRIN_INSTALL_GAMESDIR BASE_DIRECTORY ${CPACK_PACKAGING_INSTALL_PREFIX}
    OUTPUT_VARIABLE gamesdir)
set(TAVRIN_PACKAGED_PROGRAM ${gamesdir}/tavrin CACHE INTERNAL "The program's path in the .deb")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${font_depends}")
# Qt's Wayland plugin lets the program run natively on a Wayland desktop;
# without it Qt falls back to X11 through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
