#!/usr/bin/env bash
# Installs what is missing, builds the program, installs it into the per-user program folder
# and starts it there. The databases live beside the installed program, outside the build tree,
# so a rebuild or a clean never touches them.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
zelvanor_install_deps
BUILD_DIR=${BUILD_DIR:-build-release}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DZELVANOR_BUILD_TESTS=OFF -DZELVANOR_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" --target zelvanor zelvanor-cli
APP_DIR="${XDG_DATA_HOME:-$HOME/.local/share}/zelvanor"
mkdir -p "$APP_DIR"
install -m 755 "$BUILD_DIR/src/gui/zelvanor" "$BUILD_DIR/src/cli/zelvanor-cli" "$APP_DIR/"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found (DISPLAY is not set). Installed to $APP_DIR; start $APP_DIR/zelvanor from a desktop session." >&2
  exit 1
fi
exec "$APP_DIR/zelvanor" "$@"
