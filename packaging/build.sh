#!/usr/bin/env bash
# Builds both Windows programs and the page, and makes the packages in build/packages:
#   QuorvelSetup-<version>.exe      the setup program (32-bit, so it runs on every Windows; it installs the 64-bit
#                                   saver on 64-bit Windows and the 32-bit one otherwise)
#   Quorvel-<version>-windows.zip   x86/Quorvel.scr, x64/Quorvel.scr and README.txt, to install by right-clicking
#   amd64/QuorvelSetup-<version>.exe   the same setup program built as a 64-bit program, only for testing under a
#                                   Wine that cannot run 32-bit programs; not for shipping
#   Quorvel-<version>-web.zip       the page (the web preset's build/web): index.html, page.js, quorvel.js,
#                                   quorvel.wasm, the icon and README.txt at the top, for any static host
# The version comes from the project() line of CMakeLists.txt. Prints the packages and their sizes.
set -euo pipefail
export LC_ALL=C  # the listing at the end sorts and reads the same in any caller's locale
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD out=$PWD/build/packages

for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target Quorvel
done
cmake --preset web >/dev/null
cmake --build --preset web
version=$(sed -n 's/^!define QUORVEL_VERSION "\(.*\)"$/\1/p' build/win32/quorvel_version.nsh)
[[ -n $version ]] || { echo "no version in build/win32/quorvel_version.nsh" >&2; exit 1; }

rm -rf "$out" && mkdir -p "$out/amd64" "$out/zip/x86" "$out/zip/x64"
nsis() {
  makensis -V2 -INPUTCHARSET UTF8 -DVERSION_NSH="$root/build/win32/quorvel_version.nsh" -DSOURCE="$root" \
    -DBUILD32="$root/build/win32" -DBUILD64="$root/build/win64" "$@" packaging/quorvel.nsi
}
nsis -DOUTDIR="$out"
nsis -DOUTDIR="$out/amd64" -DTARGET=amd64-unicode

cp build/win32/Quorvel.scr "$out/zip/x86/" && cp build/win64/Quorvel.scr "$out/zip/x64/"
cp assets/README.txt "$out/zip/"
# Named files only, so the zip holds no folder entries; a fixed time makes the same build give the same zip.
(cd "$out/zip" && cmake -E tar cf "$out/Quorvel-$version-windows.zip" --format=zip --mtime=2026-01-01 \
  x86/Quorvel.scr x64/Quorvel.scr README.txt)
rm -rf "$out/zip"
(cd build/web && cmake -E tar cf "$out/Quorvel-$version-web.zip" --format=zip --mtime=2026-01-01 \
  index.html page.js quorvel.js quorvel.wasm quorvel.ico README.txt)

echo "packages in $out:"
(cd "$out" && find . -type f -printf '%P\t%s bytes\n' | sort)
