# A private CUPS server for the printing tests, sourced by them: it has its own configuration,
# spool, cache, log and state folders below $work, listens on a free port of 127.0.0.1 only, and
# its queues print into files below $work/out. Also the checks of what reached such a file.
#
# The sourcing script sets before calling these:
#   work    a temporary folder of its own, readable by the lp user (chmod 755)
#   cupsd   the cupsd program
# and may set cups_data_dir, the server's data folder (default /usr/share/cups: its mime types,
# banners and model/ folder of PPDs that lpinfo -m lists).
# and calls stop_server when it ends. start_private_server sets server to "127.0.0.1:PORT".
# shellcheck shell=bash disable=SC2154

cups_server_bin=/usr/lib/cups
job_time_limit=30
cupsd_pid=
server=

# stop_server: ends the server this script started, if any; waits until it is gone.
stop_server() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$cupsd_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$cupsd_pid" 2>/dev/null
    wait "$cupsd_pid" 2>/dev/null
    cupsd_pid=
  fi
}

# free_port: a port of 127.0.0.1 where nothing listens now.
free_port() {
  local port
  for _ in $(seq 100); do
    port=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return 0; }
  done
  return 1
}

# start_server PORT: writes the configuration for PORT and starts cupsd in the foreground, in the
# background of this script; true once it answers.
start_server() {
  local port=$1
  local user group
  if [ "$(id -u)" -eq 0 ]; then user="lp"; group="lp"; else user=$(id -un); group=$(id -gn); fi
  rm -rf "$work/server"
  mkdir -p "$work/server/root" "$work/server/spool/tmp" "$work/server/cache" "$work/server/log" \
    "$work/server/state" "$work/out"
  cat >"$work/server/root/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
LogLevel info
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow from 127.0.0.1
</Location>
<Location /admin>
  Order allow,deny
  Allow from 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  cat >"$work/server/root/cups-files.conf" <<EOF
ServerRoot $work/server/root
RequestRoot $work/server/spool
TempDir $work/server/spool/tmp
CacheDir $work/server/cache
StateDir $work/server/state
ErrorLog $work/server/log/error_log
AccessLog $work/server/log/access_log
PageLog $work/server/log/page_log
Printcap $work/server/state/printcap
ServerBin $cups_server_bin
DataDir ${cups_data_dir:-/usr/share/cups}
FileDevice Yes
User $user
Group $group
SystemGroup root
EOF
  chown -R "$user:$group" "$work/server/spool" "$work/server/cache" "$work/server/log" "$work/server/state" "$work/out"
  "$cupsd" -c "$work/server/root/cupsd.conf" -s "$work/server/root/cups-files.conf" -f \
    >"$work/server/log/cupsd.out" 2>&1 &
  cupsd_pid=$!
  for _ in $(seq 100); do
    kill -0 "$cupsd_pid" 2>/dev/null || { wait "$cupsd_pid" 2>/dev/null; cupsd_pid=; return 1; }
    lpstat -h "127.0.0.1:$port" -r 2>/dev/null | grep -q "is running" && return 0
    sleep 0.1
  done
  stop_server
  return 1
}

# start_private_server: the server on a free port, a few ports tried; sets server. When it does
# not start, false with the tail of its logs on standard output.
start_private_server() {
  local candidate
  for _ in 1 2 3; do
    candidate=$(free_port) && start_server "$candidate" && { server=127.0.0.1:$candidate; return 0; }
  done
  cat "$work/server/log/cupsd.out" "$work/server/log/error_log" 2>/dev/null | tail -20
  return 1
}

# add_queue NAME [PPD]: a queue that prints into $work/out/NAME.ps; without a PPD a raw queue.
add_queue() {
  local name=$1 ppd=$2
  lpadmin -h "$server" -p "$name" -E -v "file://$work/out/$name.ps" ${ppd:+-P "$ppd"} 2>"$work/lpadmin.err" ||
    { cat "$work/lpadmin.err"; return 1; }
}

# wait_for_job QUEUE ID: true once the server lists the job as completed and its file is written.
wait_for_job() {
  local queue=$1 id=$2
  for _ in $(seq $((job_time_limit * 5))); do
    if lpstat -h "$server" -W completed -o "$queue" 2>/dev/null | grep -q "^$queue-$id " &&
      grep -q '%%EOF' "$work/out/$queue.ps" 2>/dev/null; then
      return 0
    fi
    sleep 0.2
  done
  echo "  job $queue-$id did not complete within $job_time_limit s; the server's log:"
  tail -20 "$work/server/log/error_log"
  return 1
}

# find_cupsd_or_skip: sets cupsd, or ends the script with 77 (skipped) when cupsd or the PostScript
# filter is missing; fails when the lp tools are. The counts of check (checks.sh) so far are reported.
find_cupsd_or_skip() {
  local tool
  if ! cupsd=$(command -v cupsd || command -v /usr/sbin/cupsd); then
    echo "SKIP: cupsd is not installed (Debian package cups-daemon); $passed passed, $failed failed"
    [ "$failed" -eq 0 ] && exit 77 || exit 1
  fi
  if [ ! -x "$cups_server_bin/filter/pstops" ]; then
    echo "SKIP: the PostScript filter pstops is not installed (Debian package cups-core-drivers); $passed passed, $failed failed"
    [ "$failed" -eq 0 ] && exit 77 || exit 1
  fi
  PATH=$PATH:/usr/sbin
  for tool in lpadmin lpstat lp lpoptions cupsreject; do
    command -v "$tool" >/dev/null || { fail "$tool is not installed (Debian package cups-client)"; finish; }
  done
}

# write_page FILE: a one-page PostScript document.
write_page() {
  printf '%s\n' '%!PS-Adobe-3.0' '%%Pages: 1' '%%EndComments' '%%Page: 1 1' '/Helvetica findfont 12 scalefont setfont' \
    '72 720 moveto (QUORVEN test page) show' 'showpage' '%%EOF' >"$1"
}

# submitted_job_id QUEUE FILE: the id in lp's "request id is QUEUE-ID (1 file(s))" line in FILE.
submitted_job_id() { sed -n "s/^request id is $1-\([0-9]*\) .*/\1/p" "$2"; }

## What reached the printer's file.
# choice_code PPD OPTION CHOICE: the PPD code of a choice, the quoted text of its
# "*OPTION CHOICE/Text: ..." line.
choice_code() { grep -F "*$2 $3/" "$1" | sed 's/^[^"]*"\(.*\)"$/\1/'; }

# options_reach_printer PPD OUTPUT OPTIONS_FILE: the code of every KEY=VALUE line of the file is
# in the output.
options_reach_printer() {
  local ppd=$1 output=$2 options=$3 key value code missing=0
  [ -s "$options" ] || { echo "  no job options"; return 1; }
  while IFS='=' read -r key value; do
    code=$(choice_code "$ppd" "$key" "$value")
    if [ -z "$code" ]; then
      echo "  the PPD has no choice $key=$value"
      missing=1
    elif ! grep -qF -- "$code" "$output"; then
      echo "  $key=$value: '$code' is not in the printer's file"
      missing=1
    fi
  done <"$options"
  return "$missing"
}

# expect_choices PPD OUTPUT OPTIONS_FILE KEY=VALUE...: each pair is a job option, its code is in
# the output, and the code of the PPD's default for that option is not (unless it is the default).
expect_choices() {
  local ppd=$1 output=$2 options=$3 pair key value default code missing=0
  shift 3
  for pair in "$@"; do
    key=${pair%%=*}
    value=${pair#*=}
    grep -qxF -- "$pair" "$options" || { echo "  $pair is not among the job options"; missing=1; }
    code=$(choice_code "$ppd" "$key" "$value")
    if [ -z "$code" ] || ! grep -qF -- "$code" "$output"; then
      echo "  $pair: '$code' is not in the printer's file"
      missing=1
    fi
    default=$(sed -n "s/^\*Default$key: *//p" "$ppd")
    if [ "$default" != "$value" ]; then
      code=$(choice_code "$ppd" "$key" "$default")
      grep -qF -- "$code" "$output" && { echo "  $key: the default's '$code' is in the printer's file"; missing=1; }
    fi
  done
  return "$missing"
}
