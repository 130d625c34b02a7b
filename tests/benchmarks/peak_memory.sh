#!/usr/bin/env bash
# Peak memory (maximum resident set) of pdehost playing the print dialog with every plug-in
# bundle of a build: once per sample printer, each run opening the panes it shows, working a
# control of each, committing and terminating. A run of "pdehost --version" gives the floor that
# the program and its libraries take without any dialog.
# Usage: tests/benchmarks/peak_memory.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."

build_dir="${1:-build}"
pdehost="$build_dir/host/pdehost/pdehost"
plugins="$build_dir/plugins"
[ -x "$pdehost" ] || { echo "no pdehost at $pdehost: build the pdehost target first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time (Debian package time)" >&2; exit 1; }

peak_kb() {
  local report
  report=$(mktemp)
  /usr/bin/time -f "%M" -o "$report" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; rm -f "$report"; exit 1; }
  cat "$report"
  rm -f "$report"
}

echo "floor (pdehost --version): $(peak_kb "$pdehost" --version) kB"
echo "7140K, all bundles (jobmode and coloradjust shown): $(peak_kb "$pdehost" \
  --printer printers/QUORVEN-v-DX7140K.ppd --plugins "$plugins" \
  --do "open jobmode" --do "select jobmode 5 4" --do "open coloradjust" --do "slide coloradjust 12 -3" \
  --do commit --do "close jobmode" --do "close coloradjust") kB"
echo "8250K, all bundles (imaging shown): $(peak_kb "$pdehost" \
  --printer printers/QUORVEN-v-DX8250K.ppd --plugins "$plugins" \
  --do "open imaging" --do "select imaging 5 3" --do "select imaging 20 2" --do commit --do "close imaging") kB"
