# Debian packages that the build, the tests, the benchmarks and the demo use.
# Sourced by the scripts; installs only what is missing.
TARVIK_PACKAGES=(
  g++ clang libclang-rt-14-dev cmake ninja-build pkg-config bc
  libcurl4-openssl-dev libssl-dev libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  osslsigncode openssl
  # The 32-bit Windows build and Wine to run it.
  g++-mingw-w64-i686-posix mingw-w64-tools wine wine64 wine32:i386 xvfb xauth locales
)

install_dependencies() {
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
