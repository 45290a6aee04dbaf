#!/usr/bin/env bash
# Installs what is needed, builds what is missing and runs Veltrane Shadow under Wine with the
# simulated driver library, in a 1024x768 Wine virtual desktop.
#
# With DISPLAY set the desktop opens there. Without one, a private X server is started and
# served to a browser through noVNC on http://localhost:6080 (VELTRANE_NOVNC_PORT changes it).
# The library keeps its demo state in ZELK.ini beside itself. Runs until the program ends or Ctrl+C.
# E2E_ARCH=win32|win64 forces the architecture; VELTRANE_WINE_PREFIX moves the Wine prefix.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

novnc_port=${VELTRANE_NOVNC_PORT:-6080}
started_pids=()
program_pid=

say() { echo "run: $*" >&2; }

cleanup() {
  trap - EXIT INT TERM
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill "$program_pid" 2>/dev/null || true
  fi
  if [ -n "${prefix:-}" ]; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  fi
  local pid
  for pid in "${started_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'say "stopping"; exit 130' INT TERM

build_if_missing() {
  local arch=$1 dist="$root/dist/$1"
  if [ -f "$dist/VeltraneShadow.exe" ] && [ -f "$dist/ZELK.dll" ]; then
    return 0
  fi
  say "building the $arch program"
  (cd "$root" && cmake --preset "$arch" >/dev/null && cmake --build --preset "$arch")
}

port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

display_works() { [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; }

# A private X server shown in the browser: Xvfb -> x11vnc -> websockify with the noVNC pages.
start_private_display() {
  local number=21
  while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do
    number=$((number + 1))
  done
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  started_pids+=($!)
  export DISPLAY=":$number"
  local tries=0
  until display_works; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { say "Xvfb did not start"; exit 1; }
    sleep 0.1
  done
  local vnc_port=5900
  until port_free "$vnc_port"; do vnc_port=$((vnc_port + 1)); done
  port_free "$novnc_port" || { say "port $novnc_port is in use; set VELTRANE_NOVNC_PORT"; exit 1; }
  x11vnc -display "$DISPLAY" -rfbport "$vnc_port" -localhost -forever -shared -nopw -quiet >/dev/null 2>&1 &
  started_pids+=($!)
  websockify --web /usr/share/novnc "$novnc_port" "localhost:$vnc_port" >/dev/null 2>&1 &
  started_pids+=($!)
  say "no DISPLAY: the program's screen is served at http://localhost:$novnc_port/vnc.html?autoconnect=1"
}

bash "$root/scripts/setup.sh"
veltrane_pick_arch
arch=$VELTRANE_ARCH
say "using $arch: $VELTRANE_ARCH_REASON"
build_if_missing "$arch"

if display_works; then
  say "using DISPLAY=$DISPLAY"
else
  start_private_display
fi

prefix=${VELTRANE_WINE_PREFIX:-$HOME/.local/share/veltrane-wine-$arch}
veltrane_make_prefix "$prefix" "$arch"

unset ZELK_SIM_STATE
cd "$root/dist/$arch"
say "starting VeltraneShadow.exe (tray icon at the bottom right of the Wine desktop); Ctrl+C ends it"
veltrane_wine "$arch" "$prefix" ./VeltraneShadow.exe &
program_pid=$!
set +e
wait "$program_pid"
status=$?
set -e
program_pid=
say "the program ended with exit code $status"
exit "$status"
