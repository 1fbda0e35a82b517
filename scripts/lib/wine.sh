# Running the Windows build under Wine, sourced by the scripts.
#
# Wine maps the read-only attribute onto Unix permissions, which root
# ignores, so the Windows programs run as an ordinary user with a prefix of
# its own, inside one X server: message boxes need a display, and windows
# created on one wineserver must not mix headless and Xvfb sessions.
TARVIK_WINE_USER=tarvik-wine
TARVIK_WINE_PREFIX=${TARVIK_WINE_PREFIX:-/tmp/tarvik-wine/prefix}
# Wine takes its code page and regional formats from the locale: Brazilian
# Portuguese gives code page 1252 and the dates the log is compared with.
TARVIK_WINE_LOCALES=/tmp/tarvik-wine/locale

# Makes the user when running as root, and lets it reach the source tree
# (only the right to pass through the folders above it, not to list them).
prepare_wine_user() {
  [ "$(id -u)" -eq 0 ] || return 0
  id -u "${TARVIK_WINE_USER}" >/dev/null 2>&1 || useradd --create-home "${TARVIK_WINE_USER}"
  local folder="$PWD"
  while [ "${folder}" != / ]; do
    chmod o+x "${folder}"
    folder="$(dirname "${folder}")"
  done
  mkdir -p "$(dirname "${TARVIK_WINE_PREFIX}")"
  chown "${TARVIK_WINE_USER}" "$(dirname "${TARVIK_WINE_PREFIX}")"
}

prepare_wine_locale() {
  [ -d "${TARVIK_WINE_LOCALES}/pt_BR.UTF-8" ] && return 0
  mkdir -p "${TARVIK_WINE_LOCALES}"
  localedef -i pt_BR -f UTF-8 "${TARVIK_WINE_LOCALES}/pt_BR.UTF-8"
}

# Runs "$@" as the Wine user (or as the caller when not root) in the
# project's folder, with the prefix made on first use, inside Xvfb.
as_wine_user() {
  local command
  printf -v command '%q ' "$@"
  local script="
    set -e
    cd $(printf '%q' "$PWD")
    export WINEPREFIX=${TARVIK_WINE_PREFIX} WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
    export LOCPATH=${TARVIK_WINE_LOCALES} LANG=pt_BR.UTF-8
    if [ ! -d \"\${WINEPREFIX}\" ]; then
      wineboot -i >/dev/null 2>&1
      # Without a window manager, every window shown or hidden waits 2 s.
      wine reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
      wineserver -w
    fi
    xvfb-run -a -s '-screen 0 1024x768x24' ${command}"
  if [ "$(id -u)" -eq 0 ]; then
    su "${TARVIK_WINE_USER}" -s /bin/bash -c "${script}"
  else
    bash -c "${script}"
  fi
}
