#!/usr/bin/env bash
# Saved settings and presets against a private CUPS server (private_cupsd.sh): pdehost saves the
# panes' settings as the user's defaults for a queue and as presets (instances), and then plain lp,
# not our programs, prints with them; lpoptions lists them; opening a preset shows them in the
# panes; the private-print document number is never written; options the dialog does not know
# survive; deleting a preset removes that one only; a save that cannot be written changes nothing.
# libcups writes the user's file under HOME and reads the system's under CUPS_SERVERROOT: both
# point into this script's own folder, for every client program it runs.
#
# Usage: saved_settings_test.sh PDEHOST SOURCE_DIR PLUGIN_DIR
# Exit status 0 when every check passed, 1 otherwise, 77 (skipped) when cupsd or the PostScript
# filter pstops is not installed.
# The helpers run through check, which shellcheck does not follow.
# shellcheck disable=SC2317
set -u

pdehost=$1
source_dir=$2
plugins=$3
printer_7140k=$source_dir/printers/QUORVEN-v-DX7140K.ppd
# shellcheck source=private_cupsd.sh
. "$(dirname "$0")/private_cupsd.sh"
# shellcheck source=checks.sh
. "$(dirname "$0")/checks.sh"
program=pdehost

work=$(mktemp -d /tmp/pdehost-saved-settings-test.XXXXXX) || { echo "cannot create a temporary folder"; exit 1; }
# The server's filters run as another user: they must reach the spool below this folder.
chmod 755 "$work"
trap 'stop_server; [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT

find_cupsd_or_skip
write_page "$work/page.ps"
start_private_server || { fail "the private CUPS server did not start"; finish; }
check "the 7140K queue is added" add_queue q7140 "$printer_7140k"

# Every client program runs with the private server and the test's own settings folders.
mkdir -p "$work/home/etc"
export CUPS_SERVER=$server HOME=$work/home CUPS_SERVERROOT=$work/home/etc
# libcups 2.4 writes the file of HOME, root's runs included.
lpfile=$HOME/.cups/lpoptions
run_pdehost() { "$pdehost" --plugins "$plugins" "$@" >"$work/stdout" 2>"$work/stderr"; }

# json_field EXPRESSION: a value of pdehost's JSON document on standard output, by a Python
# expression over it (d).
json_field() { python3 -c "import json,sys; d=json.load(open(sys.argv[1])); print($1)" "$work/stdout"; }

# lp_prints DESTINATION NAME: plain lp prints the page to the destination; its printer-bound file
# is kept as $work/NAME.ps.
lp_prints() {
  local job
  lp -d "$1" "$work/page.ps" >"$work/lp.out" 2>&1 || { cat "$work/lp.out"; return 1; }
  job=$(submitted_job_id q7140 "$work/lp.out")
  [ -n "$job" ] && wait_for_job q7140 "$job" || return 1
  cp "$work/out/q7140.ps" "$work/$2.ps"
}

# The PPD's option keywords, to tell the preset's options from the attributes lpoptions adds.
sed -n 's/^\*OpenUI \*\([^/:]*\).*/\1/p' "$printer_7140k" | sort >"$work/ppd-options"
# ppd_pairs: standard input's KEY=VALUE pairs (one a line) whose key is a PPD option, sorted.
ppd_pairs() { awk -F= 'NR == FNR { keys[$1]; next } ($1 in keys)' "$work/ppd-options" - | sort; }

## An option of the user's that the dialog does not know, saved before.
lpoptions -p q7140 -o frobnicate=yes >/dev/null
check "an lpoptions entry of the user's own is there" grep -q "frobnicate=yes" "$lpfile"

## Save as Default: a private job with a department code and a colour adjustment.
save_default() {
  run_pdehost --queue q7140 --save-default --do "select jobmode 5 4" --do "selection jobmode 6 0 5" \
    --do "type jobmode 6 97531" --do "select jobmode 7 2" --do "selection jobmode 8 0 5" --do "type jobmode 8 802" \
    --do "slide coloradjust 10 -3" --do "slide coloradjust 17 2"
}
save_default
status=$?
check "Save as Default: exit status 0" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/stderr"
check "Save as Default: says where, and that the document number was left out" \
  grep -qxF "Saved: your defaults for q7140 in $lpfile (not the private-print document number: it is asked for each job)" \
  "$work/stdout"
for pair in PrintMode=Private DeptCode=True DCDigit3=8 DCDigit5=2 ColorBalanceCyan=-3 SaturationQRV=2 frobnicate=yes; do
  check "the defaults in the file hold $pair" grep -q "^Dest q7140 .*\b$pair\b" "$lpfile"
done
check "the document number is not in the file" test "$(grep -c DINDigit "$lpfile")" -eq 0
cp "$lpfile" "$work/lpoptions-first"
save_default
check "saving twice gives the same file" cmp -s "$work/lpoptions-first" "$lpfile"

if lp_prints q7140 default; then
  pass
  printf '%s\n' DeptCode=True DCDigit3=8 ColorBalanceCyan=-3 SaturationQRV=2 PrintMode=Private >"$work/default-options"
  check "plain lp prints with the saved defaults' feature code" \
    options_reach_printer "$printer_7140k" "$work/default.ps" "$work/default-options"
else
  fail "plain lp prints to q7140 with the saved defaults"
fi

## Opening the queue starts from its saved settings; -o still goes over them.
run_pdehost --json --queue q7140 -o SaturationQRV=-1
check "the saved department code is in the ticket" test "$(json_field 'd["ticket"]["DCDigit3"]')" = 8
check "-o goes over a saved setting" test "$(json_field 'd["ticket"]["SaturationQRV"]')" = -1
check "the pane shows the saved print mode" \
  test "$(json_field '[c["selectedText"] for p in d["panes"] if p["name"]=="jobmode" for c in p["controls"] if c["id"]==5][0]')" = Private

## The queue's own defaults, as the administrator set them on the server (lpadmin -o rewrites the
## queue's PPD), reach the panes: without them the panes' own defaults would go out instead.
check "a second queue is added" add_queue qdefaults "$printer_7140k"
lpadmin -p qdefaults -o ColorBalanceBlack=2 -o DeptCode=True
run_pdehost --json --queue qdefaults
check "the server's default reaches the ticket" test "$(json_field 'd["ticket"]["ColorBalanceBlack"]')" = 2
check "the colour pane shows the server's default" \
  test "$(json_field '[c["value"] for p in d["panes"] if p["name"]=="coloradjust" for c in p["controls"] if c["id"]==13][0]')" = 2
check "the job carries the server's default department-code switch" \
  test "$(json_field '[o for o in d["options"] if o.startswith("DeptCode=")][0]')" = DeptCode=True

## A preset: the committed options, exactly what the job carries.
run_pdehost --json --queue q7140 --save-preset draft --do "select jobmode 5 2" --do "slide coloradjust 11 4" \
  --do "select jobmode 7 1"
status=$?
check "Save preset: exit status 0" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/stderr"
check "Save preset: the JSON names it" test "$(json_field 'd["saved"]["destination"]')" = q7140/draft
json_field '"\n".join(o for o in d["options"] if not o.startswith("DINDigit"))' | ppd_pairs >"$work/job-options"
lpoptions -p q7140/draft | tr ' ' '\n' | ppd_pairs >"$work/preset-options"
check "lpoptions lists the preset's options, the same as the job's" diff "$work/job-options" "$work/preset-options"
check "the preset holds its own choices" grep -qx "ColorBalanceMagenta=4" "$work/preset-options"
run_pdehost --queue q7140 --save-preset other --do "select jobmode 9 2"
check "a second preset is saved" test $? -eq 0
grep "^Dest q7140/other " "$lpfile" >"$work/other-line"
check "the defaults kept what the dialog does not know" grep -q "^Dest q7140 .*frobnicate=yes" "$lpfile"

if lp_prints q7140/draft preset; then
  pass
  printf '%s\n' PrintMode=Hold ColorBalanceMagenta=4 DeptCode=False >"$work/draft-options"
  check "plain lp -d q7140/draft prints with the preset's feature code" \
    options_reach_printer "$printer_7140k" "$work/preset.ps" "$work/draft-options"
else
  fail "plain lp prints to q7140/draft"
fi

## Opening the preset shows its options in the panes.
run_pdehost --json --queue q7140/draft
check "opening the preset: exit status 0" test $? -eq 0
check "the printer is the preset" test "$(json_field 'd["printer"]["preset"]')" = draft
check "the colour pane shows the preset's magenta" \
  test "$(json_field '[c["value"] for p in d["panes"] if p["name"]=="coloradjust" for c in p["controls"] if c["id"]==11][0]')" = 4
check "the job-mode pane shows the preset's print mode" \
  test "$(json_field '[c["selectedText"] for p in d["panes"] if p["name"]=="jobmode" for c in p["controls"] if c["id"]==5][0]')" = Hold

## A private preset starts with the pane's own document number, as an empty ticket would.
run_pdehost --queue q7140 --save-preset private --do "select jobmode 5 4" --do "selection jobmode 6 0 5" \
  --do "type jobmode 6 13579"
run_pdehost --json --queue q7140/private
check "the private preset opens with the pane's default number, not the one typed" \
  test "$(json_field '[c["text"] for p in d["panes"] if p["name"]=="jobmode" for c in p["controls"] if c["id"]==6][0]')" = 24680
check "no document number in the file after three saves" test "$(grep -c DINDigit "$lpfile")" -eq 0

## Deleting a preset removes that one only.
run_pdehost --queue q7140 --delete-preset draft
check "delete: exit status 0" test $? -eq 0
check "delete: says so" grep -qxF "Deleted the preset q7140/draft from $lpfile" "$work/stdout"
check "the deleted preset is gone from the file" test "$(grep -c "q7140/draft" "$lpfile")" -eq 0
check "the other preset's line is as it was saved, after two more saves and a delete" \
  diff "$work/other-line" <(grep "^Dest q7140/other " "$lpfile")
check "the defaults stay" grep -q "^Dest q7140 .*DeptCode=True" "$lpfile"
run_pdehost --queue q7140 --delete-preset draft
check "deleting it again: exit status 1" test $? -eq 1
check "deleting it again: says there is no such preset" one_line_error "the queue 'q7140' has no preset 'draft'"
run_pdehost --queue q7140/draft
check "opening a deleted preset: exit status 1" test $? -eq 1
check "opening a deleted preset: says there is none" one_line_error "the queue 'q7140' has no preset 'draft'"

## Names CUPS does not take, and a file that cannot be written.
run_pdehost --queue q7140 --save-preset "two words"
check "a preset name with a blank: exit status 2" test $? -eq 2
check "a preset name with a blank: says why" one_line_error "--save-preset: a preset name cannot hold blanks"
run_pdehost --queue "q7140/a#b"
check "a preset name with '#': refused" one_line_error "a preset name cannot hold '#'"
cp "$lpfile" "$work/lpoptions-before"
mkdir -p "$work/blocked/etc/lpoptions" "$work/blocked/.cups/lpoptions"
HOME=$work/blocked CUPS_SERVERROOT=$work/blocked/etc run_pdehost --queue q7140 --save-default --do "select jobmode 9 2"
check "an unwritable file: exit status 1" test $? -eq 1
check "an unwritable file: says which and why" one_line_error "nothing was saved: cannot write "
check "an unwritable file: the user's own file is untouched" cmp -s "$work/lpoptions-before" "$lpfile"

## The README's commands as a newcomer types them, in a home of their own: each one succeeds, and
## plain lp prints with the saved department code.
awk '/^## Use your settings everywhere/ { on = 1; next }
     on && /^    / { sub(/^    /, ""); print; block = 1; next }
     on && block { exit }' "$source_dir/README.md" >"$work/readme-commands"
check "the README shows the commands" test "$(line_count "$work/readme-commands")" -ge 6
mkdir -p "$work/readme-home"
while IFS= read -r command; do
  command=${command//127.0.0.1:8631/$server}
  command=${command//build\/host\/pdehost\/pdehost/\"\$pdehost\" --plugins \"\$plugins\"}
  command=${command//page.ps/\"\$work\/page.ps\"}
  (HOME=$work/readme-home eval "$command") >"$work/readme.out" 2>&1
  check "README: $command" test $? -eq 0
  [[ $command == lp\ -d\ q7140\ * ]] && submitted_job_id q7140 "$work/readme.out" >"$work/readme-job"
done <"$work/readme-commands"
check "README: the saved defaults were written under its HOME" grep -q "^Dest q7140 .*DCDigit3=8" "$work/readme-home/.cups/lpoptions"
job=$(head -1 "$work/readme-job")
if [ -n "$job" ] && wait_for_job q7140 "$job"; then
  printf '%s\n' DeptCode=True DCDigit3=8 DCDigit5=2 ColorBalanceCyan=-3 >"$work/readme-options"
  check "README: plain lp prints with the saved department code" \
    options_reach_printer "$printer_7140k" "$work/out/q7140.ps" "$work/readme-options"
else
  fail "README: the lp job completes"
fi

stop_server
finish
