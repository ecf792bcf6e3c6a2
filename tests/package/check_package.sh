#!/usr/bin/env bash
# Builds the Debian package and the RPM from a build tree and inspects them: contents, owners, dependencies,
# the polkit policy, AppStream data, the programs' hardening, lintian; the RPM's files and modes against the
# .deb's, its dependencies, rpmlint. As root it installs the RPM into a scratch root and switches a sandbox
# drive with the program there; on a machine without Velmora installed it then installs the .deb, switches a
# sandbox drive with the installed program, renders its manual page and removes it again.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail

build_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
installed_here=no
cleanup() {
    if [ "$installed_here" = yes ]; then
        DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y velmora >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $* ($(date +%s.%N | cut -c1-14))"; }

step "cpack"
cpack -G 'DEB;RPM' --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/velmora_*.deb)
rpm=$(ls "$work"/out/velmora-*.rpm)
echo "$(basename "$deb") $(basename "$rpm")"

# Makes a sandbox drive whose hosts directory has a backup and an "office" variant, and switches it to
# "office" with the velmora at $1, as a desktop shortcut does, and to an unknown variant.
switch_sandbox_drive() {
    local program=$1 drive
    drive=$(mktemp -d "$work/drive.XXXXXX")
    local etc="$drive/Windows/System32/drivers/etc"
    mkdir -p "$etc"
    printf '127.0.0.1 localhost\r\n' >"$etc/hosts"
    printf '127.0.0.1 localhost\r\n' >"$etc/hosts.Default"
    printf '10.0.0.1 intranet\n' >"$etc/hosts.office"
    env -u DISPLAY -u WAYLAND_DISPLAY VELMORA_DRIVE_C="$drive" "$program" office || fail "$program did not switch"
    [ "$(cat "$etc/hosts")" = "$(printf '10.0.0.1 intranet\n\r')" ] || fail "hosts after the switch: $(od -c "$etc/hosts")"
    local status=0
    env -u DISPLAY -u WAYLAND_DISPLAY VELMORA_DRIVE_C="$drive" "$program" nope 2>/dev/null || status=$?
    [ "$status" = 2 ] || fail "$program: an unknown variant ended with $status"
}

step "contents"
dpkg-deb -c "$deb" >"$work/contents"
libraries=./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/velmora
for path in ./usr/bin/velmora ./usr/libexec/velmora/velmora-switch $libraries/velmora-desktop.so \
            $libraries/velmora-applications.so ./usr/share/applications/velmora.desktop \
            ./usr/share/icons/hicolor/48x48/apps/velmora.png ./usr/share/metainfo/org.example.velmora.metainfo.xml \
            ./usr/share/polkit-1/actions/org.example.velmora.policy ./usr/share/man/man1/velmora.1.gz \
            ./usr/share/doc/velmora/copyright ./usr/share/doc/velmora/changelog.gz; do
    grep -q " $path\$" "$work/contents" || fail "not in the package: $path"
done
# The helper is root's and nobody else may change it; it is no set-user-id program (pkexec starts it).
grep -E '^-rwxr-xr-x root/root .* ./usr/libexec/velmora/velmora-switch$' "$work/contents" >/dev/null ||
    fail "the helper is not -rwxr-xr-x root/root: $(grep velmora-switch "$work/contents")"
if awk '{print $2}' "$work/contents" | grep -qv '^root/root$'; then fail "a file not owned by root"; fi
# Whatever the modes in the source tree, files are -rw-r--r-- and programs -rwxr-xr-x.
if awk '$1 !~ /^(d|-rw-r--r--|-rwxr-xr-x)/' "$work/contents" | grep .; then fail "a file of another mode (above)"; fi

step "dependencies"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in pkexec libc6 libstdc++6 libqt6widgets6 libglib2.0-0; do
    echo "$depends" | grep -q "\b$package\b" || fail "no dependency on $package"
done

step "policy and AppStream data"
mkdir "$work/tree"
dpkg-deb -x "$deb" "$work/tree"
policy="$work/tree/usr/share/polkit-1/actions/org.example.velmora.policy"
cat >"$work/catalog.xml" <<CATALOG
<?xml version="1.0"?>
<catalog xmlns="urn:oasis:names:tc:entity:xmlns:xml:catalog">
  <public publicId="-//freedesktop//DTD PolicyKit Policy Configuration 1.0//EN" uri="file:///usr/share/polkit-1/policyconfig-1.dtd"/>
</catalog>
CATALOG
if [ -f /usr/share/polkit-1/policyconfig-1.dtd ]; then
    XML_CATALOG_FILES="$work/catalog.xml" xmllint --nonet --noout --valid "$policy" || fail "the policy is not valid"
fi
for action in switch backup; do
    grep -q "<annotate key=\"org.freedesktop.policykit.exec.argv1\">$action</annotate>" "$policy" || fail "no $action action"
done
[ "$(grep -c '>/usr/libexec/velmora/velmora-switch</annotate>' "$policy")" = 2 ] || fail "the policy does not name the installed helper"
appstreamcli validate --no-net "$work/tree/usr/share/metainfo/org.example.velmora.metainfo.xml"
desktop-file-validate "$work/tree/usr/share/applications/velmora.desktop"

step "hardening"
# The two programs (the helper runs as root) and the two libraries as Debian's own packages are built: stack
# protector, fortified calls, PIE, read-only relocations resolved at load. Not the control-flow marks: the
# build asks for them, but Debian 12's own start files (Scrt1.o, crti.o, crtn.o) carry none, so the linker
# can give none to any program. A library's fortified calls are not required either: no copy in the two
# libraries has a size the compiler knows, so each stays the plain memcpy or memmove (hardening-check:
# "only unprotected functions found"); they are built with the same flags.
for path in usr/bin/velmora usr/libexec/velmora/velmora-switch; do
    hardening-check --nocfprotection "$work/tree/$path" || fail "hardening-check: $path"
done
for path in "$libraries/velmora-desktop.so" "$libraries/velmora-applications.so"; do
    hardening-check --nocfprotection --nofortify "$work/tree/$path" || fail "hardening-check: $path"
done

step "lintian"
lintian --display-info --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
if grep -q '^E: ' "$work/lintian"; then fail "lintian reports errors"; fi
# No hardening tag of any level, and the private libraries need no ldconfig call in the maintainer scripts.
if grep -E ': (hardening-|maintscript-calls-ldconfig)' "$work/lintian"; then fail "lintian: the tags above"; fi

step "RPM: files, dependencies"
# The same files with the same modes as the .deb, owned by root; the folders of the file system stay the
# distribution's (/usr/lib/<triplet> is none on an RPM distribution), the package's own folders are its own.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $1, $6 }' | sort >"$work/deb-files"
rpm -qplv "$rpm" | awk '$1 !~ /^d/ { print $1, $9 }' | sort >"$work/rpm-files"
diff "$work/deb-files" "$work/rpm-files" || fail "the RPM's files differ from the .deb's (above)"
if rpm -qplv "$rpm" | awk '{ print $3 "/" $4 }' | grep -qv '^root/root$'; then fail "a file in the RPM not owned by root"; fi
rpm -qpl "$rpm" | grep -E '^/usr(/bin|/lib|/libexec|/share(/[^/]+)?|/share/icons/hicolor(/[^/]+(/apps)?)?|/share/man/man1|/share/polkit-1/actions)?$' &&
    fail "the RPM owns a folder of the file system (above)"
rpm -qpR "$rpm" >"$work/rpm-requires"
for capability in /usr/bin/pkexec 'libc\.so\.6' 'libstdc\+\+\.so\.6' 'libQt6Widgets\.so\.6' 'libglib-2\.0\.so\.0'; do
    grep -Eq "^$capability(\(| |$)" "$work/rpm-requires" || fail "the RPM does not require $capability"
done
if rpm -qp --provides "$rpm" | grep -q '\.so'; then fail "the RPM provides its private libraries to others"; fi

step "rpmlint"
rpmlint -c "$(dirname "$0")/../../packaging/rpmlint.toml" "$rpm" >"$work/rpmlint" 2>&1 || true
cat "$work/rpmlint"
grep -q ' 0 errors' "$work/rpmlint" || fail "rpmlint reports errors"

if [ "$(id -u)" != 0 ]; then
    echo "SKIP install: installing the packages needs root"
    exit 0
fi

step "RPM into a scratch root"
root="$work/rpm-root"
mkdir "$root"
rpm --root "$root" --dbpath /var/lib/rpm --nodeps -i "$rpm" 2>&1 | grep -v 'use Alien instead\|know what you are doing' || true
rpm --root "$root" --dbpath /var/lib/rpm --nodeps -V velmora || fail "the installed RPM's files do not verify"
# What it installed is the .deb's tree byte for byte, but for rpm's removal of .comment from the programs.
while read -r _ path; do
    cmp -s "$work/tree$path" "$root$path" && continue
    objcopy --remove-section .comment "$work/tree$path" "$work/without-comment"
    cmp -s "$work/without-comment" "$root$path" || fail "installed from the RPM, differs from the .deb's: $path"
done <"$work/deb-files"
switch_sandbox_drive "$root/usr/bin/velmora"

step "RPM: the installed program loads its desktop library"
# With a display (offscreen) a missing hosts is said in a box, which comes from the desktop library: the
# dynamic loader's log shows it loaded from the private folder. The box waits for a click, so the program is
# ended once the log says so.
drive=$(mktemp -d "$work/drive.XXXXXX")
mkdir -p "$drive/Windows/System32/drivers/etc"
VELMORA_DRIVE_C="$drive" QT_QPA_PLATFORM=offscreen LD_DEBUG=files LD_DEBUG_OUTPUT="$work/loader" \
    "$root/usr/bin/velmora" >/dev/null 2>&1 &
program=$!
loaded="file=$root/usr/bin/../${libraries#./usr/}/velmora-desktop.so .*generating link map"
for _ in $(seq 100); do grep -qs "$loaded" "$work"/loader.* && break; sleep 0.1; done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
grep -qs "$loaded" "$work"/loader.* || fail "the desktop library was not loaded from ${libraries#.}"

if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q "install ok installed"; then
    echo "SKIP install: a velmora package is installed on this machine already and is left alone"
    exit 0
fi

step "install"
installed_here=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install"; }
[ "$(stat -c '%U:%G %a' /usr/libexec/velmora/velmora-switch)" = "root:root 755" ] || fail "installed helper owner or mode"

step "installed program on a sandbox drive"
switch_sandbox_drive /usr/bin/velmora

step "manual page"
man_text=$(MANPAGER=cat MANWIDTH=80 man velmora 2>&1)
for heading in NAME SYNOPSIS "EXIT STATUS" FILES VELMORA_DRIVE_C; do
    echo "$man_text" | grep -q "$heading" || fail "man velmora shows no $heading"
done

step "remove"
DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y velmora >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get remove"; }
installed_here=no
for path in /usr/bin/velmora /usr/libexec/velmora "${libraries#.}" /usr/share/polkit-1/actions/org.example.velmora.policy \
            /usr/share/doc/velmora /usr/share/man/man1/velmora.1.gz; do
    [ ! -e "$path" ] || fail "left after removal: $path"
done
step "done"
