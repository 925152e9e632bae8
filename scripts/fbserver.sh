#!/usr/bin/env bash
# Starts and stops a private Firebird 3 SuperServer on loopback for one test run.
#
#   scripts/fbserver.sh start  DIR   start a server whose runtime files live under DIR
#   scripts/fbserver.sh stop   DIR   stop it (succeeds when nothing is running)
#   scripts/fbserver.sh status DIR   say whether it runs
#
# After "start", DIR/server.env holds KORVENIX_SERVER_HOST / _USER / _PASSWORD / _DIR.
# A client reaches a database as "$KORVENIX_SERVER_HOST:$KORVENIX_SERVER_DIR/name.fdb"
# through the ordinary client library; it needs no FIREBIRD variable of its own.
#
# The instance never touches the system's Firebird: it has its own configuration root
# (DIR/fbroot, selected through FIREBIRD), its own lock directory (FIREBIRD_LOCK), its own
# security database (DIR/security3.fdb) and a port other than 3050. Only firebird.log is
# shared, because Firebird 3 compiles its location in (/var/log/firebird).
#
# The server binary /usr/sbin/firebird runs directly, without fbguard: a test run wants a
# crashed server to stay down and show up as failures, not to be restarted; and Debian's
# fbguard needs root for its lock file in /run/firebird3.0 and has the server send SIGUSR1
# to whatever process launched fbguard, which kills a shell. The server runs as the user
# who calls this script.
#
# Environment: KORVENIX_FBSERVER_TIMEOUT (seconds to wait for the server, default 30),
# KORVENIX_TEST_PASSWORD (fixed SYSDBA password instead of a random one).
set -euo pipefail

FBSERVER=/usr/sbin/firebird
PACKAGES=(firebird3.0-server firebird3.0-utils)
START_TIMEOUT="${KORVENIX_FBSERVER_TIMEOUT:-30}"
STOP_TIMEOUT=20
# Firebird 3 writes its log here whatever FIREBIRD says; Debian names it firebird3.0.log.
LOG_CANDIDATES=(/var/log/firebird/firebird3.0.log /var/log/firebird/firebird.log)

say() { echo "fbserver: $*"; }
warn() { echo "fbserver: $*" >&2; }

usage() {
  echo "usage: $0 start|stop|status DIR" >&2
  exit 2
}

# ---------------------------------------------------------------------------
# Paths and validation

# server.env is sourced by shell scripts and the path goes into firebird.conf unquoted,
# so only characters that need no quoting anywhere are accepted.
check_dir_name() {
  if [[ ! "$1" =~ ^[A-Za-z0-9._/+@%,=-]+$ ]]; then
    warn "DIR '$1' contains characters that would need quoting (spaces, quotes, \$, # ...); choose a plainer path"
    exit 2
  fi
}

set_paths() {
  [ -n "${1:-}" ] || usage
  check_dir_name "$1"
  if [ "${2:-}" = create ]; then
    mkdir -p "$1"
  fi
  if [ -d "$1" ]; then
    DIR="$(cd "$1" && pwd -P)"
  else
    DIR="$1"
  fi
  check_dir_name "$DIR"
  ROOT="$DIR/fbroot"
  LOCK="$DIR/lock"
  TMPD="$DIR/tmp"
  SECDB="$DIR/security3.fdb"
  ENVFILE="$DIR/server.env"
  SERVER_PIDFILE="$DIR/firebird.pid"
  SERVER_OUT="$DIR/firebird.out"
}

# ---------------------------------------------------------------------------
# Processes: ours are the firebird processes whose FIREBIRD_LOCK is our lock directory.
# Matching on that (not on a name) keeps a system instance or another test run's server
# safe from us, and survives a lost or stale pid file.

is_ours() {
  local pid="$1" exe
  [[ "$pid" =~ ^[0-9]+$ ]] || return 1
  # A zombie has no exe link, so it counts as gone: the reaper here may be slow.
  exe="$(readlink "/proc/$pid/exe" 2>/dev/null)" || return 1
  exe="${exe% (deleted)}"
  [ "$exe" = "$FBSERVER" ] || return 1
  tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "FIREBIRD_LOCK=$LOCK"
}

# Only processes running the server binary are looked at further, so no other
# program's environment is read.
our_pids() {
  local d pid exe
  for d in /proc/[0-9]*; do
    pid="${d#/proc/}"
    exe="$(readlink "$d/exe" 2>/dev/null)" || continue
    [ "${exe% (deleted)}" = "$FBSERVER" ] || continue
    is_ours "$pid" && echo "$pid"
  done
  return 0
}

any_ours() { [ -n "$(our_pids)" ]; }

# ---------------------------------------------------------------------------
# Logs

declare -A LOG_MARK=()

mark_logs() {
  local f
  for f in "${LOG_CANDIDATES[@]}"; do
    if [ -r "$f" ]; then LOG_MARK[$f]="$(stat -c %s "$f")"; else LOG_MARK[$f]=0; fi
  done
}

# Prints what the server wrote since mark_logs, or the log's tail when there is no mark.
print_logs() {
  local f printed=0 from
  for f in "${LOG_CANDIDATES[@]}"; do
    [ -r "$f" ] || continue
    from="${LOG_MARK[$f]:-}"
    echo "----- $f${from:+ (written during this run)} -----" >&2
    if [ -n "$from" ]; then
      tail -c +"$((from + 1))" "$f" | tail -n 80 >&2
    else
      tail -n 40 "$f" >&2
    fi
    printed=1
  done
  if [ -s "${SERVER_OUT:-/nonexistent}" ]; then
    echo "----- $SERVER_OUT -----" >&2
    tail -n 40 "$SERVER_OUT" >&2
    printed=1
  fi
  [ "$printed" = 1 ] || echo "(no Firebird log found in ${LOG_CANDIDATES[*]})" >&2
}

die() {
  warn "$*"
  print_logs
  exit 1
}

# ---------------------------------------------------------------------------
# Packages

package_installed() {
  dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed'
}

ensure_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    package_installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
      sudo=(sudo -n)
    else
      warn "missing packages ${missing[*]} and no password-less sudo to install them"
      exit 1
    fi
  fi
  say "installing ${missing[*]}"
  # noninteractive makes the package's SYSDBA password question fall back to a random
  # password for the system instance; this script never uses that password.
  local apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive timeout 1200 apt-get
             -o DPkg::Lock::Timeout=300 -y)
  if ! compgen -G '/var/lib/apt/lists/*_Packages' >/dev/null; then
    "${apt[@]}" update </dev/null || true
  fi
  if ! "${apt[@]}" install "${missing[@]}" </dev/null; then
    "${apt[@]}" update </dev/null || true
    "${apt[@]}" install "${missing[@]}" </dev/null || { warn "apt-get install ${missing[*]} failed"; exit 1; }
  fi
}

find_fb_lib() {
  local d
  for d in /usr/lib/*/firebird/3.0 /usr/lib/firebird/3.0 /opt/firebird; do
    if [ -f "$d/firebird.msg" ]; then
      FB_LIB="$d"
      return 0
    fi
  done
  warn "cannot find Firebird 3's library directory (firebird.msg) under /usr/lib"
  exit 1
}

# ---------------------------------------------------------------------------
# Ports

port_in_use() {
  if command -v ss >/dev/null; then
    [ -n "$(ss -Htan "sport = :$1" 2>/dev/null)" ]
  else
    timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$1" 2>/dev/null
  fi
}

port_listening() {
  if command -v ss >/dev/null; then
    [ -n "$(ss -Htln "sport = :$1" 2>/dev/null)" ]
  else
    timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$1" 2>/dev/null
  fi
}

# A port near but not on 3050, so a system instance keeps its own; random high ports
# once that range is taken (several test runs at once).
pick_port() {
  local p
  for p in $(seq 3053 3099); do
    [ -n "${TRIED_PORTS[$p]:-}" ] && continue
    port_in_use "$p" || { echo "$p"; return 0; }
  done
  for _ in $(seq 1 50); do
    p=$((30000 + RANDOM % 30000))
    [ -n "${TRIED_PORTS[$p]:-}" ] && continue
    port_in_use "$p" || { echo "$p"; return 0; }
  done
  return 1
}

# Runs of this script for different DIRs would otherwise pick the same free port at the
# same moment, and the loser's server would sit retrying the bind. One machine-wide lock
# from choosing a port until the server listens avoids that. Without the lock (file not
# writable) the port retry in cmd_start still copes.
lock_ports() {
  local f="${TMPDIR:-/tmp}/korvenix-fbserver.port.lock"
  if [ ! -e "$f" ]; then
    (umask 000 && : >>"$f") 2>/dev/null || true
  fi
  if { exec 8>>"$f"; } 2>/dev/null; then
    flock -w "$((START_TIMEOUT + 10))" 8 || warn "port lock $f still busy; going on without it"
  fi
}

unlock_ports() { exec 8>&- 2>/dev/null || true; }

# ---------------------------------------------------------------------------
# Configuration

write_config() {
  local port="$1"
  cat >"$ROOT/firebird.conf" <<EOF
# Written by scripts/fbserver.sh for one test run; every run rewrites it.
# Loopback only, on a port of its own, so nothing outside this machine can reach it
# and a system instance on 3050 is left alone.
RemoteBindAddress = 127.0.0.1
RemoteServicePort = $port
RemoteAuxPort = 0
ServerMode = Super
# Users and passwords of this run only; the system security3.fdb is never opened.
SecurityDatabase = $SECDB
# Srp is what libfbclient offers first; Legacy_Auth stays off so no password travels
# in the weak DES form.
AuthServer = Srp256, Srp
AuthClient = Srp256, Srp
UserManager = Srp
# Accept clients that turned wire encryption off as well as those that want it.
WireCrypt = Enabled
UdfAccess = None
TempDirectories = $TMPD
EOF
}

write_root() {
  local f
  mkdir -p "$ROOT" "$LOCK" "$TMPD"
  # FIREBIRD moves the configuration root here; everything but the two files written
  # below comes from the installed tree unchanged.
  for f in firebird.msg plugins.conf fbtrace.conf intl plugins UDF lib; do
    [ -e "$FB_LIB/$f" ] && ln -sfn "$FB_LIB/$f" "$ROOT/$f"
  done
  cat >"$ROOT/databases.conf" <<EOF
# Written by scripts/fbserver.sh: the security database of this run only.
security.db = $SECDB
{
	SecurityDatabase = $SECDB
	RemoteAccess = false
	DefaultDbCachePages = 50
}
EOF
}

# Everything the private instance and its tools must see; the client side of the tests
# keeps the caller's environment.
server_env() {
  env -u ISC_USER -u ISC_PASSWORD -u ISC_ROLE \
      FIREBIRD="$ROOT" FIREBIRD_LOCK="$LOCK" FIREBIRD_TMP="$TMPD" "$@"
}

# True while the process exists and is not a zombie.
pid_alive() {
  local state
  state="$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

make_security_db() {
  local password="$1" out
  # Without the private firebird.conf the engine falls back to the system security
  # database, and the password change below would land there.
  grep -qxF "SecurityDatabase = $SECDB" "$ROOT/firebird.conf" 2>/dev/null \
    || die "internal error: $ROOT/firebird.conf must name $SECDB before users are changed"
  rm -f "$SECDB"
  # Built from the package's own script, as its postinst does, so it works without
  # read access to the system's security3.fdb. The embedded engine needs no password.
  if [ -f /usr/share/firebird/3.0/security.sql ]; then
    out="$(echo "CREATE DATABASE '$SECDB';" | server_env timeout 60 isql-fb -q -b -user SYSDBA 2>&1)" \
      || die "cannot create $SECDB: $out"
    out="$(server_env timeout 60 isql-fb -q -b -user SYSDBA -i /usr/share/firebird/3.0/security.sql "$SECDB" 2>&1)" \
      || die "cannot fill $SECDB from security.sql: $out"
  elif [ -r /var/lib/firebird/3.0/system/security3.fdb ]; then
    cp /var/lib/firebird/3.0/system/security3.fdb "$SECDB"
  else
    die "neither /usr/share/firebird/3.0/security.sql nor a readable system security3.fdb to start from"
  fi
  # "security.db" resolves through DIR/fbroot/databases.conf, so this can only reach
  # the private copy.
  out="$(printf "CREATE OR ALTER USER SYSDBA PASSWORD '%s' USING PLUGIN Srp;\nCOMMIT;\n" "$password" \
         | server_env timeout 60 isql-fb -q -b -user SYSDBA security.db 2>&1)" \
    || die "cannot set the SYSDBA password in $SECDB: $out"
  # Srp creates its user table in the security database it writes to, so finding SYSDBA
  # here proves the password went into the private copy.
  out="$(echo "SELECT 'srp-user:' || TRIM(SEC\$USER_NAME) FROM SEC\$USERS WHERE SEC\$PLUGIN = 'Srp';" \
         | server_env timeout 60 isql-fb -q -b -user SYSDBA "$SECDB" 2>&1)" || true
  grep -q 'srp-user:SYSDBA' <<<"$out" || die "SYSDBA did not reach $SECDB: $out"
}

new_password() {
  if [ -n "${KORVENIX_TEST_PASSWORD:-}" ]; then
    [[ "$KORVENIX_TEST_PASSWORD" =~ ^[A-Za-z0-9._-]+$ ]] \
      || { warn "KORVENIX_TEST_PASSWORD may hold only letters, digits, '.', '_' and '-'"; exit 2; }
    echo "$KORVENIX_TEST_PASSWORD"
  else
    echo "kx$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')"
  fi
}

# ---------------------------------------------------------------------------
# Start and stop

# Who listens on the port, as "pid" lines; empty when ss cannot tell (no ss, or the
# listener belongs to another user).
listener_pids() {
  command -v ss >/dev/null || return 0
  ss -Htlnp "sport = :$1" 2>/dev/null | grep -o 'pid=[0-9]*' | cut -d= -f2 || true
}

# 0: the server accepts a SYSDBA login over TCP. 1: the server is gone.
# 3: another process listens on the port (a concurrent start won the race for it).
# 2: no answer within the time limit.
wait_ready() {
  local port="$1" password="$2" deadline=$((SECONDS + START_TIMEOUT)) pids pid ours
  while [ "$SECONDS" -lt "$deadline" ]; do
    # Right after launch the process may still be env/setsid on its way to exec the
    # server, so the launcher's pid counts as alive too.
    if ! any_ours && ! pid_alive "$LAUNCHER"; then
      warn "the server exited during start-up"
      return 1
    fi
    if port_listening "$port"; then
      pids="$(listener_pids "$port")"
      if [ -n "$pids" ]; then
        ours=0
        for pid in $pids; do is_ours "$pid" && ours=1; done
        if [ "$ours" = 0 ]; then
          warn "port $port is held by another process (pid ${pids//$'\n'/ })"
          return 3
        fi
      fi
      if ISC_USER=SYSDBA ISC_PASSWORD="$password" timeout 10 \
           fbsvcmgr "127.0.0.1/$port:service_mgr" -info_server_version >/dev/null 2>&1; then
        return 0
      fi
    fi
    sleep 0.2
  done
  warn "the server did not answer on 127.0.0.1/$port within ${START_TIMEOUT}s"
  return 2
}

# SIGTERM lets the server close its databases cleanly; SIGKILL is the last resort.
# Returns non-zero only if the server survives that.
stop_processes() {
  local deadline pid
  any_ours || return 0
  for pid in $(our_pids); do kill -TERM "$pid" 2>/dev/null || true; done
  deadline=$((SECONDS + STOP_TIMEOUT))
  while any_ours && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
  if any_ours; then
    warn "server did not stop within ${STOP_TIMEOUT}s; killing it"
    for pid in $(our_pids); do kill -KILL "$pid" 2>/dev/null || true; done
    deadline=$((SECONDS + 5))
    while any_ours && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
  fi
  ! any_ours
}

env_port() {
  sed -n 's|^KORVENIX_SERVER_HOST=127\.0\.0\.1/\([0-9]*\)$|\1|p' "$ENVFILE" 2>/dev/null
}

cmd_start() {
  set_paths "$1" create
  exec 9>"$DIR/.fbserver.lock"
  flock -w "$((START_TIMEOUT + STOP_TIMEOUT))" 9 || { warn "another start/stop for $DIR is still running"; exit 1; }

  if any_ours; then
    if [ -s "$ENVFILE" ]; then
      say "already running for $DIR on 127.0.0.1/$(env_port) (see $ENVFILE)"
      exit 0
    fi
    # A start that died half-way: start over.
    stop_processes || { warn "cannot stop the half-started server for $DIR"; exit 1; }
  fi

  ensure_packages
  find_fb_lib
  local t0=$SECONDS
  rm -rf "$ROOT" "$LOCK" "$TMPD"
  rm -f "$ENVFILE" "$SERVER_PIDFILE" "$SERVER_OUT"
  mark_logs
  write_root

  local password port attempt rc
  declare -gA TRIED_PORTS=()
  lock_ports
  port="$(pick_port)" || die "no free TCP port found on 127.0.0.1"
  write_config "$port"
  password="$(new_password)"
  make_security_db "$password"

  # Whatever makes this start fail from here on must not leave a server behind.
  START_OK=0
  trap 'if [ "$START_OK" = 0 ]; then stop_processes || true; fi' EXIT

  for attempt in 1 2 3 4 5; do
    if [ "$attempt" -gt 1 ]; then
      port="$(pick_port)" || die "no free TCP port found on 127.0.0.1"
      write_config "$port"
    fi
    TRIED_PORTS[$port]=1
    # setsid takes the server out of the caller's session, so a Ctrl-C meant for the
    # test run or a signal to its process group does not hit it; it outlives this script
    # and "stop" ends it. It is a plain command rather than a shell function so that the
    # background pid execs into the server and no shell lingers as its parent. The lock
    # descriptors are closed so the server holds none of this script's locks.
    env -u ISC_USER -u ISC_PASSWORD -u ISC_ROLE \
        FIREBIRD="$ROOT" FIREBIRD_LOCK="$LOCK" FIREBIRD_TMP="$TMPD" \
        setsid "$FBSERVER" </dev/null >>"$SERVER_OUT" 2>&1 8>&- 9>&- &
    LAUNCHER=$!
    rc=0
    wait_ready "$port" "$password" || rc=$?
    [ "$rc" = 0 ] && break
    stop_processes || true
    # Someone else took the port between the check and the bind: try another one.
    if [ "$rc" = 3 ] || { [ "$rc" = 1 ] && port_in_use "$port"; }; then
      warn "port $port was taken meanwhile; trying another"
      continue
    fi
    die "cannot start the Firebird server for $DIR"
  done
  [ "$rc" = 0 ] || die "cannot start the Firebird server for $DIR after $attempt attempts"
  unlock_ports

  our_pids | head -n1 >"$SERVER_PIDFILE"

  local tmpenv="$ENVFILE.tmp.$$"
  (
    umask 077
    cat >"$tmpenv" <<EOF
KORVENIX_SERVER_HOST=127.0.0.1/$port
KORVENIX_SERVER_USER=SYSDBA
KORVENIX_SERVER_PASSWORD=$password
KORVENIX_SERVER_DIR=$DIR
EOF
  )
  mv -f "$tmpenv" "$ENVFILE"
  START_OK=1
  say "Firebird $(server_version "$port" "$password") listening on 127.0.0.1/$port for $DIR" \
      "(pid $(cat "$SERVER_PIDFILE"), started in $((SECONDS - t0))s); settings in $ENVFILE"
}

server_version() {
  ISC_USER=SYSDBA ISC_PASSWORD="$2" timeout 10 fbsvcmgr "127.0.0.1/$1:service_mgr" -info_server_version 2>/dev/null \
    | sed -n 's/^Server version: //p' || true
}

cmd_stop() {
  set_paths "$1"
  if [ ! -d "$DIR" ]; then
    say "nothing to stop: $DIR does not exist"
    return 0
  fi
  exec 9>"$DIR/.fbserver.lock"
  flock -w "$((START_TIMEOUT + STOP_TIMEOUT))" 9 || warn "another start/stop for $DIR holds the lock; stopping anyway"
  if ! any_ours; then
    say "no server running for $DIR"
  else
    local pids
    pids="$(our_pids | tr '\n' ' ')"
    if ! stop_processes; then
      warn "the server for $DIR survived SIGKILL: pid $(our_pids | tr '\n' ' ')"
      print_logs
      exit 1
    fi
    say "stopped the server for $DIR (pids ${pids% })"
  fi
  rm -f "$ENVFILE" "$SERVER_PIDFILE"
  rm -rf "$LOCK" "$TMPD"
}

cmd_status() {
  set_paths "$1"
  if [ -d "$DIR" ] && any_ours; then
    say "running for $DIR: pid $(our_pids | tr '\n' ' ')"
    [ -s "$ENVFILE" ] && grep -v PASSWORD "$ENVFILE"
    return 0
  fi
  say "not running for $DIR"
  return 3
}

case "${1:-}" in
  start) [ $# -eq 2 ] || usage; cmd_start "$2" ;;
  stop) [ $# -eq 2 ] || usage; cmd_stop "$2" ;;
  status) [ $# -eq 2 ] || usage; cmd_status "$2" ;;
  *) usage ;;
esac
