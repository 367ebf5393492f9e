# The Debian package of the game, made by CPack from the game's install rules
# (the "game" component only; the engine's headers and library are for game
# makers and stay out): `cpack -G DEB` in a build folder, or scripts/package-deb.
set(CPACK_PACKAGE_NAME fowlshot)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Fowlshot Lark developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "duck shooting game drawn in coloured characters")
set(CPACK_PACKAGE_CONTACT "Fowlshot Lark developers <fowlshot@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};game;/")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The synopsis above, then this, as the package's long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ducks fly in two at a time from either side of the screen on paths that
bend slowly downward; aim the red cross-hair with the mouse and click to
shoot them before they escape. Every round the ducks fly faster and are
worth more. Everything on the screen, ducks, reeds and scores, is drawn in
coloured character cells.")
# The shared libraries (SFML, libmpg123, the C++ runtime) are found by
# dpkg-shlibdeps; the font is read from fonts-dejavu-core at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
