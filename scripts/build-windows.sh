#!/usr/bin/env bash
# Builds trelok for 64-bit Windows on Debian 12, as root:
#   scripts/build-windows.sh
# writes build-windows/trelok-VERSION-setup.exe and build-windows/trelok-VERSION-windows.zip.
#
# Everything comes from Debian: the MinGW-w64 cross compiler, and the sources
# of Qt (qt6-base), SQLite (sqlite3) and PostgreSQL's client library
# (postgresql-15) as Debian source packages. The libraries built for Windows
# are kept in a cache outside the tree, TRELOK_WINDOWS_CACHE (default
# /var/cache/trelok-windows), and reused by later runs: the first run builds
# Qt's modules and takes long on two cores, a later one builds only trelok.
#
# Stages, each skipped when its result is in the cache:
#   packages, sources, sqlite, libpq, qt, host (the Debian build, which draws
#   the pictures), trelok, installer.
# TRELOK_WINDOWS_STAGES limits a run to some of them (e.g. "qt").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
here="$root/scripts/windows"
cache=${TRELOK_WINDOWS_CACHE:-/var/cache/trelok-windows}
jobs=${TRELOK_WINDOWS_JOBS:-$(nproc)}
stages=${TRELOK_WINDOWS_STAGES:-"packages sources sqlite libpq qt host trelok installer"}
out="$root/build-windows"
host_build="$root/build"

# Each prefix holds one library built for Windows.
sqlite_prefix="$cache/sqlite"
pq_prefix="$cache/libpq"
qt_prefix="$cache/qt6"
mingw=x86_64-w64-mingw32

say() { printf '== %s\n' "$*" >&2; }
wants() { [[ " $stages " == *" $1 "* ]]; }
# A stage's stamp names what it was built from, so a change rebuilds it.
stamp_ok() { [ -f "$cache/stamps/$1" ] && [ "$(cat "$cache/stamps/$1")" = "$2" ]; }
stamp_set() { mkdir -p "$cache/stamps"; printf '%s' "$2" >"$cache/stamps/$1"; }

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

stage_packages() {
  local packages=(
    build-essential cmake ninja-build dpkg-dev xz-utils zip unzip tcl
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
    qt6-base-dev qt6-base-dev-tools
    nsis wine64
  ) missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  # Debian's source packages: a deb-src stanza beside the system's own.
  local list=/etc/apt/sources.list.d/trelok-deb-src.sources
  if [ ! -f "$list" ] && ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d; then
    say "adding Debian's source packages to apt ($list)"
    as_root tee "$list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    missing+=(__update__)
  fi
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]/__update__/}"
  as_root apt-get update -qq
  local real=("${missing[@]/__update__/}")
  local pkgs=()
  for p in "${real[@]}"; do [ -n "$p" ] && pkgs+=("$p"); done
  [ ${#pkgs[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${pkgs[@]}"
}

# Unpacks Debian's source package $1 (with Debian's patches) into
# $cache/src/$1 and prints that folder.
source_of() {
  local pkg=$1 dir="$cache/src/$1"
  if [ ! -f "$dir/.unpacked" ]; then
    say "fetching the source package $pkg"
    rm -rf "$dir"; mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq "$pkg" >/dev/null 2>&1 || apt-get source "$pkg")
    touch "$dir/.unpacked"
  fi
  find "$dir" -mindepth 1 -maxdepth 1 -type d | head -1
}

stage_sources() {
  source_of qt6-base >/dev/null
  source_of sqlite3 >/dev/null
  source_of postgresql-15 >/dev/null
}

# SQLite as one DLL shared by Qt's driver and the program's own calls, made
# from the source package's amalgamation with Debian's compile options.
sqlite_flags=(-O2 -fno-strict-aliasing -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA
  -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_RTREE=1
  -DSQLITE_SOUNDEX=1 -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_OMIT_LOOKASIDE=1
  -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_ENABLE_JSON1 -DSQLITE_LIKE_DOESNT_MATCH_BLOBS
  -DSQLITE_THREADSAFE=1 -DSQLITE_USE_URI=1 -DSQLITE_MAX_SCHEMA_RETRY=25
  -DSQLITE_MAX_VARIABLE_NUMBER=250000 -DSQLITE_MAX_DEFAULT_PAGE_SIZE=32768)
stage_sqlite() {
  local src; src=$(source_of sqlite3)
  local key; key="$(basename "$src") ${sqlite_flags[*]}"
  stamp_ok sqlite "$key" && return 0
  say "building SQLite for Windows ($(basename "$src"))"
  local work="$cache/build/sqlite"
  rm -rf "$work" "$sqlite_prefix"; mkdir -p "$work" "$sqlite_prefix"/{bin,lib,include}
  # The amalgamation is generated on this machine (tclsh), then compiled for Windows.
  (cd "$work" && "$src/configure" --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
  $mingw-gcc-posix "${sqlite_flags[@]}" -shared "$work/sqlite3.c" -o "$sqlite_prefix/bin/libsqlite3-0.dll" \
    -Wl,--out-implib,"$sqlite_prefix/lib/libsqlite3.dll.a"
  cp "$work/sqlite3.h" "$src/src/sqlite3ext.h" "$sqlite_prefix/include/" 2>/dev/null ||
    cp "$work/sqlite3.h" "$sqlite_prefix/include/"
  stamp_set sqlite "$key"
}

# PostgreSQL's client library (libpq) alone, without TLS: the office's server
# is reached on the office's network as on Debian.
stage_libpq() {
  local src; src=$(source_of postgresql-15)
  local key; key="$(basename "$src") notls"
  stamp_ok libpq "$key" && return 0
  say "building PostgreSQL's client library for Windows ($(basename "$src"))"
  local work="$cache/build/libpq"
  rm -rf "$work" "$pq_prefix"; mkdir -p "$work" "$pq_prefix"/{bin,lib,include}
  (cd "$work" && "$src/configure" --host=$mingw CC=$mingw-gcc-posix --prefix="$pq_prefix" \
     --without-readline --without-zlib --without-icu --without-openssl --without-gssapi \
     --without-ldap --without-lz4 --without-zstd >configure.log 2>&1 ||
     { tail -30 configure.log; exit 1; })
  make -s -C "$work/src/interfaces/libpq" -j"$jobs" >/dev/null
  make -s -C "$work/src/interfaces/libpq" install >/dev/null
  make -s -C "$work/src/include" install >/dev/null
  stamp_set libpq "$key"
}

# Qt's modules that trelok uses: Core, Gui, Widgets, PrintSupport, Sql with
# the SQLite and PostgreSQL drivers, Test for the suites; the Windows,
# offscreen and minimal platforms and the Windows print support. The host
# tools (moc, rcc, uic) are Debian's own of the same version.
qt_options=(
  -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DFEATURE_dbus=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_network=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_sql_odbc=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF
  -DFEATURE_sql_db2=OFF -DFEATURE_sql_psql=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
)
stage_qt() {
  local src; src=$(source_of qt6-base)
  local patches=("$here"/qt-*.patch) p
  local key; key="$(basename "$src") ${qt_options[*]} $(cat "${patches[@]}" | sha256sum | cut -c1-16)"
  stamp_ok qt "$key" && return 0
  say "building Qt for Windows ($(basename "$src")); this takes long the first time"
  # Qt's own faults in this configuration, mended (each patch says which).
  for p in "${patches[@]}"; do
    patch -d "$src" -p1 -N -s --dry-run <"$p" >/dev/null 2>&1 && patch -d "$src" -p1 -N -s <"$p"
  done
  local work="$cache/build/qt"
  mkdir -p "$work"
  cmake -S "$src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/toolchain-mingw64.cmake" \
    "-DTRELOK_WINDOWS_PREFIXES=$sqlite_prefix;$pq_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" "${qt_options[@]}" >"$work/configure.log" 2>&1 ||
    { tail -40 "$work/configure.log"; exit 1; }
  grep -q '^QT_FEATURE_system_sqlite:INTERNAL=ON' "$work/CMakeCache.txt" &&
    grep -q '^QT_FEATURE_sql_psql:INTERNAL=ON' "$work/CMakeCache.txt" ||
    { say "Qt's configure did not find SQLite or libpq (see $work/configure.log)"; exit 1; }
  cmake --build "$work" --parallel "$jobs"
  rm -rf "$qt_prefix"
  cmake --install "$work" >/dev/null
  stamp_set qt "$key"
}

# The Debian build of the same tree draws the pictures and the icon (its
# make_pictures and make_icon run here; the Windows ones could not).
stage_host() {
  if [ ! -x "$host_build/src/make_pictures" ] || [ ! -x "$host_build/dist/make_icon" ]; then
    say "building the Debian build (build/) for its drawing programs"
    "$root/scripts/install-deps.sh"
    cmake -S "$root" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$host_build" --parallel "$jobs" --target make_pictures make_icon >/dev/null
}

version() { sed -n 's/^project(trelok VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt"; }

# What the program needs beside it: Qt's libraries and plugins, SQLite,
# libpq and the MinGW runtime. qt.conf makes Qt look for its plugins in the
# program's folder only.
qt_libraries=(Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport Qt6Sql)
# (Windows' print support is part of Qt6PrintSupport.dll itself.)
qt_plugins=(platforms/qwindows platforms/qoffscreen platforms/qminimal
  sqldrivers/qsqlite sqldrivers/qsqlpsql
  styles/qwindowsvistastyle imageformats/qico)
mingw_runtime() {
  local gcc_dir; gcc_dir=$(dirname "$($mingw-g++-posix -print-libgcc-file-name)")
  printf '%s\n' "$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" \
    "$($mingw-g++-posix -print-file-name=libwinpthread-1.dll)"
}
deploy_runtime() {
  local bin=$1 name
  for name in "${qt_libraries[@]}"; do cp "$qt_prefix/bin/$name.dll" "$bin/"; done
  for name in "${qt_plugins[@]}"; do
    mkdir -p "$bin/plugins/$(dirname "$name")"
    cp "$qt_prefix/plugins/$name.dll" "$bin/plugins/$name.dll"
  done
  cp "$sqlite_prefix/bin/libsqlite3-0.dll" "$pq_prefix/bin/libpq.dll" "$bin/"
  mingw_runtime | while read -r name; do cp "$name" "$bin/"; done
  printf '[Paths]\nPrefix = .\nPlugins = plugins\n' >"$bin/qt.conf"
}
# Every library a program or plugin of the folder names is in the folder or
# is Windows' own (MinGW has an import library for each of those).
check_libraries() {
  local bin=$1 missing=0 file name
  while read -r file; do
    while read -r name; do
      local lower=${name,,}
      # The folder's own (Windows names are the same in any case).
      find "$bin" -maxdepth 1 -iname "$name" | grep -q . && continue
      # Windows' own: an API set, or a library MinGW has an import library for.
      [[ $lower == api-ms-win-* ]] && continue
      [ -f "/usr/$mingw/lib/lib${lower%.*}.a" ] && continue
      echo "$file needs $name, which the installation lacks" >&2; missing=1
    done < <($mingw-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
  done < <(find "$bin" -name '*.exe' -o -name '*.dll')
  return $missing
}

stage_trelok() {
  local tests=${TRELOK_WINDOWS_TESTS:-ON}
  say "building trelok for Windows (tests: $tests)"
  mkdir -p "$out"
  cmake -S "$root" -B "$out/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/toolchain-mingw64.cmake" \
    "-DTRELOK_WINDOWS_PREFIXES=$sqlite_prefix;$pq_prefix;$qt_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DTRELOK_BUILD_BENCH=OFF -DTRELOK_BUILD_TESTS="$tests" \
    -DTRELOK_HOST_BUILD="$host_build" -DCMAKE_INSTALL_PREFIX="$out/stage" >"$out/configure.log" 2>&1 ||
    { tail -40 "$out/configure.log"; exit 1; }
  cmake --build "$out/build" --parallel "$jobs"
  rm -rf "$out/stage"
  cmake --install "$out/build" >/dev/null
  deploy_runtime "$out/stage/bin"
  check_libraries "$out/stage/bin"
  # The suites run beside the installed program's libraries, with Qt's test library.
  [ "$tests" = OFF ] || cp "$qt_prefix/bin/Qt6Test.dll" "$out/build/bin/"
}

stage_installer() {
  local v; v=$(version)
  say "writing the installer and the zip of trelok $v"
  # The folder holds the current version's installer and zip only.
  rm -f "$out"/trelok-*-setup.exe "$out"/trelok-*-windows.zip
  makensis -V2 -DVERSION="$v" -DSTAGE="$out/stage" -DOUTFILE="$out/trelok-$v-setup.exe" \
    "$root/dist/windows/trelok.nsi"
  rm -rf "$out/zip"; mkdir -p "$out/zip"
  cp -a "$out/stage" "$out/zip/trelok-$v"
  (cd "$out/zip" && zip -qr -X "../trelok-$v-windows.zip" "trelok-$v")
  rm -rf "$out/zip"
  ls -l "$out/trelok-$v-setup.exe" "$out/trelok-$v-windows.zip" >&2
}

for s in $stages; do
  if declare -F "stage_$s" >/dev/null; then "stage_$s"; fi
done
