#!/usr/bin/env bash
# Installs what is missing, builds natively and for Windows, runs the unit tests and the
# end-to-end tests under Wine. Exits non-zero when any test fails.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh || exit 1
# shellcheck source=wine-env.sh
. scripts/wine-env.sh
# shellcheck source=small-drive.sh
. scripts/small-drive.sh
trap 'wine_down; small_drive_down' EXIT

status=0
{ cmake --preset native >/dev/null && cmake --build --preset native; } || exit 1
ctest --preset native || status=1

{ cmake --preset windows >/dev/null && cmake --build --preset windows; } || exit 1
wine_up
small_drive_up
LC_ALL=$NOMERRA_LOCALE ctest --preset windows || status=1

for name in main-window main-window-undo about-window lbpath-long main-window-144dpi about-window-144dpi names-beyond-code-page; do
  shot=build/windows/tests/e2e/$name.bmp
  if [ -f "$shot" ]; then
    convert "$shot" "build/$name.png" && echo "Screenshot: build/$name.png"
  fi
done
exit $status
