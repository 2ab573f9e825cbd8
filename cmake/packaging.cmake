# The Debian package: `cpack -G DEB` in the build folder, or the `package` target.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME numbrella)
set(CPACK_PACKAGE_VENDOR Numbrella)
set(CPACK_PACKAGE_CONTACT "Numbrella <numbrella@numbrella.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "gives the files of a folder serial names")
set(CPACK_PACKAGE_DESCRIPTION
    "Numbrella renames every file of one folder that matches an extension\n"
    "filter to a serial name: base name, zero-padded number and extension,\n"
    "in the order of the folder's file list. A rename never replaces a file.\n"
    "A viewer shows, zooms, saves and prints pictures. The window is in\n"
    "Japanese.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the binary links, with versions; Qt loads the X11
# platform plugin, the image-format plugins and its own Japanese texts at run time, and the
# window needs a Japanese font, so those are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-image-formats-plugins, qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_STRIP_FILES ON)
include(CPack)
