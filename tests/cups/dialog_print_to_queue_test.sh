#!/usr/bin/env bash
# Prints with the desktop dialog to a queue of a private CUPS server (private_cupsd.sh): a script
# sets a private job in the window and presses Print, and the file the printer would receive
# must carry the feature code of every option the panes wrote. The window is on an Xvfb display
# of this script's own. Also what goes wrong at the server: one line, a non-zero exit.
#
# Usage: dialog_print_to_queue_test.sh PDEDIALOG SOURCE_DIR PLUGIN_DIR
# Exit status 0 when every check passed, 1 otherwise, 77 (skipped) when cupsd, the PostScript
# filter pstops or Xvfb is not installed.
# The helpers run through check, which shellcheck does not follow.
# shellcheck disable=SC2317
set -u

pdedialog=$1
source_dir=$2
plugins=$3
printer_7140k=$source_dir/printers/QUORVEN-v-DX7140K.ppd
printer_8250k=$source_dir/printers/QUORVEN-v-DX8250K.ppd
# shellcheck source=private_cupsd.sh
. "$(dirname "$0")/private_cupsd.sh"
display_start_limit=15

# shellcheck source=checks.sh
. "$(dirname "$0")/checks.sh"
program=pdedialog

skip() {
  echo "SKIP: $1; $passed passed, $failed failed"
  [ "$failed" -eq 0 ] && exit 77 || exit 1
}

work=$(mktemp -d /tmp/pdedialog-cups-test.XXXXXX) || { echo "cannot create a temporary folder"; exit 1; }
# The server's filters run as another user: they must reach the spool below this folder.
chmod 755 "$work"
xvfb_pid=

stop_display() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  fi
}
trap 'stop_server; stop_display; [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT

cat >"$work/small.ps" <<'EOF'
%!PS-Adobe-3.0
%%Pages: 1
%%EndComments
%%Page: 1 1
/Helvetica findfont 12 scalefont setfont
72 720 moveto (QUORVEN dialog test page) show
showpage
%%EOF
EOF

# pdedialog with the server chosen by CUPS_SERVER, and a temporary folder of its own so that a
# PPD left behind would be seen. Standard output and error go to $work/stdout and $work/stderr.
mkdir -p "$work/client"
# libcups reads (and the saving lines write) the user's options under HOME and the system's under
# CUPS_SERVERROOT: both are the test's own.
mkdir -p "$work/home/etc"
run_pdedialog() {
  local server_name=$1
  shift
  CUPS_SERVER=$server_name TMPDIR=$work/client HOME=$work/home CUPS_SERVERROOT=$work/home/etc \
    "$pdedialog" --plugins "$plugins" "$@" >"$work/stdout" 2>"$work/stderr"
}


# Once the window is open the plug-ins write their own diagnostics (CFShow) to standard error
# too: of pdedialog's own lines there is one, and it says what went wrong.
one_own_error() {
  local expected=$1
  [ "$(grep -c '^pdedialog: ' "$work/stderr")" -eq 1 ] && grep '^pdedialog: ' "$work/stderr" | grep -qF -- "$expected" &&
    return 0
  echo "  standard error was:"; sed 's/^/    /' "$work/stderr"
  return 1
}

# json_member FILE OBJECT KEY: the value of "KEY" inside the top-level "OBJECT" of a state file,
# as the JSON writer lays it out (two spaces per level, one member a line); a string's quotes
# are removed, its escapes kept.
json_member() {
  sed -n "/^  \"$2\": {\$/,/^  }/s/^    \"$3\": \(.*\)\$/\1/p" "$1" | sed -e 's/,$//' -e 's/^"\(.*\)"$/\1/'
}

# The job options of a state file ("options": ["KEY=VALUE", ...]), one a line.
state_options() { sed -n '/^  "options": \[$/,/^  \]/s/^    "\(.*\)",\{0,1\}$/\1/p' "$1"; }

# result_names_job ID SERVER: the result window's text (also on standard output) leads with the
# job, its queue, server and id.
result_names_job() {
  [ -n "$1" ] && grep -qxF "Job: q7140-$1 (queue q7140 on $2, id $1, title \"QUORVEN dialog job\")" \
    "$work/stdout" && return 0
  echo "  standard output was:"; sed 's/^/    /' "$work/stdout" | head -8
  return 1
}

## A document that cannot be read is refused before any server is asked (the other wrong
## combinations of options are the unit tests' part).
run_pdedialog 127.0.0.1:1 --queue q7140 --print "$work/missing.ps"
check "a missing file to print: exit status 2" test $? -eq 2
check "a missing file to print is named" one_line_error "cannot read the file to print: $work/missing.ps"

find_cupsd_or_skip
command -v Xvfb >/dev/null || skip "Xvfb is not installed (Debian package xvfb)"

start_private_server || { fail "the private CUPS server did not start"; finish; }
check "the 7140K queue is added" add_queue q7140 "$printer_7140k"
check "the 8250K queue is added" add_queue q8250 "$printer_8250k"
check "a queue without a PPD is added" add_queue qraw ""
check "a queue that takes no jobs is added" add_queue qclosed "$printer_7140k"
cupsreject -h "$server" qclosed

## A wrong server or queue is told before any window opens: no display is given.
dead_port=$(free_port)
(unset DISPLAY; run_pdedialog "127.0.0.1:$dead_port" --queue q7140 --print "$work/small.ps")
check "no server: exit status 1" test $? -eq 1
check "no server: one line naming the server" one_line_error "no CUPS server is running at 127.0.0.1:$dead_port"

(unset DISPLAY; run_pdedialog "$server" --queue nosuch --print "$work/small.ps")
check "an unknown queue: exit status 1" test $? -eq 1
check "an unknown queue: one line naming it" one_line_error "the CUPS server at $server has no queue named 'nosuch'"

(unset DISPLAY; run_pdedialog "$server" --queue qraw --print "$work/small.ps")
check "a queue without a PPD: exit status 1" test $? -eq 1
check "a queue without a PPD: one line saying so" one_line_error "the queue 'qraw' on $server has no PPD"
check "a queue without a PPD: no temporary file left" test -z "$(ls -A "$work/client")"

## The display: Xvfb picks a free display number and writes it once it accepts connections.
start_display() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq $((display_start_limit * 10))); do
    if grep -q '^[0-9][0-9]*$' "$work/display"; then
      DISPLAY=":$(cat "$work/display")"
      export DISPLAY
      # No accessibility bus on a test display: GTK would look for one.
      export NO_AT_BRIDGE=1
      return 0
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  stop_display
  return 1
}
start_display || { fail "Xvfb did not start"; finish; }

## A private job with a document number and a department code, and a colour slider moved, all
## through the window's script; Print writes the panes into the ticket and submits the page.
cat >"$work/private-job" <<'EOF'
select jobmode 5 4
selection jobmode 6 0 5
type jobmode 6 97531
select jobmode 7 2
selection jobmode 8 0 5
type jobmode 8 802
slide coloradjust 12 -3
print
quit
EOF
run_pdedialog "$server" --queue q7140 --print "$work/small.ps" --title "QUORVEN dialog job" \
  --script "$work/private-job" --state "$work/state.json"
status=$?
check "the private job from the window: exit status 0" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/stderr"
check "the private job from the window: no error" test "$(grep -c '^pdedialog: ' "$work/stderr")" -eq 0
job=$(json_member "$work/state.json" job id)
check "the state names the job id" test -n "$job"
check "the state names the job's queue" test "$(json_member "$work/state.json" job queue)" = q7140
check "the state names the job's server" test "$(json_member "$work/state.json" job server)" = "$server"
check "the state names the job's title" test "$(json_member "$work/state.json" job title)" = "QUORVEN dialog job"
check "the state's printer is the queue" test "$(json_member "$work/state.json" printer queue)" = q7140
check "the result names the job, queue and server" result_names_job "$job" "$server"
check "the lp command line names the queue" grep -q "^  lp -d q7140 -o " "$work/stdout"
check "the downloaded PPD is removed" test -z "$(ls -A "$work/client")"
state_options "$work/state.json" >"$work/options"
if [ -n "$job" ] && wait_for_job q7140 "$job"; then
  pass
  output=$work/out/q7140.ps
  check "the code of every job option reaches the printer" options_reach_printer "$printer_7140k" "$output" \
    "$work/options"
  check "the private job reaches the printer" expect_choices "$printer_7140k" "$output" "$work/options" \
    PrintMode=Private DeptCode=True
  check "the document number 97531 reaches the printer digit by digit" expect_choices "$printer_7140k" "$output" \
    "$work/options" DINDigit1=9 DINDigit2=7 DINDigit3=5 DINDigit4=3 DINDigit5=1
  check "the department code 00802 reaches the printer digit by digit" expect_choices "$printer_7140k" "$output" \
    "$work/options" DCDigit1=0 DCDigit2=0 DCDigit3=8 DCDigit4=0 DCDigit5=2
  check "the moved slider reaches the printer" expect_choices "$printer_7140k" "$output" "$work/options" \
    ColorBalanceYellow=-3
  check "the job title reaches the printer" grep -qF "%%Title: (QUORVEN dialog job)" "$output"
else
  fail "the private job completes"
fi

## The General page and the Printer Options through the window's script verbs: pages 2-3 of a
## three-page document, twice and collated, two-sided along the short edge on A3.
printf '%%!PS-Adobe-3.0\n%%%%Pages: 3\n%%%%EndComments\n%%%%Page: 1 1\nshowpage\n%%%%Page: 2 2\nshowpage\n%%%%Page: 3 3\nshowpage\n%%%%EOF\n' \
  >"$work/three.ps"
printf 'copies 2\npages 2-3\nopen options-General\noption Duplex DuplexTumble\noption PageSize A3\nprint\nquit\n' \
  >"$work/settings-job"
run_pdedialog "$server" --queue q8250 --print "$work/three.ps" --script "$work/settings-job" --state "$work/settings.json"
status=$?
check "the General and Printer Options job: exit status 0" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/stderr"
check "the state records the General page's values" \
  test "$(json_member "$work/settings.json" general copies) $(json_member "$work/settings.json" general pages)" = "2 2-3"
check "the job options are sent as chosen" grep -q "^  lp -d q8250 .*-o collate=true -o copies=2 -o page-ranges=2-3 " \
  "$work/stdout"
job=$(json_member "$work/settings.json" job id)
if [ -n "$job" ] && wait_for_job q8250 "$job"; then
  pass
  output=$work/out/q8250.ps
  check "two-sided from the Printer Options reaches the printer" grep -qF "<</Duplex true/Tumble true>>setpagedevice" "$output"
  check "A3 from the Printer Options reaches the printer" grep -qF "<</PageSize[842 1191]/ImagingBBox null>>setpagedevice" "$output"
  check "pages 2 and 3 from the General page reach the printer twice, collated" \
    test "$(sed -n 's/^%%Page: \([0-9]*\) [0-9]*$/\1/p' "$output" | tr '\n' ' ')" = "2 3 2 3 "
else
  fail "the General and Printer Options job completes"
fi

## A refused job, in German: the result window says so, one line on standard error, exit 1.
printf 'select jobmode 5 2\nprint\nquit\n' >"$work/refused-job"
run_pdedialog "$server" --lang de --queue qclosed --print "$work/small.ps" --script "$work/refused-job" \
  --state "$work/refused.json"
check "a refused job: exit status 1" test $? -eq 1
check "a refused job: one line naming the queue" one_own_error "refused the job for the queue 'qclosed'"
check "a refused job: the result says it was not printed" grep -q "^Auftrag: nicht gedruckt: .*'qclosed'" "$work/stdout"
check "a refused job: the state holds the error" grep -qF "refused the job for the queue 'qclosed'" \
  <(json_member "$work/refused.json" job error)
check "a refused job: the state has no job id" test -z "$(json_member "$work/refused.json" job id)"
check "a refused job: no temporary file left" test -z "$(ls -A "$work/client")"

## A conflict with the PPD's constraints keeps the job back; Print Anyway sends it, forced.
printf 'select imaging 9 2\nselect imaging 20 2\nprint\nprint anyway\nquit\n' >"$work/conflict-job"
run_pdedialog "$server" --queue q8250 --print "$work/small.ps" --script "$work/conflict-job" --state "$work/conflict.json"
check "a conflict: the job goes out after Print Anyway" test $? -eq 0
check "a conflict: Print is refused first" grep -qx "print: refused" "$work/stdout"
check "a conflict: the refusal names both sides" grep -qF "Resolution=1200dpi conflicts with ImageType=Photo" "$work/stderr"
check "a conflict: the forced job is recorded" grep -q '"forced": true' "$work/conflict.json"
check "a conflict: the forced job has an id" test -n "$(json_member "$work/conflict.json" job id)"

## Saved settings from the window: Save as Default with a private job (the document number is
## marked as never saved), a preset saved, another setting moved and the preset chosen again.
# state_value FILE EXPRESSION: a value of a state file, by a Python expression over it (d).
state_value() { python3 -c "import json,sys; d=json.load(open(sys.argv[1])); print($2)" "$1"; }
printf '%s\n' "select jobmode 5 4" "selection jobmode 6 0 5" "type jobmode 6 97531" "select jobmode 7 2" \
  "save default" "save preset draft" "slide coloradjust 12 2" "preset draft" quit >"$work/save-script"
run_pdedialog "$server" --queue q7140 --script "$work/save-script" --state "$work/saved.json"
status=$?
check "saving from the window: exit status 0" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/stderr"
lpfile=$work/home/.cups/lpoptions
check "Save as Default writes the department code for q7140" grep -q "^Dest q7140 .*DeptCode=True" "$lpfile"
check "Save As writes the preset" grep -q "^Dest q7140/draft .*PrintMode=Private" "$lpfile"
check "the window writes no document number" test "$(grep -c DINDigit "$lpfile")" -eq 0
check "the window says the document number was not saved" \
  grep -qF "save default: Saved as your defaults for q7140: every application prints with them. The document number is not saved" \
  "$work/stdout"
check "the preset menu lists and shows the preset" \
  test "$(state_value "$work/saved.json" '" ".join(d["presets"]["names"]) + "|" + d["presets"]["chosen"]')" = "draft|draft"
check "the printer menu lists the preset and shows it" \
  test "$(state_value "$work/saved.json" 'd["printerMenu"]["chosen"] + "|" + str("q7140/draft" in [c["name"] for c in d["printerMenu"]["choices"]])')" = "q7140/draft|True"
check "choosing the preset puts its value back into the pane" \
  test "$(state_value "$work/saved.json" '[c["value"] for p in d["panes"] if p["name"]=="coloradjust" for c in p["controls"] if c["id"]==12][0]')" = 0
check "choosing the preset: the document number is the pane's own again" \
  test "$(state_value "$work/saved.json" '[c["text"] for p in d["panes"] if p["name"]=="jobmode" for c in p["controls"] if c["id"]==6][0]')" = 24680

printf '%s\n' "select jobmode 5 4" "save default" quit >"$work/mark-script"
run_pdedialog "$server" --queue q7140 --script "$work/mark-script" --state "$work/marked.json"
check "a saved private job marks the document number's field" \
  test "$(state_value "$work/marked.json" 'd["presets"]["neverSavedMark"]')" = True
printf '%s\n' "delete preset draft" quit >"$work/delete-script"
run_pdedialog "$server" --queue q7140/draft --script "$work/delete-script" --state "$work/deleted.json"
check "the window opens a preset and deletes it: exit status 0" test $? -eq 0
check "the deleted preset leaves the file" test "$(grep -c "q7140/draft" "$lpfile")" -eq 0
check "the deleted preset leaves the menus" \
  test "$(state_value "$work/deleted.json" 'str(d["presets"]["names"]) + "|" + d["printerMenu"]["chosen"]')" = "[]|q7140"
check "the defaults stay" grep -q "^Dest q7140 .*DeptCode=True" "$lpfile"
rm -f "$lpfile"

## The printer menu lists the server's queues, the default first; a script's printer line and a
## real click (xdotool) change the printer, and the panes of the new one are loaded.
lpadmin -h "$server" -d q8250 >/dev/null 2>&1
menu_names() { sed -n '/^  "printerMenu": {$/,/^  }/s/^        "name": "\(.*\)",\{0,1\}$/\1/p' "$1"; }
accepted_panes() { grep -B6 '^      "accepted": true' "$1" | sed -n 's/^      "name": "\(.*\)",$/\1/p' | tr '\n' ' '; }
printf 'printer q8250\nquit\n' >"$work/switch-script"
run_pdedialog "$server" --queue q7140 --script "$work/switch-script" --state "$work/switch.json"
check "the printer line: exit status 0" test $? -eq 0
check "the menu lists the queues, the default first" test "$(menu_names "$work/switch.json" | tr '\n' ' ')" = \
  "q8250 q7140 qclosed qraw "
check "the printer line: the 8250K queue is chosen" test "$(json_member "$work/switch.json" printerMenu chosen)" = q8250
check "the printer line: the job goes to the 8250K queue" test "$(json_member "$work/switch.json" printer queue)" = q8250
check "the printer line: the imaging pane is loaded" grep -q "imaging" <(accepted_panes "$work/switch.json")
check "the printer line: no server line" test -z "$(json_member "$work/switch.json" printerMenu notice)"

if command -v xdotool >/dev/null; then
  CUPS_SERVER=$server TMPDIR=$work/client HOME=$work/home CUPS_SERVERROOT=$work/home/etc \
    "$pdedialog" --plugins "$plugins" --queue q7140 --state "$work/click.json" \
    >"$work/stdout" 2>"$work/stderr" &
  dialog_pid=$!
  for _ in $(seq 100); do grep -q '"printerMenu": {' "$work/click.json" 2>/dev/null && grep -q '"xid"' "$work/click.json" && break; sleep 0.1; done
  xid=$(sed -n 's/^    "xid": \([0-9]*\),$/\1/p' "$work/click.json")
  area=$(sed -n '/^      "printerMenu": {$/,/^      }/p' "$work/click.json" | tr -d ' \n')
  x=$(sed -n 's/.*"x":\([0-9]*\).*/\1/p' <<<"$area"); y=$(sed -n 's/.*"y":\([0-9]*\).*/\1/p' <<<"$area")
  xdotool mousemove --window "$xid" $((x + 20)) $((y + 10)) click 1 >/dev/null 2>&1
  sleep 0.5
  xdotool key Down Return >/dev/null 2>&1
  for _ in $(seq 100); do [ "$(json_member "$work/click.json" printerMenu chosen)" = q8250 ] && break; sleep 0.1; done
  check "a click in the menu chooses the default queue q8250" test "$(json_member "$work/click.json" printerMenu chosen)" = q8250
  check "after the click the imaging pane is loaded" grep -q "imaging" <(accepted_panes "$work/click.json")
  xdotool key Escape >/dev/null 2>&1
  for _ in $(seq 50); do kill -0 "$dialog_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$dialog_pid" 2>/dev/null
  wait "$dialog_pid"
  check "the clicked dialog ends with Escape: exit status 0" test $? -eq 0
fi

stop_display
stop_server
finish
