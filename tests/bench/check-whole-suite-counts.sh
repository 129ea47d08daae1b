#!/usr/bin/env bash
# The counting of whole-suite runs (scripts/lib/whole-suites.py) on made-up reports: a
# failed test inside a suite, a suite that crashed without a report, one that ended well
# without a report, and a clean suite must come out as the tests they hold, never as
# passes.
set -euo pipefail
counter=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cat >"$dir/log" <<'LOG'
1/4 Test #1: clean_test.WholeSuite ......................   Passed   80.10 sec
2/4 Test #2: broken_test.WholeSuite .....................***Failed  90.00 sec
3/4 Test #3: crashed_test.WholeSuite ....................***Exception: SegFault  5.00 sec
4/4 Test #4: silent_test.WholeSuite .....................   Passed   60.00 sec
LOG
cat >"$dir/clean_test.xml" <<'XML'
<testsuites tests="3" failures="0"><testsuite name="A">
<testcase name="a" status="run" result="completed"/><testcase name="b" status="run" result="completed"/>
<testcase name="c" status="run" result="skipped"><skipped message=""/></testcase>
</testsuite></testsuites>
XML
cat >"$dir/broken_test.xml" <<'XML'
<testsuites tests="2" failures="1"><testsuite name="B">
<testcase name="a" status="run" result="completed"/>
<testcase name="b" status="run" result="completed"><failure message="x"/></testcase>
</testsuite></testsuites>
XML
out=$(python3 "$counter" "$dir" "$dir/log")
echo "$out"
# clean: 2 passed (one skipped); broken: 1 passed, 1 failed; crashed: no report, 1 failed;
# silent: exit code 0 but no report, 1 failed.
[ "$(tail -n 1 <<<"$out")" = "3 3 1" ] || { echo "expected '3 3 1'"; exit 1; }
