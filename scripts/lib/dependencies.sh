# Debian packages that the build, the tests, the benchmarks and the demo use.
# Sourced by the scripts; installs only what is missing.
TARVIK_PACKAGES=(
  g++ clang libclang-rt-14-dev cmake ninja-build pkg-config bc
  libcurl4-openssl-dev libssl-dev libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  osslsigncode openssl dpkg-dev
  # The reference server's PostgreSQL store, the server its tests start,
  # and the browser that renders its dashboard.
  libpq-dev postgresql chromium
  # The crash test stops the updater at chosen system calls.
  strace
  # The 32-bit Windows build and Wine to run it; ImageMagick draws the
  # Windows program's icon and the progress window's picture.
  g++-mingw-w64-i686-posix mingw-w64-tools wine wine64 wine32:i386 xvfb xauth locales imagemagick
)

# Debian builds cpp-httplib's code into a library for the host and ships a
# header without it; the Windows test programs take the whole header from
# the source package, fetched through the machine's own Debian sources.
TARVIK_HTTPLIB_WINDOWS=/usr/local/share/tarvik/httplib

install_httplib_source() {
  [ -f "${TARVIK_HTTPLIB_WINDOWS}/httplib.h" ] && return 0
  echo "== fetching the source of cpp-httplib"
  local work sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  work="$(mktemp -d)"
  chmod 755 "${work}"  # apt fetches as its own user
  mkdir -p "${work}/parts" "${work}/lists/partial"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"${work}/parts/source.sources"
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"${work}/parts/source.list"
  fi
  local options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=${work}/parts"
    -o "Dir::State::Lists=${work}/lists")
  apt-get "${options[@]}" update >/dev/null
  (cd "${work}" && apt-get "${options[@]}" source cpp-httplib >/dev/null 2>&1)
  "${sudo[@]}" install -D -m 644 "${work}"/cpp-httplib-*/httplib.h "${TARVIK_HTTPLIB_WINDOWS}/httplib.h"
  rm -rf "${work}"
}

install_dependencies() {
  install_packages
  install_httplib_source
}

install_packages() {
  local missing=() package
  for package in "${TARVIK_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "${package}" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("${package}")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
  fi
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
