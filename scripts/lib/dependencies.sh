# Debian packages that the build, the tests, the benchmarks and the demo use.
# Sourced by the scripts; installs only what is missing.
TARVIK_PACKAGES=(
  g++ clang libclang-rt-14-dev cmake ninja-build pkg-config bc
  libcurl4-openssl-dev libssl-dev libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  osslsigncode openssl dpkg-dev
  # The 32-bit Windows build and Wine to run it.
  g++-mingw-w64-i686-posix mingw-w64-tools wine wine64 wine32:i386 xvfb xauth locales
)

# Debian's cpp-httplib header only declares what its Linux library defines;
# the Windows tests build the whole header from Debian's source package.
TARVIK_HTTPLIB_SOURCE=/usr/local/src/tarvik/cpp-httplib

install_httplib_source() {
  [ -f "${TARVIK_HTTPLIB_SOURCE}/httplib.h" ] && return 0
  echo "== fetching the source of cpp-httplib"
  local work sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  work="$(mktemp -d)"
  echo "deb-src http://deb.debian.org/debian bookworm main" >"${work}/sources.list"
  mkdir -p "${work}/lists/partial"
  local apt=(apt-get -o "Dir::Etc::SourceList=${work}/sources.list"
    -o Dir::Etc::SourceParts=/dev/null -o "Dir::State::Lists=${work}/lists")
  "${apt[@]}" update >/dev/null 2>&1
  (cd "${work}" && "${apt[@]}" source --download-only cpp-httplib >/dev/null 2>&1 &&
    dpkg-source -x ./*.dsc source >/dev/null 2>&1)
  "${sudo[@]}" install -D -m 644 "${work}/source/httplib.h" "${TARVIK_HTTPLIB_SOURCE}/httplib.h"
  rm -rf "${work}"
}

install_dependencies() {
  local missing=() package
  for package in "${TARVIK_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "${package}" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("${package}")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    install_httplib_source
    return 0
  fi
  echo "== installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
  fi
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  install_httplib_source
}
