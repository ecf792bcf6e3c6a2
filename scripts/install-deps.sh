#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Velmora need. Installs only what is
# missing, so it is quick on a prepared machine. Needs root (it uses sudo when not run as root).
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config qt6-base-dev libglib2.0-dev
    # the layout check of the lines a change touches (clang-format and git clang-format)
    clang-format
    # tests
    libgtest-dev libgmock-dev desktop-file-utils liblnk-utils xvfb xauth
    # tests that hear the X bell (the keyboard extension's bell notices)
    libxcb-xkb-dev
    # tests of ACLs and extended attributes kept by a switch (setfacl, setfattr, getfattr)
    acl attr
    # the desktop the program meets: default applications, MIME data, user folders, fonts
    xdg-utils xdg-user-dirs shared-mime-info fontconfig fonts-liberation fonts-liberation2
    # switching as a normal user: pkexec, polkitd and the system bus it talks over (also for the polkit tests)
    pkexec polkitd dbus
    # the Debian package and its checks: dpkg-shlibdeps and file (CPack), lintian, AppStream, the policy's
    # DTD check, the manual page; hardening-check (devscripts) on the packaged programs
    dpkg-dev file lintian appstream libxml2-utils man-db devscripts
    # the RPM beside it: rpmbuild (CPack), rpm, rpmlint
    rpm rpmlint
    # the Windows build: mingw-w64 cross compiler, GoogleTest sources to build for it, Wine (64-bit) to test it
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest wine64 nsis
    # fuzzing the parsers of outside text: clang 14 and its libFuzzer and sanitizer run-times
    clang-14 libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
