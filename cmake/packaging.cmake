# A Debian package of the installed tree: `cpack -G DEB` in a build directory. It is staged under /usr
# whatever the build's own install prefix; the polkit policy is written for that prefix while staging.

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "Velmora developers <maintainers@velmora.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "switch between several versions of the hosts file")
# Debian shows the extended description as it is: lines of at most 79 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps several versions of the system's hosts file side by side in /etc
(hosts.office, hosts.staging, ...) and makes one of them the active /etc/hosts
with a double-click in its window or from a desktop shortcut. The switch is
atomic: /etc/hosts always holds its old or its new content. A user who may not
write /etc/hosts is asked for consent through polkit, and a minimal helper
that takes only a variant name makes the switch.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${VELMORA_HOMEPAGE_URL}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# pkexec asks for the administrator's consent; the program and the helper need nothing else at run time
# beyond the libraries dpkg-shlibdeps finds.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "pkexec")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-liberation, fonts-liberation2")
# Package only what the programs install (no GoogleTest headers from a FetchContent or the like).
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")
include(CPack)
