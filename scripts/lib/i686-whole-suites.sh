# Sourced by scripts/test: the i686 Wine tests where i686 programs run only under emulation.
# Uses scripts/test's logs, ctest_extra, run_ctest, run_wine_ctest, count_ctest and its totals.

# Where i686 programs run only under emulation: the static checks and single-process
# probes as usual, then each i686 Wine test executable as one whole process (label
# whole32), its tests counted from GoogleTest's XML report.
run_i686_whole_suites() {
  local xml=$root/build/win32/whole-suites
  echo "   this kernel runs no 32-bit programs: each i686 Wine suite runs as one process under qemu-i386"
  # Under qemu a Wine process now and then loses its server connection as it ends, and
  # its exit code with it: the failure probe, one process, gets three tries here. A probe
  # that never fails still fails all three.
  run_ctest win32 "$logs/ctest-win32.log" -j 1 -LE '^wine$|whole32' --repeat until-pass:3 \
    "${ctest_extra[@]}"
  count_ctest "$logs/ctest-win32.log"
  rm -rf "$xml"
  mkdir -p "$xml"
  local whole=$logs/ctest-win32-whole.log half halves=()
  run_wine_ctest win32 "$whole" _no_crash_debugger -j 1 -L whole32 "${ctest_extra[@]}"
  # A half that never ran (its environment did not come up) names no suite: one failure.
  for half in $(wine_ctest_logs "$whole"); do
    if grep -qE 'tests? failed out of [0-9]+|No tests were found' "$half" 2>/dev/null; then
      halves+=("$half")
    else
      echo "   $(basename "$half") has no ctest summary: its suites did not run"
      failed=$((failed + 1))
    fi
  done
  cat "${halves[@]}" /dev/null >"$whole.both"
  python3 scripts/lib/whole-suites.py "$xml" "$whole.both" >"$logs/whole-suites.txt"
  sed '$d' "$logs/whole-suites.txt"
  local p f s
  read -r p f s < <(tail -n 1 "$logs/whole-suites.txt")
  add_summary "${p:-0} passed, ${f:-1} failed, ${s:-0} skipped"
  # Suites left out under emulation (tests/CMakeLists.txt says which run): skipped.
  local suite count
  while read -r suite count; do
    [ -n "$suite" ] || continue
    echo "   $suite: $count tests skipped (not run under emulation)"
    skipped=$((skipped + count))
  done <"$root/build/win32/suites-not-emulated.txt"
}

# A crash under qemu would start Wine's debugger, emulated too, which then waits until the
# entry's time is up: without it a crashed process ends, and its test fails at once.
_no_crash_debugger() {
  local view
  for view in /reg:64 /reg:32; do
    "$WINE64" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /f "$view" >/dev/null 2>&1
  done
}
