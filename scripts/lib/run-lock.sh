# Sourced by the commands that build into build/ and make the Wine prefix build/wine anew
# (scripts/test, scripts/demo, and the suites' run scripts when started alone): one such
# run at a time in a checkout. A second refuses at once with the first's name, rather than
# deleting the prefix and the programs that the first is using.
#   korvalen_lock_run NAME     (returns 1, having said why, when another run holds it)
# The lock is a file naming the holder's process and its start time; it is free again when
# that process has ended, so a run that was killed leaves nothing to clean up by hand.

_korvalen_process_start() {
  # Field 22 of /proc/PID/stat; the command name before it may hold spaces.
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  set -- $stat
  echo "${20}"
}

korvalen_lock_run() {
  local name=$1 root lock
  # A suite started by a run that holds the lock runs inside it.
  [ -n "${KORVALEN_RUN_LOCK_HOLDER:-}" ] && return 0
  root=${KORVALEN_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
  mkdir -p "$root/build"
  lock=$root/build/.run-lock
  local held
  held=$(
    exec 9>"$lock.guard"
    flock 9
    if read -r pid started holder 2>/dev/null <"$lock" &&
      [ "$(_korvalen_process_start "$pid")" = "$started" ]; then
      echo "$holder (process $pid)"
      exit 0
    fi
    echo "$$ $(_korvalen_process_start $$) $name" >"$lock"
  )
  if [ -n "$held" ]; then
    echo "$name: $held is already running in $root and uses its build/ and Wine prefix;" \
      "wait for it to end, or run in another clone" >&2
    return 1
  fi
  export KORVALEN_RUN_LOCK_HOLDER=$$
}
