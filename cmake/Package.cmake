# The Debian package: `cpack -G DEB` in the build folder (after the build)
# writes qkmonitors_<version>_<arch>.deb, installing under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qkmonitors)
set(CPACK_PACKAGE_VENDOR "the qkmonitors authors")
# Debian wants a name and a mail address; a packager may give their own.
set(QK_PACKAGE_MAINTAINER "qkmonitors authors <qkmonitors@users.noreply.example.org>"
    CACHE STRING "Maintainer field of the Debian package: Name <address>")
set(CPACK_PACKAGE_CONTACT "${QK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial service monitors for Z80 and PIC16F877 boards")
# Debian shows the description as written: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Qk14 and QkP877W show and change the memory and ports of a target board
over a serial line: a hex dump page, watch pages from *.DAT files and a
change log, in an SDL window or a terminal. qk-target-sim simulates both
boards on a pseudo-terminal.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# Shared libraries by their Debian (bookworm) package names (libgensio4 for
# network serial ports); unifont for the window's font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1, libsdl2-2.0-0 (>= 2.0.12), libncursesw6 (>= 6), libtinfo6 (>= 6), libpng16-16 (>= 1.6), libgensio4 (>= 2.6), unifont")
# Without bash-completion the completions are installed but never loaded.
# The C library's Japanese texts, for the system's reasons in Japanese reports.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion, locales, libc-l10n")
# Only what the install rules name goes into the package.
set(CPACK_STRIP_FILES ON)
include(CPack)
