# Counting checks for the printing test scripts, sourced by them. Each check passes or fails on
# its own; finish reports the counts and ends the script, 0 only when none failed.
# shellcheck shell=bash

passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

# check DESCRIPTION COMMAND...: a check that passes when the command succeeds.
check() {
  local description=$1
  shift
  if "$@"; then pass; else fail "$description"; fi
}

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}
