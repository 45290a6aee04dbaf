#!/usr/bin/env bash
# Wine settings shared by scripts/run.sh and the end-to-end tests.
#
#   scripts/wine-env.sh arch              prints win32 or win64; the reason goes to stderr
#   scripts/wine-env.sh prefix DIR ARCH   makes DIR a ready prefix (needs DISPLAY); reuses it when
#                                         it was made by the same Wine for the same ARCH
#   scripts/wine-env.sh loader ARCH       prints the Wine loader for ARCH
#
# Sourcing the file gives the same as functions: veltrane_pick_arch, veltrane_make_prefix, ...
# E2E_ARCH=win32|win64 forces the architecture.

veltrane_wine32=/usr/lib/wine/wine
veltrane_wine64=/usr/lib/wine/wine64
veltrane_stamp_name=.veltrane-prefix

# Common settings for every Wine process; LANG is set per command, not here, so that Linux tools keep
# their own language.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

veltrane_loader() {
  case "$1" in
    win32) echo "$veltrane_wine32" ;;
    win64) echo "$veltrane_wine64" ;;
    *) echo "wine-env: unknown architecture '$1' (win32 or win64)" >&2; return 2 ;;
  esac
}

# Sets VELTRANE_ARCH and VELTRANE_ARCH_REASON. 32-bit Wine is preferred (the product is 32-bit) but
# only counts when its loader really starts: some kernels cannot execute 32-bit binaries at all.
veltrane_pick_arch() {
  if [ -n "${E2E_ARCH:-}" ]; then
    case "$E2E_ARCH" in
      win32|win64) VELTRANE_ARCH=$E2E_ARCH; VELTRANE_ARCH_REASON="forced by E2E_ARCH=$E2E_ARCH" ;;
      *) echo "wine-env: E2E_ARCH must be win32 or win64, not '$E2E_ARCH'" >&2; return 2 ;;
    esac
    return 0
  fi
  local out
  if out=$("$veltrane_wine32" --version 2>&1); then
    VELTRANE_ARCH=win32
    VELTRANE_ARCH_REASON="32-bit Wine runs ($out)"
  else
    VELTRANE_ARCH=win64
    VELTRANE_ARCH_REASON="32-bit Wine cannot run here ($(echo "$out" | tail -n1 | sed 's/^.*: //')); using 64-bit Wine"
  fi
}

veltrane_wine_version() {
  "$(veltrane_loader "$1")" --version 2>/dev/null
}

# Runs a Wine command in the prefix with the Chinese locale, or the one VELTRANE_WINE_LANG names (only
# Wine processes get it).
veltrane_wine() {
  local arch=$1 prefix=$2
  shift 2
  WINEPREFIX="$prefix" WINEARCH="$arch" LANG="${VELTRANE_WINE_LANG:-zh_CN.UTF-8}" "$(veltrane_loader "$arch")" "$@"
}

veltrane_prefix_ready() {
  local prefix=$1 arch=$2
  [ -f "$prefix/$veltrane_stamp_name" ] &&
    [ "$(cat "$prefix/$veltrane_stamp_name")" = "$(veltrane_wine_version "$arch") $arch" ]
}

# Creates the prefix once: fonts Wine's Debian build does not find by itself, Chinese font links for
# the fonts our controls use, and a 1024x768 virtual desktop as the default desktop so that every
# program of the prefix (the product and the probe alike) shares one desktop with a taskbar.
veltrane_make_prefix() {
  local prefix=$1 arch=$2
  veltrane_loader "$arch" >/dev/null || return 2
  if veltrane_prefix_ready "$prefix" "$arch"; then
    return 0
  fi
  if [ -e "$prefix" ]; then
    if [ -n "$(ls -A "$prefix" 2>/dev/null)" ] && [ ! -d "$prefix/drive_c" ]; then
      echo "wine-env: $prefix exists and is not a Wine prefix; not touching it" >&2
      return 1
    fi
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
  fi
  if [ -z "${DISPLAY:-}" ]; then
    echo "wine-env: DISPLAY is not set; start an X server first" >&2
    return 1
  fi
  mkdir -p "$prefix"
  echo "wine-env: creating $arch prefix in $prefix" >&2
  veltrane_wine "$arch" "$prefix" wineboot -i >/dev/null 2>&1 || { echo "wine-env: wineboot failed" >&2; return 1; }
  WINEPREFIX="$prefix" wineserver -w
  cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
  local font
  for font in "MS Sans Serif" "Tahoma" "Microsoft Sans Serif"; do
    veltrane_wine "$arch" "$prefix" reg add \
      'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$font" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  done
  veltrane_wine "$arch" "$prefix" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  veltrane_wine "$arch" "$prefix" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
    >/dev/null 2>&1
  # Font links are read when the server starts.
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -w
  echo "$(veltrane_wine_version "$arch") $arch" >"$prefix/$veltrane_stamp_name"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  case "${1:-}" in
    arch)
      veltrane_pick_arch
      echo "wine-env: using $VELTRANE_ARCH: $VELTRANE_ARCH_REASON" >&2
      echo "$VELTRANE_ARCH"
      ;;
    prefix)
      [ $# -eq 3 ] || { echo "usage: $0 prefix DIR ARCH" >&2; exit 2; }
      veltrane_make_prefix "$2" "$3"
      ;;
    loader)
      [ $# -eq 2 ] || { echo "usage: $0 loader ARCH" >&2; exit 2; }
      veltrane_loader "$2"
      ;;
    *)
      echo "usage: $0 arch | prefix DIR ARCH | loader ARCH" >&2
      exit 2
      ;;
  esac
fi
