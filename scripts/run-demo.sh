#!/usr/bin/env bash
# Sets up the machine, builds the dashboard host and the plug-in, and starts the
# dashboard with its demo. Without a display it runs under a virtual one for a
# while and writes a screenshot (dashboard.png) instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=${LSA_DEMO_BUILD_DIR:-build-demo}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLSA_BUILD_TESTS=OFF
cmake --build "$build" -j "$(nproc)" --target LinkageDashboard

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 0700 "$XDG_RUNTIME_DIR"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/LinkageDashboard" "$@"
fi
echo "run-demo: no display; running under Xvfb and writing dashboard.png, dashboard-search.png, dashboard-ptz.png"
# Screenshots read the widgets, so the video is painted by Qt rather than drawn by X.
export LSA_VIDEO_SINK=appsink
# Two demo cameras live, their title bars showing the stream lines.
demo_cameras="{7C3B9D21-4F7A-4E55-8A01-000000000103},{7C3B9D21-4F7A-4E55-8A01-000000000104}"
xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 8 --show-tree --play "$demo_cameras" \
  --screenshot "$PWD/dashboard.png" "$@"
# The PTZ panel of the first window, its camera turned right and zoomed in.
xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 7 --play "$demo_cameras" --demo-ptz 3 \
  --screenshot "$PWD/dashboard-ptz.png" "$@"
# The camera panel searched: the matching names coloured.
exec xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 4 --search "entrance" --screenshot "$PWD/dashboard-search.png" "$@"
