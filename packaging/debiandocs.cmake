# SPDX-License-Identifier: GPL-3.0-or-later
# CPack runs this on the staged files before it packs the .deb: what Debian
# wants of every package and a plain install leaves to the packager, the
# compressed manual page, changelog and copyright file. gzip -n keeps the
# time out of the archives.
cmake_path(ABSOLUTE_PATH CPACK_TAVRIN_MANDIR BASE_DIRECTORY "${CPACK_PACKAGING_INSTALL_PREFIX}"
    OUTPUT_VARIABLE mandir)
cmake_path(ABSOLUTE_PATH CPACK_TAVRIN_DOCDIR BASE_DIRECTORY "${CPACK_PACKAGING_INSTALL_PREFIX}"
    OUTPUT_VARIABLE docdir)
set(mandir "${CPACK_TEMPORARY_DIRECTORY}${mandir}/man6")
set(docdir "${CPACK_TEMPORARY_DIRECTORY}${docdir}")

execute_process(COMMAND gzip -9 -n "${mandir}/tavrin.6" COMMAND_ERROR_IS_FATAL ANY)
file(COPY "${CPACK_TAVRIN_PACKAGING_DIR}/copyright" DESTINATION "${docdir}"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
execute_process(COMMAND gzip -9 -n -c "${CPACK_TAVRIN_PACKAGING_DIR}/changelog"
    OUTPUT_FILE "${docdir}/changelog.gz" COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD "${docdir}/changelog.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
