# Sourced by scripts/test, scripts/demo and benchmarks/run: Xvfb, a Wine prefix made for
# the run under build/wine, and a persistent wineserver. wine_env_down ends all of them.
#   wine_env_up [display]   (with a display given, Xvfb is not started)

KORVALEN_ROOT=${KORVALEN_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
KORVALEN_WINE_DIR=${KORVALEN_WINE_DIR:-$KORVALEN_ROOT/build/wine}
KORVALEN_DESKTOP=Korvalen
KORVALEN_DESKTOP_SIZE=1024x768
# Bump when the template's contents change, so old templates are made anew.
KORVALEN_TEMPLATE_VERSION=3

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader is called directly (/usr/bin/wine would go through the 32-bit one),
# through scripts/lib/wine64, which keeps its heap off the Windows shared page.
WINE64=$KORVALEN_ROOT/scripts/lib/wine64

# Wine runs i686 Windows programs in 32-bit Linux processes. Some kernels are booted with
# 32-bit emulation off (ia32_emulation=off); there a binfmt_misc entry of ours hands 32-bit
# programs to qemu-i386, which works but is many times slower.
KORVALEN_BINFMT=/proc/sys/fs/binfmt_misc/korvalen-i386

# binfmt_misc is not mounted in a fresh root tree (scripts/test-from-bare), though its
# entries, which are the machine's, act there all the same: mounted, they can be seen.
_mount_binfmt_misc() {
  [ -e /proc/sys/fs/binfmt_misc/register ] ||
    mount binfmt_misc -t binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null
}

# The entries that hand 32-bit programs to qemu: ours, or the system's own.
_i686_handover_entries() {
  local e
  _mount_binfmt_misc
  for e in "$KORVALEN_BINFMT" /proc/sys/fs/binfmt_misc/qemu-i386; do
    grep -qsx enabled "$e" && echo "$e"
  done
}

# How i686 programs run here: native, emulated (a hand-over to qemu is on and a 32-bit
# Wine program starts through it) or none.
wine_i686_mode() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    if [ -n "$(_i686_handover_entries)" ]; then echo emulated; else echo native; fi
  else
    echo none
  fi
}

# A qemu-i386 that needs no shared library: a binfmt_misc entry is the machine's, not a
# root tree's, so the interpreter it holds open (flag F) may start programs in another
# Debian tree (scripts/test-from-bare), where a dynamic one finds other libraries or none.
_static_qemu_i386() {
  local q
  for q in /usr/bin/qemu-i386 /usr/bin/qemu-i386-static; do
    [ -x "$q" ] && LC_ALL=C ldd "$q" 2>&1 | grep -qE 'not a dynamic executable|statically linked' &&
      { echo "$q"; return 0; }
  done
  return 1
}

# Whether 32-bit threads share one TLS descriptor table (benchmarks/thread_tls_probe.c),
# as the machine starts 32-bit programs or, given, through QEMU. qemu-user 7.2 (Debian 12's
# own) does: a new thread's descriptor replaces every other thread's, and 32-bit Wine,
# which reloads it at each signal, dies once the newest thread has ended. False where the
# probe cannot be built or cannot tell.   i686_threads_share_tls [QEMU]
i686_threads_share_tls() {
  local probe=$KORVALEN_ROOT/build/thread-tls-probe
  if [ ! -x "$probe" ] || [ "$probe" -ot "$KORVALEN_ROOT/benchmarks/thread_tls_probe.c" ]; then
    mkdir -p "$KORVALEN_ROOT/build" &&
      gcc -m32 -O1 -nostdlib -static -ffreestanding -fno-pie -no-pie -fno-stack-protector \
        "$KORVALEN_ROOT/benchmarks/thread_tls_probe.c" -o "$probe" >/dev/null 2>&1 || return 1
  fi
  timeout 60 "$@" "$probe" 2>/dev/null
  [ $? -eq 1 ]
}

# Switches the qemu-i386 hand-over on (root only); false where it cannot be had. Never
# where the kernel runs 32-bit programs itself. It changes how this machine starts every
# 32-bit program, so it says so when it does. An entry of ours that cannot start Wine here
# (made in another tree, with an interpreter that needs that tree's libraries), or whose
# qemu shares one TLS descriptor among threads where this tree's qemu does not, is replaced.
i686_emulation_on() {
  if [ "$(wine_i686_mode)" = emulated ]; then
    _replace_tls_sharing_handover
    # A re-registration that failed has left no hand-over: not a success.
    [ "$(wine_i686_mode)" = emulated ]
    return
  fi
  [ -n "$(_i686_handover_entries)" ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1 || return 1
  local qemu
  qemu=$(_static_qemu_i386) || return 1
  _mount_binfmt_misc || return 1
  if [ -e "$KORVALEN_BINFMT" ]; then
    echo "wine-env: $KORVALEN_BINFMT cannot start Wine in this tree; registering it again with $qemu"
    echo -1 >"$KORVALEN_BINFMT" 2>/dev/null || true
  fi
  _register_handover "$qemu" || return 1
  echo "wine-env: this kernel runs no 32-bit programs: registered $KORVALEN_BINFMT, which hands" \
    "every 32-bit program to $qemu (it stays; 'echo -1 > $KORVALEN_BINFMT' removes it)"
  [ "$(wine_i686_mode)" = emulated ]
}

# Our entry, where its qemu gives all threads one TLS descriptor and this tree's static
# qemu keeps them apart: registered again with this tree's (the old stays open in running
# programs). The system's own entry is left as it is.
_replace_tls_sharing_handover() {
  local qemu
  grep -qsx enabled "$KORVALEN_BINFMT" || return 0
  i686_threads_share_tls || return 0
  qemu=$(_static_qemu_i386) && ! i686_threads_share_tls "$qemu" || {
    echo "wine-env: the qemu of $KORVALEN_BINFMT gives all 32-bit threads one TLS descriptor" \
      "and this tree has no qemu-i386 that keeps them apart"
    return 0
  }
  echo "wine-env: the qemu of $KORVALEN_BINFMT gives all 32-bit threads one TLS descriptor;" \
    "registering it again with $qemu, which keeps them apart"
  echo -1 >"$KORVALEN_BINFMT" 2>/dev/null || return 0
  _register_handover "$qemu"
}

_register_handover() {
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf '%s' ":korvalen-i386:M::$magic:$mask:$1:F" >/proc/sys/fs/binfmt_misc/register 2>/dev/null
}

# There is no switch-off: the hand-over stays on once made. Runs side by side (and a
# later run) rely on it, and it only lets 32-bit programs start that could not start at
# all before.

# Whether display N is free: no socket or lock file of it, and no X server of this network
# namespace listening as it. Abstract sockets belong to the network namespace, not the file
# system: a root tree (scripts/test-from-bare, a development tree) sharing the machine's
# network sees none of the machine's /tmp, yet an Xvfb of the machine holding
# @/tmp/.X11-unix/XN takes the tree's clients of display N. /proc/net/unix lists every
# socket of the namespace, abstract (@) or on a path.   x_display_free N
x_display_free() {
  [ -e "/tmp/.X11-unix/X$1" ] || [ -e "/tmp/.X$1-lock" ] && return 1
  ! grep -qE " @?/tmp/\.X11-unix/X$1\$" /proc/net/unix 2>/dev/null
}

_wine_start_xvfb() {
  local n
  for n in $(seq 91 140); do
    x_display_free "$n" || continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    KORVALEN_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$KORVALEN_XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    # Not up in time: this one goes before the next display is tried.
    kill "$KORVALEN_XVFB_PID" 2>/dev/null
    wait "$KORVALEN_XVFB_PID" 2>/dev/null
    KORVALEN_XVFB_PID=
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

_wine_make_template() {
  local t=$KORVALEN_WINE_DIR/template
  [ "$(cat "$t/.korvalen-template" 2>/dev/null)" = "$KORVALEN_TEMPLATE_VERSION" ] && return 0
  echo "wine-env: making the template prefix (once)..."
  # The prefix gets its 32-bit half only when i686 programs can run while it is made; where
  # they run only under emulation that takes a couple of minutes, once.
  [ "$(wine_i686_mode)" != native ] && i686_emulation_on
  rm -rf "$t"
  mkdir -p "$KORVALEN_WINE_DIR"
  WINEPREFIX=$t "$WINE64" wineboot -i >/dev/null 2>&1
  # Debian's fonts-wine is not found by Wine unless the files are in the prefix.
  cp /usr/share/wine/fonts/* "$t/drive_c/windows/Fonts/"
  # Every program of the prefix joins one virtual desktop, with a taskbar and a tray.
  WINEPREFIX=$t "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$KORVALEN_DESKTOP" /f >/dev/null 2>&1
  WINEPREFIX=$t "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$KORVALEN_DESKTOP" /d "$KORVALEN_DESKTOP_SIZE" /f >/dev/null 2>&1
  # Focus rectangles only after keyboard use, as Windows has it by default; a new Wine
  # prefix asks for them always (bit 5 of the mask).
  WINEPREFIX=$t "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v UserPreferencesMask /t REG_BINARY /d 1000028012000000 /f >/dev/null 2>&1
  WINEPREFIX=$t wineserver -w
  echo "$KORVALEN_TEMPLATE_VERSION" >"$t/.korvalen-template"
}

# The driver stand-in (simulator/), installed into the run's prefix as the demand-start
# kernel service KorvalenSim and started. Its 64-bit driver and tool come from the x86_64
# tree, which is brought up to date first (so a fresh clone works whatever is built).
_wine_install_standin() {
  local build=$KORVALEN_ROOT/build/win64
  if [ ! -f "$build/build.ninja" ]; then
    (cd "$KORVALEN_ROOT" && cmake --preset win64 >/dev/null) || return 1
  fi
  cmake --build "$build" --target korvalen_sim_driver korvalen-sim >/dev/null || {
    echo "wine-env: could not build the driver stand-in" >&2
    return 1
  }
  cp "$build/simulator/korvalen-sim.sys" "$WINEPREFIX/drive_c/windows/system32/drivers/"
  # The 64-bit loader registers a native service; plain wine would make it a WOW64 one.
  "$WINE64" sc create KorvalenSim type= kernel start= demand \
    binPath= 'C:\windows\system32\drivers\korvalen-sim.sys' >/dev/null 2>&1
  # Starts the service and waits, with a deadline, for the stand-in's device.
  "$WINE64" "$build/simulator/korvalen-sim.exe" start || {
    echo "wine-env: the driver stand-in did not start" >&2
    return 1
  }
}
KORVALEN_WINE_UP_HOOKS+=(_wine_install_standin)

wine_env_up() {
  if [ -n "${1:-}" ]; then
    export DISPLAY=$1
  else
    _wine_start_xvfb || return 1
  fi
  _wine_make_template || return 1
  # A second environment beside the first (scripts/test's second half of a tree's tests)
  # takes another prefix made from the same template.
  export WINEPREFIX=$KORVALEN_WINE_DIR/${KORVALEN_WINE_PREFIX_NAME:-prefix}
  rm -rf "$WINEPREFIX"
  cp -a "$KORVALEN_WINE_DIR/template" "$WINEPREFIX"
  # A server that stays up: test processes then start in a few milliseconds.
  wineserver -p 30
  "$WINE64" cmd /c exit >/dev/null 2>&1
  for hook in "${KORVALEN_WINE_UP_HOOKS[@]:-}"; do
    [ -n "$hook" ] || continue
    "$hook" || return 1
  done
  return 0
}

# The display scale (dots per inch) of the programs started from now on in the run's
# prefix: Wine reads HKCU\Control Panel\Desktop LogPixels when a program starts. 96 (or
# nothing) removes the value, the prefix's default.   wine_set_scale [DPI]
wine_set_scale() {
  local dpi=${1:-96}
  if [ "$dpi" = 96 ]; then
    "$WINE64" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
  else
    "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  fi
}

wine_env_down() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "${KORVALEN_XVFB_PID:-}" ]; then
    kill "$KORVALEN_XVFB_PID" 2>/dev/null || true
    wait "$KORVALEN_XVFB_PID" 2>/dev/null || true
    KORVALEN_XVFB_PID=
  fi
}
