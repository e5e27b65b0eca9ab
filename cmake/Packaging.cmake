# Installation (cmake --install) and the Debian package (cpack, see tools/package) on Linux.
#
# Layout under the prefix (GNUInstallDirs; the package uses /usr):
#   bin/ollavan-quick, bin/ollavan
#   lib/<multiarch>/ollavan-quick/libpdfium.so     the built-in PDF engine's library, private to the programs
#   share/applications, share/icons/hicolor, share/metainfo, share/man/man1, share/bash-completion
#   share/nautilus-python, share/caja-python, share/nemo/actions, share/kio/servicemenus, share/Thunar/sendto:
#       the file managers' "Print with preset" actions (dist/filemanagers, README: "Printing from the file
#       manager")
#   share/doc/ollavan-quick                        copyright and changelog
if(WIN32 OR APPLE)
    return()
endif()

include(GNUInstallDirs)

set(OLLAVAN_PACKAGE_NAME ollavan-quick)
set(OLLAVAN_DESKTOP_ID app.ollavan.OllavanQuick)
set(OLLAVAN_PRIVATE_LIBDIR "${CMAKE_INSTALL_LIBDIR}/${OLLAVAN_PACKAGE_NAME}")
set(OLLAVAN_DIST "${CMAKE_SOURCE_DIR}/dist")
set(OLLAVAN_DIST_BUILD "${CMAKE_BINARY_DIR}/dist")

# The engine finds its library from the executable's folder: the relative path between the two install folders.
file(RELATIVE_PATH OLLAVAN_PDFIUM_FOLDER_FROM_BINARY "${CMAKE_INSTALL_FULL_BINDIR}"
    "${CMAKE_INSTALL_PREFIX}/${OLLAVAN_PRIVATE_LIBDIR}")
set_property(SOURCE platform/linux/LinuxPdfiumLibrary.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    "OLLAVAN_PDFIUM_FOLDER_FROM_BINARY=\"${OLLAVAN_PDFIUM_FOLDER_FROM_BINARY}\"")

# --- programs and the library ------------------------------------------------------------------------------------
install(TARGETS ollavan-quick ollavan RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(TARGETS pdfium LIBRARY DESTINATION "${OLLAVAN_PRIVATE_LIBDIR}" NAMELINK_SKIP)

# --- desktop entry, icons, AppStream ------------------------------------------------------------------------------
install(FILES "${OLLAVAN_DIST}/${OLLAVAN_DESKTOP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${OLLAVAN_DIST}/${OLLAVAN_DESKTOP_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES "${OLLAVAN_DIST}/icons/${size}/${OLLAVAN_DESKTOP_ID}.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
install(FILES "${OLLAVAN_DIST}/icons/${OLLAVAN_DESKTOP_ID}.svg"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")

# --- manual pages and changelog, compressed as Debian wants them ---------------------------------------------------
# The manual pages name the program's version.
configure_file("${OLLAVAN_DIST}/man/ollavan.1.in" "${OLLAVAN_DIST_BUILD}/man/ollavan.1" @ONLY)
configure_file("${OLLAVAN_DIST}/man/ollavan-quick.1.in" "${OLLAVAN_DIST_BUILD}/man/ollavan-quick.1" @ONLY)
configure_file("${OLLAVAN_DIST}/debian/changelog" "${OLLAVAN_DIST_BUILD}/debian/changelog" COPYONLY)
set(OLLAVAN_COMPRESSED)
foreach(source man/ollavan.1 man/ollavan-quick.1 debian/changelog)
    set(output "${OLLAVAN_DIST_BUILD}/${source}.gz")
    add_custom_command(OUTPUT "${output}"
        COMMAND gzip -9 -n -c "${OLLAVAN_DIST_BUILD}/${source}" > "${output}"
        DEPENDS "${OLLAVAN_DIST_BUILD}/${source}"
        VERBATIM)
    list(APPEND OLLAVAN_COMPRESSED "${output}")
endforeach()
add_custom_target(ollavan-dist ALL DEPENDS ${OLLAVAN_COMPRESSED})
install(FILES "${OLLAVAN_DIST_BUILD}/man/ollavan.1.gz" "${OLLAVAN_DIST_BUILD}/man/ollavan-quick.1.gz"
    DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
set(OLLAVAN_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/${OLLAVAN_PACKAGE_NAME}")
install(FILES "${OLLAVAN_DIST}/debian/copyright" DESTINATION "${OLLAVAN_DOCDIR}")
install(FILES "${OLLAVAN_DIST_BUILD}/debian/changelog.gz" DESTINATION "${OLLAVAN_DOCDIR}")

# --- shell completion ----------------------------------------------------------------------------------------------
install(FILES "${OLLAVAN_DIST}/completion/ollavan" DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")

# --- file managers --------------------------------------------------------------------------------------------------
# One extension for Files (Nautilus) and Caja, which load Python extensions through the same GObject interface
# under their own namespace.
set(OLLAVAN_FILE_MANAGER Nautilus)
set(OLLAVAN_FILE_MANAGER_API 4.0)
configure_file("${OLLAVAN_DIST}/filemanagers/ollavan-quick-print.py.in"
    "${OLLAVAN_DIST_BUILD}/nautilus/ollavan-quick-print.py" @ONLY)
set(OLLAVAN_FILE_MANAGER Caja)
set(OLLAVAN_FILE_MANAGER_API 2.0)
configure_file("${OLLAVAN_DIST}/filemanagers/ollavan-quick-print.py.in"
    "${OLLAVAN_DIST_BUILD}/caja/ollavan-quick-print.py" @ONLY)
install(FILES "${OLLAVAN_DIST_BUILD}/nautilus/ollavan-quick-print.py"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/nautilus-python/extensions")
install(FILES "${OLLAVAN_DIST_BUILD}/caja/ollavan-quick-print.py"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/caja-python/extensions")
install(FILES "${OLLAVAN_DIST}/filemanagers/ollavan-quick-print.nemo_action"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/nemo/actions")
install(FILES "${OLLAVAN_DIST}/filemanagers/dolphin/ollavan-quick-print.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/kio/servicemenus")
install(FILES "${OLLAVAN_DIST}/filemanagers/thunar/ollavan-quick-print.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/Thunar/sendto")

# --- the Debian package (cpack -G DEB) ------------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME "${OLLAVAN_PACKAGE_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Ollavan")
set(CPACK_PACKAGE_CONTACT "Ollavan <support@ollavan.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-click printing through saved printer presets")
set(CPACK_PACKAGE_DESCRIPTION [[
Ollavan Quick is a small always-on-top desktop panel that prints a
document with one click through saved printer presets: a printer with
colour or mono, sides and binding edge, paper size and copies, or the
driver's own stored settings. Files are dropped on a preset's card or
printed from the file manager's context menu, and every job is kept in
a print history.

The ollavan command works on the same presets and history from a
terminal.]])
# ollavan-quick_VERSION_ARCH.deb, installing under /usr whatever the build's own prefix is (the install folders
# are relative to it).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://ollavan.app")
# The libraries the programs link come from dpkg-shlibdeps; what they load at run time is named here: the
# SQLite driver of the store and the SVG support of the icons (Qt plugins), the print server's client side.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, qt6-image-formats-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-writer, python3-nautilus, python3-caja")
include(CPack)
