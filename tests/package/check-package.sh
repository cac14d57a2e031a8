#!/usr/bin/env bash
# Makes the Debian package from a finished build, unpacks it into a scratch root with
# dpkg -x and checks what a desktop would read from it: the desktop entry, the MIME
# package, the AppStream file, the icons and the manual page; then runs the unpacked
# program, which must print and must not copy its desktop files into the user's home.
# Usage: check-package.sh BUILD_DIR [VERSION]  (VERSION: the project's, by default as the
# build generated it)
set -uo pipefail
build=$(cd "$1" && pwd)
expected_version=${2:-$(sed -n 's/^#define FRETLY_VERSION "\(.*\)"$/\1/p' "$build/generated/resources/Version.h")}
fail=0
bad() { echo "FAIL: $*"; fail=1; }
for tool in cpack dpkg-deb desktop-file-validate update-mime-database appstreamcli groff man file pdfinfo; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (run scripts/install-deps)"; exit 1; }
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/fretly-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; bad "cpack"; exit 1; }
deb=$(ls "$scratch"/out/fretly_*.deb)
[[ $(basename "$deb") =~ ^fretly_${expected_version//./\\.}_[a-z0-9]+\.deb$ ]] || bad "package file name $(basename "$deb")"

# Run-time dependencies are computed from the binary, so the Qt libraries must be named.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6core6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins libfluidsynth3 \
           "timgm6mb-soundfont | fluid-soundfont-gm"; do
  [[ $depends == *"$lib"* ]] || bad "Depends lacks $lib: $depends"
done

root=$scratch/root
dpkg -x "$deb" "$root" || { bad "dpkg -x"; exit 1; }
share=$root/usr/share
for f in usr/bin/fretly usr/share/applications/fretly.desktop usr/share/applications/fretly-import.desktop \
         usr/share/applications/fretly-play.desktop \
         usr/share/mime/packages/fretly.xml \
         usr/share/metainfo/org.example.fretly.metainfo.xml usr/share/man/man1/fretly.1.gz \
         usr/share/doc/fretly/examples/blues.tab usr/share/doc/fretly/copyright usr/share/doc/fretly/changelog.gz \
         usr/share/icons/hicolor/scalable/apps/fretly.svg \
         usr/share/icons/hicolor/scalable/mimetypes/application-x-fretly-document.svg; do
  [[ -s $root/$f ]] || bad "missing $f"
done
# Each PNG must have the size of the folder it stands in.
for size in 16 32 48 64 128; do
  for icon in apps/fretly.png mimetypes/application-x-fretly-document.png; do
    f=$share/icons/hicolor/${size}x${size}/$icon
    file "$f" | grep -q "PNG image data, $size x $size," || bad "$f: $(file -b "$f")"
  done
done

out=$(desktop-file-validate "$share/applications/fretly.desktop" 2>&1) && [[ -z $out ]] || bad "desktop entry: $out"
grep -qx 'Exec=fretly /p %f' "$share/applications/fretly.desktop" || bad "no Print action"
grep -qx 'MimeType=application/x-fretly-document;' "$share/applications/fretly.desktop" || bad "no MimeType"
import=$share/applications/fretly-import.desktop
out=$(desktop-file-validate "$import" 2>&1) && [[ -z $out ]] || bad "import entry: $out"
grep -qx 'Exec=fretly --import %f' "$import" || bad "the import entry does not run --import"
grep -qx 'MimeType=text/plain;' "$import" || bad "the import entry is not offered for plain text"
grep -qx 'NoDisplay=true' "$import" || bad "the import entry shows in menus"
play=$share/applications/fretly-play.desktop
out=$(desktop-file-validate "$play" 2>&1) && [[ -z $out ]] || bad "play entry: $out"
for line in 'Exec=fretly --play %f' 'NoDisplay=true' 'Terminal=false' 'MimeType=application/x-fretly-document;' \
            'Name=Play with Fretly'; do
  grep -qx "$line" "$play" || bad "play entry lacks $line"
done
libdir=$(dirname "$(find "$root/usr/lib" -name fretly-gui.so)")
[[ -s $libdir/fretly-audio.so ]] || bad "no fretly-audio.so beside fretly-gui.so"
# FluidSynth is loaded only to play: the launcher and the core never link it.
for f in "$root/usr/bin/fretly" "$libdir/libfretly-core.so"*; do
  ! objdump -p "$f" | grep -q 'NEEDED.*fluidsynth' || bad "$(basename "$f") links FluidSynth"
done
appstreamcli validate --no-net "$share/metainfo/org.example.fretly.metainfo.xml" >"$scratch/as.log" 2>&1 \
  || { cat "$scratch/as.log"; bad "appstreamcli validate"; }

XDG_DATA_DIRS="$share" update-mime-database "$share/mime" 2>"$scratch/mime.log" || bad "update-mime-database: $(cat "$scratch/mime.log")"
[[ ! -s $scratch/mime.log ]] || bad "update-mime-database warns: $(cat "$scratch/mime.log")"
grep -q ':application/x-fretly-document:\*\.tab$' "$share/mime/globs2" || bad "no *.tab glob in globs2"
grep -q 'Fretly Document' "$share/mime/application/x-fretly-document.xml" || bad "MIME type not compiled"

warnings=$(zcat "$share/man/man1/fretly.1.gz" | LC_ALL=C.UTF-8 groff -wall -mandoc -Tutf8 -z 2>&1)
[[ -z $warnings ]] || bad "groff -wall: $warnings"
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/fretly.1.gz" 2>"$scratch/man.log")
[[ ! -s $scratch/man.log ]] || bad "man -l: $(cat "$scratch/man.log")"
for section in NAME SYNOPSIS OPTIONS "EXIT STATUS" FILES "DESKTOP INTEGRATION" "FILE FORMAT"; do
  grep -q "^$section\$" <<<"$page" || bad "manual page lacks $section"
done

version=$("$root/usr/bin/fretly" --version 2>&1)
[[ $version == "fretly $expected_version" ]] || bad "--version said: $version (expected $expected_version)"

# Installed system-wide: found on PATH, its files in an XDG_DATA_DIRS folder.
home=$scratch/home
run() {
  env -i HOME="$home" PATH="$root/usr/bin:/usr/bin:/bin" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
      XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen "$@" "$root/usr/bin/fretly" /pt \
      "$share/doc/fretly/examples/blues.tab" "$scratch/blues.pdf" >"$scratch/run.log" 2>&1
}
run XDG_DATA_DIRS="$share" || bad "printing the example failed: $(cat "$scratch/run.log")"
pdfinfo "$scratch/blues.pdf" 2>/dev/null | grep -q '^Pages: *1$' || bad "the example did not print to one page"
for f in applications/fretly.desktop mime/packages/fretly.xml icons; do
  [[ ! -e $home/data/$f ]] || bad "a system-wide install wrote $f into the home"
done
grep -q 'application/x-fretly-document=fretly.desktop;' "$home/config/mimeapps.list" 2>/dev/null \
  || bad "no default application set where nobody else handles .tab"
! grep -q 'text/plain' "$home/config/mimeapps.list" 2>/dev/null || bad "made the default for plain text"
# The same program without the system files registers itself for the user.
rm -rf "$home"
run XDG_DATA_DIRS="$scratch/empty" || bad "printing without system files failed: $(cat "$scratch/run.log")"
[[ -e $home/data/applications/fretly.desktop ]] || bad "without system files no per-user entry was written"
[[ -e $home/data/applications/fretly-import.desktop ]] || bad "without system files no per-user import entry"
! grep -q 'text/plain' "$home/config/mimeapps.list" 2>/dev/null || bad "per user, made the default for plain text"

[[ $fail -eq 0 ]] && echo "package $(basename "$deb") checked"
exit $fail
