#!/usr/bin/env bash
# Prints with pdehost to queues of a private CUPS server on the loopback interface and checks
# that the file the printer would receive carries the feature code of every option the panes
# wrote. The server (private_cupsd.sh) has its own folders in a temporary folder, listens on a
# free port of 127.0.0.1 only, and is stopped at the end.
#
# Usage: print_to_queue_test.sh PDEHOST SOURCE_DIR PLUGIN_DIR
# Exit status 0 when every check passed, 1 otherwise, 77 (skipped) when cupsd or the PostScript
# filter pstops is not installed.
# The helpers run through check, which shellcheck does not follow.
# shellcheck disable=SC2317
set -u

pdehost=$1
source_dir=$2
plugins=$3
printer_7140k=$source_dir/printers/QUORVEN-v-DX7140K.ppd
printer_8250k=$source_dir/printers/QUORVEN-v-DX8250K.ppd
# shellcheck source=private_cupsd.sh
. "$(dirname "$0")/private_cupsd.sh"
pstops=$cups_server_bin/filter/pstops

# shellcheck source=checks.sh
. "$(dirname "$0")/checks.sh"
program=pdehost

work=$(mktemp -d /tmp/pdehost-cups-test.XXXXXX) || { echo "cannot create a temporary folder"; exit 1; }
# The server's filters run as another user: they must reach the spool below this folder.
chmod 755 "$work"

trap 'stop_server; [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT

# A small PostScript page to print.
cat >"$work/page.ps" <<'EOF'
%!PS-Adobe-3.0
%%Pages: 1
%%EndComments
%%Page: 1 1
/Helvetica findfont 12 scalefont setfont
72 720 moveto (QUORVEN test page) show
showpage
%%EOF
EOF

# Three pages: pstops prints a one-page document one-sided whatever Duplex says.
cat >"$work/three.ps" <<'EOF'
%!PS-Adobe-3.0
%%Pages: 3
%%EndComments
%%Page: 1 1
showpage
%%Page: 2 2
showpage
%%Page: 3 3
showpage
%%EOF
EOF

# pdehost with the server chosen by CUPS_SERVER, and a temporary folder of its own so that a PPD
# left behind would be seen. Standard output and error go to $work/stdout and $work/stderr.
# libcups reads the user's options under HOME and the system's under CUPS_SERVERROOT: the test's own.
mkdir -p "$work/client" "$work/home/etc"
run_pdehost() {
  local server=$1
  shift
  CUPS_SERVER=$server TMPDIR=$work/client HOME=$work/home CUPS_SERVERROOT=$work/home/etc \
    "$pdehost" --plugins "$plugins" "$@" >"$work/stdout" 2>"$work/stderr"
}


## What pdehost refuses before it asks any server.
run_pdehost 127.0.0.1:1 --queue q7140 --printer "$printer_7140k"
check "--queue with --printer is refused" test $? -eq 2
check "--queue with --printer names both" one_line_error "--queue and --printer cannot be used together"
run_pdehost 127.0.0.1:1 --print "$work/page.ps"
check "--print without --queue is refused" test $? -eq 2
check "--print without --queue says why" one_line_error "--print needs --queue"
run_pdehost 127.0.0.1:1 --queue q7140 --print "$work/missing.ps"
check "a missing file to print is refused" test $? -eq 2
check "a missing file to print is named" one_line_error "cannot read the file to print: $work/missing.ps"

find_cupsd_or_skip

## Every choice of every pane option reaches the PostScript the filter makes for the printer.
# every_choice_emitted PPD OPTION...: for each choice of each option, pstops run with that choice
# puts the choice's PPD code into its output, and no other choice's code of that option: each
# choice is told apart at the printer.
every_choice_emitted() {
  local ppd=$1 option output index other missing=0
  shift
  for option in "$@"; do
    # The option's choices and their codes, read once.
    local choices=() codes=()
    while IFS=$'\t' read -r choice code; do
      choices+=("$choice")
      codes+=("$code")
    done < <(sed -n "s/^\*$option \([^/:]*\)\/[^:]*: *\"\(.*\)\"$/\1\t\2/p" "$ppd")
    if [ ${#choices[@]} -eq 0 ]; then
      echo "  $(basename "$ppd") has no option $option"
      missing=1
      continue
    fi
    for index in "${!choices[@]}"; do
      if [ -z "${codes[index]}" ]; then
        echo "  $(basename "$ppd"): $option=${choices[index]} has no feature code"
        missing=1
        continue
      fi
      output=$(PPD=$ppd "$pstops" 1 tester title 1 "$option=${choices[index]}" "$work/three.ps" 2>/dev/null)
      if [[ $output != *"${codes[index]}"* ]]; then
        echo "  $(basename "$ppd"): $option=${choices[index]} does not put '${codes[index]}' into the output"
        missing=1
      fi
      for other in "${!choices[@]}"; do
        if [ "$other" != "$index" ] && [ -n "${codes[other]}" ] && [[ $output == *"${codes[other]}"* ]]; then
          echo "  $(basename "$ppd"): $option=${choices[index]} puts the code of $option=${choices[other]} into the output"
          missing=1
        fi
      done
    done
  done
  return "$missing"
}
check "every job-mode, colour-adjustment and paper-handling choice of the 7140K reaches the printer" \
  every_choice_emitted "$printer_7140k" PrintMode DINDigit1 DINDigit2 DINDigit3 DINDigit4 DINDigit5 \
  DeptCode DCDigit1 DCDigit2 DCDigit3 DCDigit4 DCDigit5 BlankPage ColorBalanceCyan ColorBalanceMagenta \
  ColorBalanceYellow ColorBalanceBlack SharpnessQRV BrightnessQRV ContrastQRV SaturationQRV BackgroundAdjustmentQRV \
  PageSize InputSlot Duplex OutputBin
check "every imaging and paper-handling choice of the 8250K reaches the printer" \
  every_choice_emitted "$printer_8250k" ColorType Resolution Halftone DistinguishThinLines TonerSave ImageType \
  BlackOverPrint PureBlackGray PageSize InputSlot Duplex OutputBin

## The private server.
start_private_server || { fail "the private CUPS server did not start"; finish; }

check "the 7140K queue is added" add_queue q7140 "$printer_7140k"
check "the 8250K queue is added" add_queue q8250 "$printer_8250k"
check "a queue without a PPD is added" add_queue qraw ""
check "a queue that takes no jobs is added" add_queue qclosed "$printer_7140k"
cupsreject -h "$server" qclosed

## Printing, and what reaches the printer.
# The id of the job pdehost reported in its text output ("Job: q7140-12 (...").
reported_job_id() { sed -n "s/^Job: $1-\([0-9]*\) .*/\1/p" "$work/stdout"; }

# A private job with a document number and a department code, blank pages printed, and every
# colour-adjustment slider moved. No commit: --print writes the panes into the ticket itself.
run_pdehost "$server" --queue q7140 --print "$work/page.ps" --title "QUORVEN private job" \
  --do "select jobmode 5 4" \
  --do "selection jobmode 6 0 5" --do "type jobmode 6 97531" \
  --do "select jobmode 7 2" \
  --do "selection jobmode 8 0 5" --do "type jobmode 8 802" \
  --do "select jobmode 9 2" \
  --do "slide coloradjust 10 -3" --do "slide coloradjust 11 2" --do "slide coloradjust 12 -1" \
  --do "slide coloradjust 13 4" --do "slide coloradjust 14 5" --do "slide coloradjust 15 -5" \
  --do "slide coloradjust 16 1" --do "slide coloradjust 17 -2" --do "slide coloradjust 18 3"
status=$?
check "the private job on the 7140K queue is printed" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/stderr"
check "the printer is the queue" grep -qF "Printer: QUORVEN v-DX7140KSeries (queue q7140 on $server)" "$work/stdout"
check "the lp command line names the queue" grep -q "^  lp -d q7140 -o " "$work/stdout"
check "the downloaded PPD is removed" test -z "$(ls -A "$work/client")"
job=$(reported_job_id q7140)
check "the job id is reported" test -n "$job"
sed -n '/^Job options:$/,/^Command line:$/p' "$work/stdout" | sed '1d;$d;s/^  //' >"$work/options-7140"
if [ -n "$job" ] && wait_for_job q7140 "$job"; then
  pass
  output=$work/out/q7140.ps
  check "the code of every job option reaches the 7140K" options_reach_printer "$printer_7140k" "$output" "$work/options-7140"
  check "the private job reaches the printer" expect_choices "$printer_7140k" "$output" "$work/options-7140" \
    PrintMode=Private DeptCode=True BlankPage=True
  check "the document number 97531 reaches the printer digit by digit" expect_choices "$printer_7140k" "$output" \
    "$work/options-7140" DINDigit1=9 DINDigit2=7 DINDigit3=5 DINDigit4=3 DINDigit5=1
  check "the department code 00802 reaches the printer digit by digit" expect_choices "$printer_7140k" "$output" \
    "$work/options-7140" DCDigit1=0 DCDigit2=0 DCDigit3=8 DCDigit4=0 DCDigit5=2
  check "the slider values reach the printer" expect_choices "$printer_7140k" "$output" "$work/options-7140" \
    ColorBalanceCyan=-3 ColorBalanceMagenta=2 ColorBalanceYellow=-1 ColorBalanceBlack=4 SharpnessQRV=5 \
    BrightnessQRV=-5 ContrastQRV=1 SaturationQRV=-2 BackgroundAdjustmentQRV=3
  check "the job title reaches the printer" grep -qF "%%Title: (QUORVEN private job)" "$output"
else
  fail "the private job completes"
fi

# Monochrome at 1200 dpi with fine-detail halftone, thin lines and toner save, reported as JSON.
run_pdehost "$server" --json --queue q8250 --print "$work/page.ps" \
  --do "select imaging 5 3" --do "select imaging 20 2" --do "select imaging 6 3" \
  --do "check imaging 7 on" --do "check imaging 8 on" --do commit
status=$?
check "the monochrome job on the 8250K queue is printed" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/stderr"
check "the JSON document names the queue" grep -qF "\"queue\": \"q8250\"" "$work/stdout"
job=$(sed -n '/^  "job": {$/,/^  }/s/^    "id": \([0-9]*\),\{0,1\}$/\1/p' "$work/stdout")
check "the JSON document reports the job id" test -n "$job"
check "the JSON document reports the job's title" grep -qF '"title": "page.ps"' "$work/stdout"
sed -n '/^  "options": \[$/,/^  \]/s/^    "\(.*\)",\{0,1\}$/\1/p' "$work/stdout" >"$work/options-8250"
if [ -n "$job" ] && wait_for_job q8250 "$job"; then
  pass
  output=$work/out/q8250.ps
  check "the code of every job option reaches the 8250K" options_reach_printer "$printer_8250k" "$output" "$work/options-8250"
  check "monochrome at 1200 dpi reaches the printer" expect_choices "$printer_8250k" "$output" "$work/options-8250" \
    ColorType=Mono Resolution=1200dpi Halftone=Detail DistinguishThinLines=True TonerSave=True \
    ImageType=General "BlackOverPrint=Text&Graphics" PureBlackGray=BlackGrayAuto
else
  fail "the monochrome job completes"
fi

## The pre-flight: nothing goes out that the PPD says the printer cannot do, unless forced.
jobs_before=$(lpstat -h "$server" -W all -o q8250 2>/dev/null | wc -l)
run_pdehost "$server" --queue q8250 --print "$work/page.ps" --do "select imaging 9 2" --do "select imaging 20 2"
check "a conflict: exit status 1" test $? -eq 1
check "a conflict: one line naming both sides" one_line_error "not printed: Resolution=1200dpi conflicts with ImageType=Photo (--force prints anyway)"
check "a conflict: the result says why" grep -qx "Job: not printed: the printer's PPD does not allow these settings:" "$work/stdout"
check "a conflict: nothing reached the server" test "$(lpstat -h "$server" -W all -o q8250 2>/dev/null | wc -l)" -eq "$jobs_before"
run_pdehost "$server" --queue q7140 --print "$work/page.ps" --do "select jobmode 5 4" \
  --do "selection jobmode 6 0 5" --do "paste jobmode 6 ab999"
check "letters in the document number: exit status 1" test $? -eq 1
check "letters in the document number: named" one_line_error "DINDigit1=a is not a choice of DINDigit1; DINDigit2=b is not a choice of DINDigit2"
run_pdehost "$server" --json --queue q8250 --print "$work/page.ps" --force -o copies=2 \
  --do "select imaging 9 2" --do "select imaging 20 2"
check "a forced conflict: exit status 0" test $? -eq 0
check "a forced conflict: recorded as forced" grep -q '"forced": true' "$work/stdout"
check "copies are a job option, not an undefined choice" grep -qF '"unknown": []' "$work/stdout"
forced=$(sed -n '/^  "job": {$/,/^  }/s/^    "id": \([0-9]*\),\{0,1\}$/\1/p' "$work/stdout")
if [ -n "$forced" ] && wait_for_job q8250 "$forced"; then
  check "the forced job reaches the printer with its two copies" grep -q "1200" "$work/out/q8250.ps"
else
  fail "the forced job completes"
fi

## Printer options and standard job options reach the printer: pages 2-3 of a three-page
# document, twice and collated, two-sided along the short edge on A3 (sent as PageRegion code, as
# the PPD asks for a printer with trays).
run_pdehost "$server" --queue q8250 --print "$work/three.ps" -o PageSize=A3 -o Duplex=DuplexTumble \
  -o copies=2 -o collate=true -o page-ranges=2-3
status=$?
check "the A3 two-sided job is printed" test "$status" -eq 0
[ "$status" -eq 0 ] || cat "$work/stderr"
check "the job options are shown as they are sent" \
  grep -q "^  lp -d q8250 .*-o collate=true -o copies=2 -o page-ranges=2-3 " "$work/stdout"
job=$(reported_job_id q8250)
if [ -n "$job" ] && wait_for_job q8250 "$job"; then
  pass
  output=$work/out/q8250.ps
  check "two-sided along the short edge reaches the printer" grep -qF "<</Duplex true/Tumble true>>setpagedevice" "$output"
  check "A3 reaches the printer" grep -qF "<</PageSize[842 1191]/ImagingBBox null>>setpagedevice" "$output"
  check "A3's imageable area bounds the pages" grep -qx "%%PageBoundingBox: 12 12 830 1179" "$output"
  check "pages 2 and 3 reach the printer twice, collated" \
    test "$(sed -n 's/^%%Page: \([0-9]*\) [0-9]*$/\1/p' "$output" | tr '\n' ' ')" = "2 3 2 3 "
else
  fail "the A3 two-sided job completes"
fi

## What goes wrong at the server: one line, a non-zero exit, nothing on standard output.
dead_port=$(free_port)
run_pdehost "127.0.0.1:$dead_port" --queue q7140 --print "$work/page.ps"
check "no server: exit status 1" test $? -eq 1
check "no server: one line naming the server" one_line_error "no CUPS server is running at 127.0.0.1:$dead_port (start cupsd, or set CUPS_SERVER)"
check "no server: nothing shown" test ! -s "$work/stdout"
run_pdehost "127.0.0.1:$dead_port" --list-printers
check "no server to list: exit status 1" test $? -eq 1
check "no server to list: one line naming the server" one_line_error "no CUPS server is running at 127.0.0.1:$dead_port (start cupsd, or set CUPS_SERVER)"

run_pdehost "$server" --queue nosuch --print "$work/page.ps"
check "an unknown queue: exit status 1" test $? -eq 1
check "an unknown queue: one line naming it" one_line_error "the CUPS server at $server has no queue named 'nosuch'"
check "an unknown queue: nothing shown" test ! -s "$work/stdout"

run_pdehost "$server" --queue qraw
check "a queue without a PPD: exit status 1" test $? -eq 1
check "a queue without a PPD: one line saying so" one_line_error "the queue 'qraw' on $server has no PPD"
check "a queue without a PPD: no temporary file left" test -z "$(ls -A "$work/client")"

run_pdehost "$server" --queue qclosed --print "$work/page.ps" --do "select jobmode 5 2"
check "a refused job: exit status 1" test $? -eq 1
check "a refused job: one line naming the queue" one_line_error "refused the job for the queue 'qclosed'"
check "a refused job: the result says it was not printed" grep -q "^Job: not printed: " "$work/stdout"
check "a refused job: no temporary file left" test -z "$(ls -A "$work/client")"

## An interrupted run removes the PPD it fetched, as a normal end does.
# pdehost waits at its prompt with the queue's PPD in its temporary folder; the signal ends it.
# A background job of a script starts with SIGINT ignored: env gives it the default action back.
interrupted_run_leaves_nothing() {
  local signal=$1 pid waited status
  rm -rf "$work/client" && mkdir -p "$work/client"
  sleep 30 </dev/null 2>/dev/null | CUPS_SERVER=$server TMPDIR=$work/client env --default-signal=INT \
    "$pdehost" --plugins "$plugins" --queue q7140 --interactive >/dev/null 2>"$work/stderr" &
  pid=$!
  for waited in $(seq 100); do
    [ -n "$(ls -A "$work/client")" ] && break
    sleep 0.1
  done
  [ -n "$(ls -A "$work/client")" ] || { echo "no PPD was fetched after $waited tries"; kill "$pid"; return 1; }
  kill "-$signal" "$pid"
  wait "$pid"
  status=$?
  [ "$status" -eq $((128 + $(kill -l "$signal"))) ] || { echo "exit status $status after SIG$signal"; return 1; }
  [ -z "$(ls -A "$work/client")" ] || { echo "left behind: $(ls "$work/client")"; return 1; }
}
for signal in INT TERM HUP; do
  check "SIG$signal at the prompt leaves no PPD behind" interrupted_run_leaves_nothing "$signal"
done

## The printer list: the queues and an lpoptions instance, the server's default first. lpoptions
# writes below the test's folder (the user's file under HOME, root's under CUPS_SERVERROOT).
mkdir -p "$work/home/etc"
list_printers() { HOME=$work/home CUPS_SERVERROOT=$work/home/etc run_pdehost "$server" --list-printers "$@"; }
lpadmin -h "$server" -d q8250
HOME=$work/home CUPS_SERVERROOT=$work/home/etc lpoptions -h "$server" -p q7140/draft -o PrintMode=Hold >/dev/null
list_printers
check "the list: exit status 0" test $? -eq 0
check "the list: the default first, then by name, a queue before its instance" \
  diff <(printf '%s\n' "q8250 (default)" q7140 q7140/draft qclosed qraw) "$work/stdout"
list_printers --json
check "the JSON list names the instance" grep -qF '"name": "q7140/draft"' "$work/stdout"
check "the JSON list names the default" test "$(grep -c '"default": true' "$work/stdout")" -eq 1
for queue in q7140 q8250 qraw qclosed; do lpadmin -h "$server" -x "$queue"; done
list_printers
check "no queues: exit status 1" test $? -eq 1
check "no queues: one line saying so" one_line_error "the CUPS server at $server has no queues"
check "no queues: nothing listed" test ! -s "$work/stdout"

stop_server
finish
