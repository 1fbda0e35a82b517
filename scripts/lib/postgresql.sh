# A throw-away PostgreSQL server for the tests and the benchmark, sourced by
# the scripts: initdb and pg_ctl in a temporary folder, listening only on
# 127.0.0.1 and trusting local connections. PostgreSQL refuses to run as
# root, so root runs it as an ordinary user of its own.
TARVIK_POSTGRESQL_USER=tarvik-postgres
TARVIK_POSTGRESQL_FOLDER=""

# The folder of initdb and pg_ctl: Debian keeps them out of the PATH.
postgresql_bin() {
  local folder
  for folder in /usr/lib/postgresql/*/bin; do :; done
  [ -x "${folder}/pg_ctl" ] && echo "${folder}" && return 0
  dirname "$(command -v pg_ctl)"
}

# Runs "$@" as the server's user (as the caller when not root).
as_postgresql_user() {
  if [ "$(id -u)" -eq 0 ]; then
    su "${TARVIK_POSTGRESQL_USER}" -s /bin/sh -c "$(printf '%q ' "$@")"
  else
    "$@"
  fi
}

# Starts the server on a free port and exports TARVIK_POSTGRESQL, its
# address for libpq; stop_postgresql stops it and removes its folder. The
# arguments are further server options ("-c fsync=off").
start_postgresql() {
  local bin port user options="$*"
  bin="$(postgresql_bin)"
  user="$(id -un)"
  if [ "$(id -u)" -eq 0 ]; then
    id -u "${TARVIK_POSTGRESQL_USER}" >/dev/null 2>&1 ||
      useradd --system --no-create-home --shell /usr/sbin/nologin "${TARVIK_POSTGRESQL_USER}"
    user="${TARVIK_POSTGRESQL_USER}"
  fi
  TARVIK_POSTGRESQL_FOLDER="$(mktemp -d /tmp/tarvik-postgresql.XXXXXX)"
  chown "${user}" "${TARVIK_POSTGRESQL_FOLDER}"
  as_postgresql_user "${bin}/initdb" -D "${TARVIK_POSTGRESQL_FOLDER}/dados" -U "${user}" \
    --auth=trust --encoding=UTF8 --locale=C.UTF-8 >/dev/null
  # A port picked at random below the range the system gives to outgoing
  # connections, and another should some other program hold it.
  local tries started=""
  for tries in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 12000))
    ss -ltn "sport = :${port}" | grep -q LISTEN && continue
    as_postgresql_user "${bin}/pg_ctl" -D "${TARVIK_POSTGRESQL_FOLDER}/dados" -w -s \
      -l "${TARVIK_POSTGRESQL_FOLDER}/servidor.log" \
      -o "-c listen_addresses=127.0.0.1 -p ${port} -k ${TARVIK_POSTGRESQL_FOLDER} ${options}" \
      start && started=yes && break
  done
  if [ -z "${started}" ]; then
    cat "${TARVIK_POSTGRESQL_FOLDER}/servidor.log" >&2
    return 1
  fi
  export TARVIK_POSTGRESQL="postgresql://${user}@127.0.0.1:${port}/postgres"
}

stop_postgresql() {
  [ -n "${TARVIK_POSTGRESQL_FOLDER}" ] || return 0
  as_postgresql_user "$(postgresql_bin)/pg_ctl" -D "${TARVIK_POSTGRESQL_FOLDER}/dados" -w -s \
    -m fast stop || true
  rm -rf "${TARVIK_POSTGRESQL_FOLDER}"
  TARVIK_POSTGRESQL_FOLDER=""
  unset TARVIK_POSTGRESQL
}
