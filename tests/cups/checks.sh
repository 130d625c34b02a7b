# Counting checks for the printing test scripts, sourced by them. Each check passes or fails on
# its own; finish reports the counts and ends the script, 0 only when none failed. The sourcing
# script sets program (the name its program's messages start with) and work (its temporary
# folder, where the program's standard error goes to $work/stderr).
# shellcheck shell=bash disable=SC2154

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

line_count() { wc -l <"$1" | tr -d ' '; }

# one_line_error EXPECTED: the program's standard error was one line of its own, saying EXPECTED.
one_line_error() {
  local expected=$1
  [ "$(line_count "$work/stderr")" -eq 1 ] && grep -q "^$program: " "$work/stderr" &&
    grep -qF -- "$expected" "$work/stderr" && return 0
  echo "  standard error was:"; sed 's/^/    /' "$work/stderr"
  return 1
}
