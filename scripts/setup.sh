#!/usr/bin/env bash
# Installs what building and testing Quorvel needs on Debian 12, skipping what is already there.
# Run as root or as a user with sudo. Safe to run again: it changes nothing when all is in place.
set -euo pipefail
export LC_ALL=C  # dpkg's and locale's answers are read as their C locale prints them

packages=(
  cmake g++ pkg-config googletest libgtest-dev libbenchmark-dev liballegro4-dev
  clang libfuzzer-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine32:i386 wine64
  xvfb xserver-xephyr xdotool imagemagick fonts-ipafont-gothic locales
  nsis
  libx11-dev libxext-dev libxrandr-dev libxinerama-dev dpkg-dev rpm libxml2-utils x11-utils desktop-file-utils
  emscripten chromium python3
)
# The xscreensaver and MATE screen-saver daemons alone, without the collections of savers and the desktop they
# recommend.
lean_packages=(xscreensaver mate-screensaver dbus dbus-x11)

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  as_root=()
fi

need_root() {
  if [[ $(id -u) -ne 0 && ${#as_root[@]} -eq 0 ]]; then
    echo "setup: missing pieces need root; run as root or install sudo" >&2
    exit 1
  fi
}

installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
}

# Node.js and npm drive the browser tests. A machine may already have a Node.js of its own whose package
# conflicts with Debian's npm; only where neither is there do Debian's come in.
command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

lean_missing=()
for p in "${lean_packages[@]}"; do
  installed "$p" || lean_missing+=("$p")
done

if ((${#missing[@]} + ${#lean_missing[@]})); then
  need_root
  echo "setup: installing ${missing[*]} ${lean_missing[*]}"
  # wine32 is an i386 package: the 32-bit program and its helpers run in 32-bit Wine.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
  fi
  "${as_root[@]}" apt-get update
  ((${#missing[@]} == 0)) || "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
  ((${#lean_missing[@]} == 0)) ||
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${lean_missing[@]}"
fi

# Wine takes its ANSI code page from the Unix locale; without a generated ja_JP.UTF-8 it stays on 1252.
if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
  need_root
  echo "setup: generating the ja_JP.UTF-8 locale"
  "${as_root[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
  "${as_root[@]}" locale-gen
fi

# The page's tests drive Debian's Chromium through puppeteer-core, pinned by tests/web/package-lock.json; npm ci
# installs exactly that and downloads no browser. npm comes with Debian's nodejs as a package of its own, and
# inside a nodejs from elsewhere (NodeSource's conflicts with Debian's npm), so it is looked for as a command.
if ! command -v npm >/dev/null 2>&1; then
  need_root
  echo "setup: installing npm"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y npm
fi
web_tests=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/web" && pwd)
if ! cmp -s "$web_tests/package-lock.json" "$web_tests/node_modules/.quorvel-installed"; then
  echo "setup: installing the page tests' packages (npm ci in tests/web)"
  (cd "$web_tests" && npm ci --ignore-scripts --no-audit --no-fund)
  cp "$web_tests/package-lock.json" "$web_tests/node_modules/.quorvel-installed"
fi

echo "setup: all build and test prerequisites are installed"
