# Sourced by scripts/test-from-bare: minimal Debian root trees made with debootstrap from
# this machine's own apt sources, and a command run in a throw-away copy of one.

KORVALEN_BARE_CACHE=${KORVALEN_BARE_CACHE:-/var/cache/korvalen-bare}
KORVALEN_BARE_WORK=${KORVALEN_BARE_WORK:-/var/tmp/korvalen-bare}

bare_codename() {
  case $1 in
    12) echo bookworm ;;
    13) echo trixie ;;
  esac
}

# The Debian archive this machine installs from (its first source that is neither the
# security archive nor another vendor's), so a tree comes from where the machine's own
# packages come from.
bare_mirror() {
  local uri
  uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
    2>/dev/null | grep -v '^\s*#' | grep -oE 'https?://[^ ]+/debian/?(\s|$)' |
    grep -v security | head -n 1 | tr -d '[:space:]')
  echo "${uri:-http://deb.debian.org/debian}"
}

# Makes the cached minimal tree of CODENAME once; only this tree, which has never run
# anything of ours, is kept between runs.   bare_base CODENAME  (prints its path)
bare_base() {
  local codename=$1 base=$KORVALEN_BARE_CACHE/$1
  mkdir -p "$KORVALEN_BARE_CACHE"
  (
    flock 8
    [ -f "$base/.korvalen-base" ] && exit 0
    rm -rf "$base" "$base.new"
    echo "bare-tree: making the minimal $codename tree from $(bare_mirror) (once)..." >&2
    debootstrap --variant=minbase "$codename" "$base.new" "$(bare_mirror)" >"$base.log" 2>&1 ||
      { tail -n 20 "$base.log" >&2; exit 1; }
    date -u +%FT%TZ >"$base.new/.korvalen-base"
    mv "$base.new" "$base"
  ) 8>"$KORVALEN_BARE_CACHE/.$codename.lock" || return 1
  echo "$base"
}

# Makes a fresh copy of the minimal CODENAME tree with the checkout's HEAD cloned into
# /root/korvalen, and prints its path.   bare_prepare CODENAME CHECKOUT
bare_prepare() {
  local codename=$1 checkout=$2 base tree
  base=$(bare_base "$codename") || return 1
  mkdir -p "$KORVALEN_BARE_WORK"
  tree=$(mktemp -d "$KORVALEN_BARE_WORK/$codename.XXXXXX")
  cp -a "$base/." "$tree/" &&
    git clone -q --no-hardlinks "$checkout" "$tree/root/korvalen" &&
    cp /etc/resolv.conf "$tree/etc/resolv.conf" || {
    rm -rf "$tree"
    return 1
  }
  rm -f "$tree/.korvalen-base"
  echo "$tree"
}

# Runs COMMAND in the clone inside TREE, in mount and process namespaces of its own: when
# the command ends, every process it left (Xvfb, a wineserver) ends with it and every
# mount goes. KORVALEN_BARE_TIMEOUT (seconds, 0 for none) ends a run that takes longer,
# with everything it started.   bare_enter TREE COMMAND...
bare_enter() {
  local tree=$1
  shift
  timeout "${KORVALEN_BARE_TIMEOUT:-0}" \
    unshare --mount --pid --fork --kill-child --propagation private \
    /bin/bash -s "$tree" "$@" <<'INNER'
tree=$1
shift
mount -t proc proc "$tree/proc"
mount -t sysfs sys "$tree/sys"
mount --bind /dev "$tree/dev"
mount --bind /dev/pts "$tree/dev/pts"
mount -t tmpfs shm "$tree/dev/shm"
exec chroot "$tree" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI="${CI:-}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/bash -c 'cd /root/korvalen && exec "$@"' bare "$@" </dev/null
INNER
}

# Removes a tree that bare_prepare made: it has run our commands, so it is never kept.
bare_discard() {
  [ -n "${1:-}" ] && [ -d "$1" ] && rm -rf "$1"
}

# Runs COMMAND in a fresh copy of the minimal CODENAME tree (bare_prepare, bare_enter),
# removed afterwards.   bare_run CODENAME CHECKOUT COMMAND...
bare_run() {
  local codename=$1 checkout=$2 tree status
  shift 2
  tree=$(bare_prepare "$codename" "$checkout") || return 1
  bare_enter "$tree" "$@"
  status=$?
  bare_discard "$tree"
  return $status
}
