# The Debian package of the application, which `cpack` in the build directory makes (see
# scripts/package). It holds the install component "pinlet" alone, under /usr: the shortcut
# library's development files stay out. dpkg-shlibdeps computes the dependencies from the binary;
# the plugins that Qt loads and the icon theme that finds the icons are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Pinlet;pinlet;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME pinlet)
set(CPACK_PACKAGE_CONTACT
    "Pinlet maintainers <maintainers@users.noreply.c-seed-6f74132e.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "scratch note that a keyboard shortcut shows over any application")
set(CPACK_PACKAGE_DESCRIPTION
    "Pinlet keeps one plain-text scratch note in a small floating panel that a global keyboard
shortcut (Ctrl+Alt+N) shows over any application and hides again, handing the keyboard back to
where it was. It lives in the system tray of X11 desktops.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icon engine and image plugin; the theme whose index lets Qt find the icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, hicolor-icon-theme")
# Qt's own texts (the editor's context menu) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
