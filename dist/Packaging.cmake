# The Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME k352)
set(CPACK_PACKAGE_VENDOR "k352_4")
set(CPACK_PACKAGE_CONTACT "k352_4 developers <k352-4@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Companion program of the kavor 352-4 sound level meter")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows the meter's display live, presses its keys, records the live level into a chart, downloads the data logger's data sets and the stored single values, and keeps, prints and exports them. Includes k352-cli for scripts and k352-sim, a simulated meter.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window system plugins are not a linked library, so the dependency scan cannot find them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/k352-4/k352_4")
set(CPACK_STRIP_FILES ON)
include(CPack)
