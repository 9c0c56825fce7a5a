#!/usr/bin/env bash
# Builds nomerra.exe and starts it under Wine. On a machine without a display it starts a
# virtual one, saves a screenshot of the main window and closes the program again.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target nomerra
# shellcheck source=wine-env.sh
. scripts/wine-env.sh
trap wine_down EXIT

# The program keeps its lists beside itself: give it a folder of its own.
mkdir -p build/run
cp build/windows/nomerra.exe build/run/

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
  wine_up
  LC_ALL=$NOMERRA_LOCALE "$WINE_LOADER" build/run/nomerra.exe
else
  wine_up --virtual
  LC_ALL=$NOMERRA_LOCALE "$WINE_LOADER" build/run/nomerra.exe &
  sleep 6
  import -window root build/nomerra-screenshot.png
  echo "nomerra.exe ran on a virtual display; screenshot: build/nomerra-screenshot.png"
fi
