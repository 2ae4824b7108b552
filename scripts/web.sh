#!/usr/bin/env bash
# Installs what is missing, builds the page (the web preset: Debian's Emscripten, into build/web) and serves
# build/web with Python's static server on http://127.0.0.1:8080/ (QUORVEL_WEB_PORT for another port) until
# Ctrl+C. Open the address it prints in a browser; the page takes ?size=, ?length= and ?speed= as the sliders do.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/setup.sh
cmake --preset web >/dev/null
cmake --build --preset web
port=${QUORVEL_WEB_PORT:-8080}
echo "Quorvel in the browser: http://127.0.0.1:$port/ (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web
