#!/usr/bin/env bash
# Checks the X11 program's packages, made by cpack in build/native: the .deb and the .rpm each hold the program,
# its settings description for xscreensaver and its desktop entry for MATE at their paths; the desktop entry
# passes desktop-file-validate; the packages name the X libraries they need and carry a long description of
# several lines. Prints one PASS or FAIL line per package; the exit status is 0 only if both passed.
set -uo pipefail
export LC_ALL=C
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
version=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/native/packages/quorvel_${version}_amd64.deb
rpm=build/native/packages/quorvel-${version}-1.x86_64.rpm
paths=(/usr/libexec/xscreensaver/quorvel /usr/share/xscreensaver/config/quorvel.xml
  /usr/share/applications/screensavers/quorvel.desktop)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

rm -f "$deb" "$rpm"
(cd build/native && cpack >"$scratch/cpack.log" 2>&1) || { echo "FAIL: cpack failed: $(tail -3 "$scratch/cpack.log")"; exit 1; }
xmllint --noout apps/x11/quorvel.xml || { echo "FAIL: quorvel.xml is not well-formed"; exit 1; }

# holds LISTING: every path above is in the listing (one path a line).
holds() {
  local path
  for path in "${paths[@]}"; do grep -qx "$path" "$1" || { echo "lacks $path"; return 1; }; done
}

check_deb() {
  local why depends lines
  [[ -f $deb ]] || { echo "FAIL: cpack made no $deb"; return 1; }
  dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' >"$scratch/deb.list"
  why=$(holds "$scratch/deb.list") || { echo "FAIL: $deb $why"; return 1; }
  mkdir "$scratch/deb" && dpkg-deb -x "$deb" "$scratch/deb"
  desktop-file-validate "$scratch/deb${paths[2]}" >"$scratch/validate" 2>&1 ||
    { echo "FAIL: the .deb's desktop entry: $(cat "$scratch/validate")"; return 1; }
  depends=$(dpkg-deb -f "$deb" Depends)
  grep -q 'libx11-6' <<<"$depends" && grep -q 'libxext6' <<<"$depends" && grep -q 'libxrandr2' <<<"$depends" ||
    { echo "FAIL: $deb depends on $depends"; return 1; }
  lines=$(dpkg-deb -f "$deb" Description | wc -l)
  ((lines > 3)) || { echo "FAIL: $deb has a description of $lines lines"; return 1; }
  echo "PASS: $deb holds the program, quorvel.xml and a valid desktop entry; depends on $depends"
}

check_rpm() {
  local why requires lines
  [[ -f $rpm ]] || { echo "FAIL: cpack made no $rpm"; return 1; }
  rpm -qpl "$rpm" >"$scratch/rpm.list" 2>/dev/null
  why=$(holds "$scratch/rpm.list") || { echo "FAIL: $rpm $why"; return 1; }
  requires=$(rpm -qp --requires "$rpm" 2>/dev/null)
  for lib in libX11 libXext libXrandr; do
    grep -q "^$lib" <<<"$requires" || { echo "FAIL: $rpm does not require $lib"; return 1; }
  done
  rpm -qp --recommends "$rpm" 2>/dev/null | grep -qx xscreensaver || { echo "FAIL: $rpm does not recommend xscreensaver"; return 1; }
  lines=$(rpm -qp --queryformat '%{DESCRIPTION}' "$rpm" 2>/dev/null | wc -l)
  ((lines > 3)) || { echo "FAIL: $rpm has a description of $lines lines"; return 1; }
  echo "PASS: $rpm holds the program, quorvel.xml and the desktop entry; requires $(grep -c . <<<"$requires") capabilities, the X libraries among them; recommends xscreensaver"
}

status=0
check_deb || status=1
check_rpm || status=1
exit "$status"
