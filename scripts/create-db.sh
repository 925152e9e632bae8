#!/usr/bin/env bash
# create-db.sh [--owner USER[:GROUP]] PATH
#
# Creates a fresh Korvenix database file at PATH from the SQL files in db/
# (applied in file-name order) with isql-fb on the embedded engine: no
# Firebird server is needed, the engine opens the file directly.
#
# --owner hands the finished file to that account, for a Firebird server
# that runs under its own (Debian's runs as "firebird"): a file created by
# root can be opened by root only.
#
# Refuses to touch an existing file. Any SQL error stops the script with a
# non-zero exit and the engine's message, and the half-made file is removed,
# so a later run starts clean.
set -euo pipefail

me=$(basename "$0")
script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sql_dir=$(cd "$script_dir/../db" && pwd)

die() { echo "$me: $*" >&2; exit 1; }

usage() {
  echo "usage: $me [--owner USER[:GROUP]] PATH   (creates a new database file at PATH)" >&2
  exit 2
}

owner=
if [[ ${1:-} == --owner ]]; then
  (($# >= 2)) && [[ -n $2 ]] || usage
  owner=$2
  shift 2
fi
[[ $# -eq 1 && -n $1 ]] || usage
# Checked before anything is made, so that a wrong name costs no half-made file.
if [[ -n $owner ]]; then
  id -u -- "${owner%%:*}" >/dev/null 2>&1 || die "no such user: ${owner%%:*}"
  [[ $owner != *:* ]] || getent group -- "${owner#*:}" >/dev/null || die "no such group: ${owner#*:}"
fi

db=$1
# Work with an absolute path: messages then name the real file, and the
# engine never gets a bare name that it could take for an alias from
# databases.conf.
[[ $db == /* ]] || db="$PWD/$db"

if [[ -e $db ]]; then
  die "$db already exists; not overwriting it (remove it first to recreate)"
fi

# --- Firebird tools ----------------------------------------------------------
# isql-fb and gfix come with firebird3.0-utils, the embedded engine (the
# Engine12 plugin) with firebird3.0-server-core. Install only what dpkg
# reports missing.
ensure_firebird() {
  local missing=() p sudo=()
  if command -v dpkg >/dev/null 2>&1; then
    for p in firebird3.0-utils firebird3.0-server-core; do
      dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
  fi
  if ((${#missing[@]} == 0)); then
    if ! command -v isql-fb >/dev/null 2>&1 || ! command -v gfix >/dev/null 2>&1; then
      die "isql-fb/gfix not found and dpkg is unavailable to install firebird3.0-utils"
    fi
    return
  fi
  if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null 2>&1 || die "missing packages ${missing[*]}; run as root or install them"
    sudo=(sudo -n)
  fi
  echo "$me: installing ${missing[*]}" >&2
  if ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" </dev/null; then
    # A fresh machine may have no package lists yet.
    "${sudo[@]}" apt-get update </dev/null
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" </dev/null
  fi
  command -v isql-fb >/dev/null 2>&1 || die "isql-fb still not found after installing ${missing[*]}"
}
ensure_firebird

shopt -s nullglob
sql_files=()
while IFS= read -r f; do sql_files+=("$f"); done < <(printf '%s\n' "$sql_dir"/*.sql | LC_ALL=C sort)
((${#sql_files[@]} > 0)) || die "no SQL files in $sql_dir"

# --- Cleanup -----------------------------------------------------------------
created=0
lock_dir=
cleanup() {
  local rc=$?
  if ((rc != 0 && created)); then
    rm -f -- "$db"
    echo "$me: removed the unfinished database $db" >&2
  fi
  [[ -n $lock_dir ]] && rm -rf -- "$lock_dir"
  return "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The embedded engine keeps its lock files in /tmp/firebird unless told
# otherwise. That directory belongs to the firebird user when a server is
# installed, and files a root run leaves there can lock a later server out.
# Nobody else can have the new file open, so a private lock directory is
# safe; a FIREBIRD_LOCK set by the caller is kept.
if [[ -z ${FIREBIRD_LOCK:-} ]]; then
  lock_dir=$(mktemp -d "${TMPDIR:-/tmp}/kvx-fblock.XXXXXX")
  export FIREBIRD_LOCK=$lock_dir
fi
mkdir -p -- "$(dirname -- "$db")"
sql_db=${db//\'/\'\'}

# --- Create and fill ---------------------------------------------------------
created=1
isql_out=$(isql-fb -q -bail -ch UTF8 2>&1 <<SQL
set names UTF8;
create database '$sql_db' user 'SYSDBA' password 'x'
  page_size 16384 default character set UTF8 collation UNICODE_CI;
commit;
SQL
) || die "creating $db failed: $isql_out"
[[ -f $db ]] || die "isql-fb reported no error but $db was not created: $isql_out"

# Every DDL statement commits, and with forced writes each commit waits for
# the disk; building with them off takes a third less time. They are switched
# back on below, before the file is handed out.
gfix_out=$(gfix -user SYSDBA -write async "$db" 2>&1 </dev/null) \
  || die "gfix could not switch off forced writes: $gfix_out"

for f in "${sql_files[@]}"; do
  name=$(basename "$f")
  isql_out=$(isql-fb -q -bail -ch UTF8 -user SYSDBA -password x -i "$f" "$db" 2>&1 </dev/null) \
    || die "$name failed:
$isql_out"
  # -bail already turns a failed statement into a non-zero exit; the check
  # below only guards against a message slipping through with status 0.
  if grep -qE '^Statement failed|Expected end of statement' <<<"$isql_out"; then
    die "$name failed:
$isql_out"
  fi
done

gfix_out=$(gfix -user SYSDBA -write sync "$db" 2>&1 </dev/null) \
  || die "gfix could not switch forced writes back on: $gfix_out"

if [[ -n $owner ]]; then
  chown -- "$owner" "$db" || die "cannot hand $db to $owner"
fi

echo "$me: created $db"
