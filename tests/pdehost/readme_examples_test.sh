#!/usr/bin/env bash
# Runs every pdehost example of README.md (each indented block that starts with ./run-main) with
# the built program, and checks that it succeeds and that every line of the output the README
# shows right after it (lines holding "..." aside) is in what the program printed.
#
# Usage: readme_examples_test.sh PDEHOST SOURCE_DIR
set -u
pdehost=$1
source_dir=$2
cd "$source_dir" || exit 1

passed=0
failed=0
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

# The README's indented blocks, numbered, one file each, without their four-blank indent.
awk -v dir="$work" '
  /^    / { if (!inblock) { count++; inblock = 1 } sub(/^    /, ""); print > (dir "/block" count); next }
  /^$/ { next }
  { inblock = 0 }
' README.md

for block in $(ls "$work"/block* | sort -V); do
  head -1 "$block" | grep -q '^\./run-main' || continue
  command=$(sed -e ':a' -e '/\\$/N; s/\\\n//; ta' "$block" | head -1)
  command=${command/#.\/run-main/\"\$pdehost\"}
  if ! output=$(eval "$command" 2>&1); then
    echo "FAIL: $command"
    echo "$output" | tail -5
    failed=$((failed + 1))
    continue
  fi
  number=${block##*block}
  expected="$work/block$((number + 1))"
  missing=0
  if [ -f "$expected" ] && ! head -1 "$expected" | grep -q '^\./'; then
    while IFS= read -r line; do
      trimmed=$(echo "$line" | sed 's/^ *//; s/ *$//')
      [ -z "$trimmed" ] && continue
      [[ $trimmed == *"..."* ]] && continue
      if ! grep -qF -- "$trimmed" <<<"$output"; then
        echo "FAIL: $command"
        echo "  the README shows '$trimmed', the program did not print it"
        missing=1
      fi
    done <"$expected"
  fi
  if [ "$missing" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
