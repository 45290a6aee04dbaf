#!/usr/bin/env bash
# Installs what is needed, builds what is missing and runs Veltrane Shadow under Wine with the
# simulated driver library, in a 1024x768 Wine virtual desktop.
#
# With DISPLAY set the desktop opens there. Without one, a private X server is started and
# served to a browser through noVNC on http://localhost:6080 (VELTRANE_NOVNC_PORT changes it), to
# this machine only: whoever reaches that page works the Wine desktop, whose Start menu runs any
# program with the rights of the user who started this script.
# VELTRANE_NOVNC_ADDRESS=0.0.0.0 (or another address of this machine) serves it to other machines
# too, and then only with a VNC password: VELTRANE_VNC_PASSWORD (at most 8 characters count), or one
# made up and printed here.
# The library keeps its demo state in ZELK.ini beside itself. Runs until the program ends or Ctrl+C.
# E2E_ARCH=win32|win64 forces the architecture; VELTRANE_WINE_PREFIX moves the Wine prefix.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

novnc_port=${VELTRANE_NOVNC_PORT:-6080}
novnc_address=${VELTRANE_NOVNC_ADDRESS:-127.0.0.1}
started_pids=()
private_dir=
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
  if [ -n "$private_dir" ]; then
    rm -rf "$private_dir"
  fi
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

loopback() { case "$1" in 127.* | localhost | ::1 | "[::1]") return 0 ;; *) return 1 ;; esac; }

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
  # x11vnc itself listens on the loopback address only; websockify is what others may reach.
  local access=(-nopw)
  if ! loopback "$novnc_address"; then
    local password=${VELTRANE_VNC_PASSWORD:-}
    if [ -z "$password" ]; then
      password=$(head -c 6 /dev/urandom | base64 | tr '+/' 'xy')
      say "VNC password: $password"
    fi
    private_dir=$(mktemp -d)
    (umask 077 && printf '%s\n' "$password" >"$private_dir/vnc-password")
    access=(-passwdfile "$private_dir/vnc-password")
  fi
  x11vnc -display "$DISPLAY" -rfbport "$vnc_port" -localhost -forever -shared "${access[@]}" -quiet \
    >/dev/null 2>&1 &
  started_pids+=($!)
  websockify --web /usr/share/novnc "$novnc_address:$novnc_port" "localhost:$vnc_port" >/dev/null 2>&1 &
  started_pids+=($!)
  if loopback "$novnc_address"; then
    say "no DISPLAY: the program's screen is served to this machine only at http://localhost:$novnc_port/vnc.html?autoconnect=1"
  else
    say "no DISPLAY: the program's screen is served to other machines at http://<this machine>:$novnc_port/vnc.html (listening on $novnc_address), with the VNC password"
  fi
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
