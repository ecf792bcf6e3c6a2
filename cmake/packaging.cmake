# A Debian package and an RPM of the installed tree: `cpack -G DEB`, `cpack -G RPM` in a build directory
# (the `package` target makes both; the RPM where rpmbuild is installed). Both are staged under /usr whatever
# the build's own install prefix; the polkit policy is written for that prefix while staging.

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
# The policy names the helper by its path under /usr: the packages cannot be installed elsewhere.
set(CPACK_PACKAGE_RELOCATABLE OFF)

# The RPM holds the same tree. Its dependencies are what rpmbuild finds in the binaries (the sonames of Qt,
# GLib, libstdc++, glibc) and pkexec, by its path: distributions ship it in `polkit` or in a package of its
# own. The private libraries provide nothing to other packages.
set(CPACK_RPM_PACKAGE_SUMMARY "Switch between several versions of the hosts file")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP "Applications/System")
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_AUTOREQPROV ON)
set(CPACK_RPM_PACKAGE_REQUIRES "/usr/bin/pkexec")
# No /usr/lib/.build-id links: the .deb has none, and two packages built from one source would clash there.
set(CPACK_RPM_SPEC_MORE_DEFINE "%global __provides_exclude_from ^/usr/${VELMORA_OWN_LIBRARY_DIR}/.*$
%define _build_id_links none
%define packager ${CPACK_PACKAGE_CONTACT}")
# The folders of the file system the package only puts files into are the distribution's, not its own.
# /usr/lib/<triplet> is no such folder on an RPM distribution: the package owns it, so that it goes with it.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/libexec /usr/share/applications /usr/share/icons
    /usr/share/icons/hicolor /usr/share/man /usr/share/man/man1 /usr/share/metainfo /usr/share/polkit-1
    /usr/share/polkit-1/actions)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
         /usr/share/icons/hicolor/${size}x${size} /usr/share/icons/hicolor/${size}x${size}/apps)
endforeach()

# Package only what the programs install (no GoogleTest headers from a FetchContent or the like).
set(CPACK_GENERATOR DEB)
find_program(VELMORA_RPMBUILD rpmbuild)
if(VELMORA_RPMBUILD)
    list(APPEND CPACK_GENERATOR RPM)
endif()
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")
include(CPack)
