# Sourced by scripts/test: the i686 Wine tests where i686 programs run only under emulation.
# Uses scripts/test's logs, ctest_extra, run_ctest, count_ctest and its totals.

# Where i686 programs run only under emulation: the static checks and single-process
# probes as usual, then each i686 Wine test executable as one whole process (label
# whole32), its tests counted from GoogleTest's XML report.
run_i686_whole_suites() {
  local xml=$root/build/win32/whole-suites
  echo "   this kernel runs no 32-bit programs: each i686 Wine suite runs as one process under qemu-i386"
  # A crash under qemu would start Wine's debugger, emulated too, which then waits until
  # the entry's time is up: without it a crashed process ends, and its test fails at once.
  local view
  for view in /reg:64 /reg:32; do
    "$WINE64" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /f "$view" >/dev/null 2>&1
  done
  # Under qemu a Wine process now and then loses its server connection as it ends, and
  # its exit code with it: the failure probe, one process, gets three tries here. A probe
  # that never fails still fails all three.
  run_ctest win32 "$logs/ctest-win32.log" -j 1 -LE '^wine$|whole32' --repeat until-pass:3 \
    "${ctest_extra[@]}"
  count_ctest "$logs/ctest-win32.log"
  rm -rf "$xml"
  mkdir -p "$xml"
  run_ctest win32 "$logs/ctest-win32-whole.log" -j 1 -L whole32 "${ctest_extra[@]}"
  python3 scripts/lib/whole-suites.py "$xml" "$logs/ctest-win32-whole.log" >"$logs/whole-suites.txt"
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
