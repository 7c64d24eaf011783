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

# --analytics: the street footage of Debian's OpenCV examples, with person and
# face detection raising the alarms (no simulator); a fresh data folder, so the
# three live windows take the street cameras.
if [ "${1:-}" = "--analytics" ]; then
  shift
  analytics_data=$(mktemp -d)
  analytics_args=(--site "$PWD/dashboard/demo/analytics-site.json" --no-sim
    --live "{5E7A0C11-2B3D-4F60-9A10-00000000A101},{5E7A0C11-2B3D-4F60-9A10-00000000A102},{5E7A0C11-2B3D-4F60-9A10-00000000A103}")
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    XDG_DATA_HOME=$analytics_data "$build/bin/LinkageDashboard" "${analytics_args[@]}" "$@"
  else
    echo "run-demo: no display; running the analytics demo under Xvfb and writing dashboard-analytics.png"
    XDG_DATA_HOME=$analytics_data xvfb-run -a -s "-screen 0 1920x1080x24" \
      "$build/bin/LinkageDashboard" --quit-after "${LSA_ANALYTICS_SECONDS:-20}" \
      --screenshot "$PWD/dashboard-analytics.png" "${analytics_args[@]}" "$@"
  fi
  rm -rf "$analytics_data"
  exit 0
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/LinkageDashboard" "$@"
fi
echo "run-demo: no display; running under Xvfb and writing dashboard.png, dashboard-ptz.png, dashboard-playback.png, dashboard-keys.png, dashboard-history.png, dashboard-search.png, dashboard-detail.png, dashboard-export.png"
xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 8 --show-tree --screenshot "$PWD/dashboard.png" "$@"
# The PTZ panel open on a demo PTZ camera, turned right and zoomed in; a fresh
# data folder, so the live windows take the cameras given here.
ptz_data=$(mktemp -d)
XDG_DATA_HOME=$ptz_data xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 7 --demo-ptz 3 \
  --live "{7C3B9D21-4F7A-4E55-8A01-000000000103},{7C3B9D21-4F7A-4E55-8A01-000000000104}" \
  --screenshot "$PWD/dashboard-ptz.png" "$@"
rm -rf "$ptz_data"
# The newest card's details: its face and body, and the scene with its rectangle.
xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 7 --demo-detail 5 --screenshot "$PWD/dashboard-detail.png" "$@"
# The keyboard on the newest snapshot card, its focus mark showing.
keys_data=$(mktemp -d)
XDG_DATA_HOME=$keys_data xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 8 --demo-keys 6 --screenshot "$PWD/dashboard-keys.png" "$@"
rm -rf "$keys_data"
# Instant playback: the first window plays its last seconds again, with the
# playback bar over the picture, while live video goes on being buffered.
playback_data=$(mktemp -d)
XDG_DATA_HOME=$playback_data xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 9 --demo-playback 6 --screenshot "$PWD/dashboard-playback.png" "$@"
rm -rf "$playback_data"
# The alarm history opened from the settings, listing the linkages of this run
# and the runs before (the default data folder keeps them).
xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 12 --sim-rate 2 --show-history 9 \
  --screenshot "$PWD/dashboard-history.png" "$@"
# An incident export from the newest card's menu: the dialog with the export
# done (it waits for the 10 s after the alarm); the export's folder is printed
# and checked against its manifest.
export_data=$(mktemp -d)
export_folder=$(XDG_DATA_HOME=$export_data xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 20 --demo-export 6 --screenshot "$PWD/dashboard-export.png" "$@" | tail -n 1)
echo "run-demo: incident exported to $export_folder"
"$build/bin/LinkageDashboard" --verify-export "$export_folder" || true
rm -rf "$export_data"
# The camera panel searched: the matching names coloured.
exec xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$build/bin/LinkageDashboard" --quit-after 4 --search "entrance" --screenshot "$PWD/dashboard-search.png" "$@"
