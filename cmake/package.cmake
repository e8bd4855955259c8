# `make package`: a Debian package of the installation. Its library dependencies are found
# by dpkg-shlibdeps; the font and the soundfont are looked up at run time, so they are named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME discfire)
set(CPACK_PACKAGE_VENDOR "焼き加減メーター制作班")
set(CPACK_PACKAGE_CONTACT "焼き加減メーター制作班 <maintainers@discfire.example>" CACHE STRING
    "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "click each burning CD-R when its colour is just right")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A human benchmark in one small Japanese window (焼き加減メーター): five CD-R discs burn
from blue through cyan, green, yellow and red to black. Click each disc when its colour is
within 50 MB of the target shown above it; every third success makes them burn faster,
and ten failures end the game.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, timgm6mb-soundfont")
set(CPACK_STRIP_FILES ON)
include(CPack)
