# `make package`: a Debian package of the installation, checked by lintian in the tests. Its
# library dependencies are found by dpkg-shlibdeps; what the game looks up at run time is
# named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME discfire)
set(CPACK_PACKAGE_VENDOR "焼き加減メーター制作班")
set(CPACK_PACKAGE_CONTACT "焼き加減メーター制作班 <maintainers@discfire.example>" CACHE STRING
    "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "click each burning CD-R when its colour is just right")
# Under the summary, lines under 80 columns, as lintian wants them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A human benchmark in one small Japanese window (焼き加減メーター):
five CD-R discs burn from blue through cyan, green, yellow and red to
black. Click each disc when its colour is within 50 MB of the target
shown above it; every third success makes them burn faster, and ten
failures end the game.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# A package installs under /usr. A build configured for another prefix still packages
# soundly: its program finds the tune from its own folder.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(STATUS "The package's program will find its tune from its own folder only "
                 "(configure with -DCMAKE_INSTALL_PREFIX=/usr for its absolute path too)")
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Looked up at run time: the Japanese font through fontconfig, and a General MIDI soundfont
# (default-GM.sf2, which every provider of sf2-soundfont-gm registers).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, timgm6mb-soundfont | sf2-soundfont-gm")
# libdecor loads the plugin that draws the window's frame where a Wayland compositor draws
# none; without one the window still works, undecorated, and X11 needs none.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libdecor-0-plugin-1-cairo | libdecor-0-plugin-1")
set(CPACK_STRIP_FILES ON)
include(CPack)
