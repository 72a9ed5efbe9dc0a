# What is installed besides the programs and their data (the desktop entry, icon, metainfo,
# manual pages, copyright and changelog), and the Debian package made of it all
# (scripts/package).
include(GNUInstallDirs)

set(app_id example.pelorin.Quavelorin)
set(res ${PROJECT_SOURCE_DIR}/res)

install(FILES ${res}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${res}/${app_id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The metainfo names the home page only when there is one.
set(METAINFO_HOME_PAGE "")
if(QUAVELORIN_HOME_PAGE)
    string(REPLACE "&" "&amp;" escaped "${QUAVELORIN_HOME_PAGE}")
    set(METAINFO_HOME_PAGE "\n  <url type=\"homepage\">${escaped}</url>")
endif()
configure_file(${res}/${app_id}.metainfo.xml.in ${PROJECT_BINARY_DIR}/${app_id}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The rest is for Linux and other Unix desktops only.
if(NOT UNIX OR APPLE)
    return()
endif()

# Manual pages and the changelog are installed compressed, as Debian wants them; man and
# zless read them so everywhere.
find_program(GZIP gzip REQUIRED)
set(compressed "")
foreach(source quavelorin.1 quavelorin-analyze.1 changelog)
    set(gz ${PROJECT_BINARY_DIR}/${source}.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${GZIP} -9 -n -c ${res}/${source} > ${gz}
        DEPENDS ${res}/${source}
        VERBATIM)
    list(APPEND compressed ${gz})
endforeach()
add_custom_target(quavelorin_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${PROJECT_BINARY_DIR}/quavelorin.1.gz ${PROJECT_BINARY_DIR}/quavelorin-analyze.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/quavelorin)
install(FILES ${res}/copyright ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${docdir})

# The Debian package: build/quavelorin_<version>_<arch>.deb. Its Depends line is worked out
# by dpkg-shlibdeps from the libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quavelorin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Pelorin)
set(CPACK_PACKAGE_CONTACT "Quavelorin developers <dev@quavelorin.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tuner for Western and Chinese musical instruments")
# The summary above becomes its first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quavelorin listens to the microphone, finds the pitch of the note being
played and shows how far it lies from the target note, in cents, on a
meter with a frequency read-out. The target follows the nearest note, or
is a string picked from a tree of Western and Chinese instruments labelled
in numbered notation.

Beside the tuner it shows a live spectrum over a semitone grid from A0 to
C8, and it has a reference tone, a metronome and an A4 reference
adjustable from 435 to 445 Hz. It speaks English, Simplified Chinese and
Japanese.

The package also holds quavelorin-analyze, which runs the tuner's
measurement on an audio file and prints what the tuner would show.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Chinese instrument names and the Chinese and Japanese texts need a font with their glyphs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(QUAVELORIN_HOME_PAGE)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUAVELORIN_HOME_PAGE})
endif()
include(CPack)
