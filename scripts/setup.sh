#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12. Safe to run again.
# Any user may run it once everything is there; installing what is missing needs root.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
own_sources=/etc/apt/sources.list.d/veltrane-src.sources
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  libgtest-dev libgmock-dev libbenchmark-dev libjpeg62-turbo-dev
  wine wine32:i386 wine64 fonts-wine
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
  libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386
  xvfb xdotool imagemagick fonts-wqy-microhei locales novnc x11vnc websockify
  python3 python3-pytest dpkg-dev nasm nsis
)

# deb-src entries (deb822) for the machine's own package sources: every enabled "deb" entry of the
# distribution's suites (the codename and codename-*), with its URIs, suites, components and key.
# Other repositories are left out: they need not publish sources.
derive_deb_src() {
  local codename
  codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
  awk -v codename="$codename" '
    function reset() { fields = 0; has_deb = 0; enabled = ""; uris = ""; suites = ""; comps = ""; key = ""; field = "" }
    function kept_suites(u, list,   n, parts, i, out) {
      n = split(list, parts, /[ \t]+/)
      out = ""
      for (i = 1; i <= n; i++)
        if (parts[i] != "" && (codename == "" || parts[i] == codename || index(parts[i], codename "-") == 1) &&
            !seen[u " " parts[i]]++)
          out = out (out == "" ? "" : " ") parts[i]
      return out
    }
    function emit(u, s, c, k,   kept) {
      kept = kept_suites(u, s)
      if (u == "" || kept == "")
        return
      printf "%sTypes: deb-src\nURIs: %s\nSuites: %s\n", (emitted++ ? "\n" : ""), u, kept
      if (c != "") printf "Components: %s\n", c
      if (k != "") printf "Signed-By:%s%s\n", (substr(k, 1, 1) == "\n" ? "" : " "), k
    }
    function flush() {
      if (fields && has_deb && enabled != "no")
        emit(uris, suites, comps, key)
      reset()
    }
    BEGIN { reset() }
    FNR == 1 { flush(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 {
      if ($0 ~ /^#/) next
      if ($0 ~ /^[ \t]*$/) { flush(); next }
      if ($0 ~ /^[ \t]/) { # a continued value: an embedded key keeps its lines, lists are folded
        if (field == "signed-by") key = key "\n" $0
        else if (field == "uris") uris = uris " " $1
        else if (field == "suites") suites = suites " " $1
        else if (field == "components") comps = comps " " $1
        next
      }
      colon = index($0, ":")
      if (!colon) next
      field = tolower(substr($0, 1, colon - 1))
      value = substr($0, colon + 1)
      gsub(/^[ \t]+|[ \t]+$/, "", value)
      fields++
      if (field == "types") has_deb = (" " value " ") ~ /[ \t]deb[ \t]/
      else if (field == "uris") uris = value
      else if (field == "suites") suites = value
      else if (field == "components") comps = value
      else if (field == "signed-by") key = value
      else if (field == "enabled") enabled = tolower(value)
      next
    }
    { # one-line form: deb [options] URI SUITE [COMPONENT...]
      line = $0
      sub(/#.*/, "", line)
      gsub(/^[ \t]+|[ \t]+$/, "", line)
      n = split(line, w, /[ \t]+/)
      if (n < 3 || w[1] != "deb") next
      i = 2
      signed = ""
      if (substr(w[2], 1, 1) == "[") {
        options = ""
        for (; i <= n; i++) {
          options = options " " w[i]
          if (w[i] ~ /\]$/) { i++; break }
        }
        gsub(/[][]/, " ", options)
        m = split(options, o, /[ \t]+/)
        for (j = 1; j <= m; j++)
          if (tolower(o[j]) ~ /^signed-by=/) signed = substr(o[j], 11)
      }
      components = ""
      for (j = i + 2; j <= n; j++) components = components (components == "" ? "" : " ") w[j]
      emit(w[i], w[i + 1], components, signed)
    }
    END { flush() }
  ' "$@"
}

source_files() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$own_sources" ] && echo "$f"
  done
  return 0
}

# --- what is missing (needs no privileges to find out)
missing_packages=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing_packages+=("$p")
done
has_i386=1
dpkg --print-foreign-architectures | grep -qx i386 || has_i386=0
# The cross builds take libjpeg-turbo's source from the package sources until it is unpacked.
needs_jpeg_source=0
if [ ! -f "$root/third_party/src/libjpeg-turbo/jpeglib.h" ] &&
  ! apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package: libjpeg-turbo$'; then
  needs_jpeg_source=1
fi
has_locale=1
locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$' || has_locale=0

if [ ${#missing_packages[@]} -eq 0 ] && [ "$has_i386" = 1 ] && [ "$needs_jpeg_source" = 0 ] && [ "$has_locale" = 1 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  {
    echo "setup.sh: missing, and installing needs root:"
    [ "$has_i386" = 1 ] || echo "  the i386 package architecture"
    [ ${#missing_packages[@]} -eq 0 ] || echo "  packages: ${missing_packages[*]}"
    [ "$needs_jpeg_source" = 0 ] || echo "  source package records for libjpeg-turbo (a deb-src entry)"
    [ "$has_locale" = 1 ] || echo "  the zh_CN.UTF-8 locale"
    echo "Run: sudo bash scripts/setup.sh"
  } >&2
  exit 1
fi

# --- install (root)
update=0
if [ "$has_i386" = 0 ]; then
  dpkg --add-architecture i386
  update=1
fi
if [ "$needs_jpeg_source" = 1 ]; then
  if ! apt-get indextargets --format '$(TARGET_OF)' 2>/dev/null | grep -qx deb-src; then
    mapfile -t files < <(source_files)
    entries=$(derive_deb_src "${files[@]}")
    if [ -z "$entries" ]; then
      echo "setup.sh: no package source of this distribution to take a deb-src entry from" >&2
      exit 1
    fi
    printf '%s\n' "$entries" >"$own_sources"
  fi
  update=1
fi
[ ${#missing_packages[@]} -eq 0 ] || update=1
if [ "$update" = 1 ]; then
  apt-get update -qq
fi
if [ ${#missing_packages[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

if [ "$has_locale" = 0 ]; then
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
