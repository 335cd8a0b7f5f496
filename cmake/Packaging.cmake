# Install layout and the Debian package built by `./run.sh package` (cpack -G DEB).
#
# The program opens its ReadMe from its own folder, so the binary and the ReadMe share a private
# folder and /usr/bin holds a link to the binary; the program resolves that link when it looks
# for its folder.
set(QUILLON_PROGRAM_DIR lib/quillon)

install(TARGETS quillon quillonctl RUNTIME DESTINATION ${QUILLON_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/ReadMe.html DESTINATION ${QUILLON_PROGRAM_DIR})

file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
file(CREATE_LINK ../${QUILLON_PROGRAM_DIR}/quillon ${PROJECT_BINARY_DIR}/packaging/quillon SYMBOLIC)
file(CREATE_LINK ../${QUILLON_PROGRAM_DIR}/quillonctl ${PROJECT_BINARY_DIR}/packaging/quillonctl SYMBOLIC)
install(FILES ${PROJECT_BINARY_DIR}/packaging/quillon ${PROJECT_BINARY_DIR}/packaging/quillonctl DESTINATION bin)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/quillon.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/images/Tessel.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME quillon.svg)
install(FILES ${PROJECT_SOURCE_DIR}/resources/BREEZE-ICONS-COPYRIGHT DESTINATION share/doc/quillon)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR Halvern)
set(CPACK_PACKAGE_VERSION 1.3.00)
set(CPACK_PACKAGE_CONTACT "Quillon developers <quillon@halvern.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Finds large-format displays on a LAN and updates their firmware")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillon finds large-format displays on the local network, reads their model, serial number, power\n"
    "state and firmware versions, and updates their firmware over the LAN or by preparing a USB drive.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 250930)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binary links come from dpkg-shlibdeps. What Qt loads at run time is named
# here: the SVG icon engine and image plugin (libqt6svg6), and the fonts for the status symbols
# and the Japanese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-noto-color-emoji, fonts-noto-cjk")

include(CPack)
