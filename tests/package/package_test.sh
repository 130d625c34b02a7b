#!/usr/bin/env bash
# The Debian package as a user installs it: scripts/package packs the build, lintian finds no
# error in it, and dpkg installs it into a staging root of this script's own (its own dpkg
# database; the machine's files and its CUPS configuration stay untouched). Then, from there:
# pdehost --version; pdehost without --plugins loads the installed bundles and the installed
# sample printer; a private cupsd (private_cupsd.sh) whose driver listing reads the installed PPD
# folder lists them in lpinfo -m, lpadmin -m makes a queue from one, and the installed pdehost
# prints a private job to it whose printer-bound file carries the feature code; man -l renders both
# manual pages; desktop-file-validate accepts the desktop entry; dpkg -r leaves no file behind.
#
# Usage: package_test.sh SOURCE_DIR BUILD_DIR
# Exit status 0 when every check passed, 1 otherwise, 77 (skipped) when cupsd is not installed.
# The helpers run through check, which shellcheck does not follow.
# shellcheck disable=SC2317
set -u

source_dir=$1
build_dir=$2
# shellcheck source=../cups/private_cupsd.sh
. "$source_dir/tests/cups/private_cupsd.sh"
# shellcheck source=../cups/checks.sh
. "$source_dir/tests/cups/checks.sh"
program=pdehost

work=$(mktemp -d /tmp/quorven-pde-package-test.XXXXXX) || { echo "cannot create a temporary folder"; exit 1; }
chmod 755 "$work"
trap 'stop_server; [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT
export HOME=$work/home CUPS_SERVERROOT=$work/home/etc
mkdir -p "$CUPS_SERVERROOT"

## The package.
deb=$("$source_dir/scripts/package" --built "$build_dir" "$work/deb" 2>"$work/package.err")
check "scripts/package builds the package" test -f "$deb"
[ -f "$deb" ] || { cat "$work/package.err"; finish; }
check "the package is named after the project's version" grep -q "/quorven-pde_1\.0\.0_[a-z0-9]*\.deb$" <<<"$deb"
dpkg-deb --field "$deb" Depends >"$work/depends"
check "Depends comes from the binaries' libraries (libc, libcups, GTK)" \
  grep -q "libc6.*libcups2.*\|libcups2.*libc6" "$work/depends"
check "Depends names GTK for the window" grep -q "libgtk-3-0" "$work/depends"
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
  check "lintian reports no error" test "$(grep -c '^E: ' "$work/lintian")" -eq 0
  grep '^E: ' "$work/lintian"
else
  fail "lintian is not installed (Debian package lintian)"
fi

## Installed into a staging root with its own dpkg database.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
run_dpkg() { dpkg --root="$root" --force-depends --force-not-root --force-bad-path --log=/dev/null "$@"; }
run_dpkg -i "$deb" >"$work/dpkg.out" 2>&1
check "dpkg installs the package" test $? -eq 0
dpkg-deb --contents "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep -v '^$' | sort >"$work/contents"
check "the programs are in /usr/bin" test -x "$root/usr/bin/pdehost" -a -x "$root/usr/bin/pdedialog"
check "the plug-ins are in the project's library folder" \
  test "$(find "$root/usr/lib" -path '*/quorven-pde/plugins/*.plugin/Contents/Info.plist' | wc -l)" -eq 3
check "no library is in the system's search path" \
  test -z "$(find "$root/usr/lib" -maxdepth 2 -name '*.so*' -not -path '*/quorven-pde/*')"
check "the PPDs are where CUPS's driver listing looks" test "$(find "$root/usr/share/ppd/quorven" -name '*.ppd' | wc -l)" -eq 3

installed() { "$root/usr/bin/pdehost" "$@" >"$work/stdout" 2>"$work/stderr"; }
installed --version
check "the installed pdehost tells its version" grep -qx "pdehost 1.0.0" "$work/stdout"
installed --json
check "without --plugins the installed bundles load" \
  test "$(grep -c "\"bundlePath\": \"$root/usr/lib/.*quorven-pde/plugins/" "$work/stdout")" -eq 3
check "without --printer the installed sample printer is used" \
  grep -q "\"ppd\": \"$root/usr/share/ppd/quorven/QUORVEN-v-DX7140K.ppd\"" "$work/stdout"
check "the installed panes accept it" test "$(grep -c '"accepted": true' "$work/stdout")" -eq 2

# The window finds them too, on a display of its own.
if command -v xvfb-run >/dev/null; then
  xvfb-run -a "$root/usr/bin/pdedialog" --state "$work/window.json" --screenshot "$work/window.png" \
    >"$work/window.out" 2>&1
  check "the installed pdedialog opens the installed sample printer" \
    grep -q "\"ppd\": \"$root/usr/share/ppd/quorven/QUORVEN-v-DX7140K.ppd\"" "$work/window.json"
  check "the installed pdedialog loads the installed panes" test "$(grep -c '"accepted": true' "$work/window.json")" -eq 2
fi

## The manual pages and the desktop entry.
for page in pdehost pdedialog; do
  MANWIDTH=80 man -l "$root/usr/share/man/man1/$page.1.gz" >"$work/$page.man" 2>"$work/man.err"
  check "man -l renders $page(1)" grep -q "^NAME" "$work/$page.man"
  check "$page(1) holds the program's options" grep -q -- "--plugins" "$work/$page.man"
done
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate accepts the desktop entry" \
    desktop-file-validate "$root/usr/share/applications/pdedialog.desktop"
else
  fail "desktop-file-validate is not installed (Debian package desktop-file-utils)"
fi

## A private cupsd whose driver listing reads the installed PPDs: its data folder is the system's
## with model/ pointing at the staging root's PPD folder.
find_cupsd_or_skip
mkdir -p "$work/cups-data"
for entry in /usr/share/cups/*; do
  [ "$(basename "$entry")" = model ] || ln -s "$entry" "$work/cups-data/"
done
ln -s "$root/usr/share/ppd" "$work/cups-data/model"
cups_data_dir=$work/cups-data
start_private_server || { fail "the private CUPS server did not start"; finish; }
export CUPS_SERVER=$server
lpinfo -m >"$work/lpinfo" 2>&1
check "lpinfo -m lists the installed 7140K PPD" grep -q "^quorven/QUORVEN-v-DX7140K.ppd " "$work/lpinfo"
check "lpinfo -m lists the installed 8250K PPD" grep -q "^quorven/QUORVEN-v-DX8250K.ppd " "$work/lpinfo"
lpadmin -p qinstalled -E -v "file://$work/out/qinstalled.ps" -m quorven/QUORVEN-v-DX7140K.ppd 2>"$work/lpadmin.err"
check "lpadmin -m makes a queue from the installed PPD" test $? -eq 0
write_page "$work/page.ps"
installed --queue qinstalled --print "$work/page.ps" --do "select jobmode 5 4" --do "selection jobmode 6 0 5" \
  --do "type jobmode 6 97531"
check "the installed pdehost prints a private job to it" test $? -eq 0
job=$(sed -n 's/^Job: qinstalled-\([0-9]*\) .*/\1/p' "$work/stdout")
if [ -n "$job" ] && wait_for_job qinstalled "$job"; then
  printf '%s\n' PrintMode=Private DINDigit1=9 DINDigit5=1 >"$work/options"
  check "the printer-bound file carries the private job's feature code" \
    options_reach_printer "$root/usr/share/ppd/quorven/QUORVEN-v-DX7140K.ppd" "$work/out/qinstalled.ps" "$work/options"
else
  fail "the private job to the installed queue completes"
fi
stop_server

## Removal leaves no file of the package behind.
run_dpkg -r quorven-pde >"$work/dpkg.out" 2>&1
check "dpkg removes the package" test $? -eq 0
left=$(while read -r path; do [ -f "$root$path" ] || [ -L "$root$path" ] && echo "$path"; done <"$work/contents")
check "no file of the package is left" test -z "$left"
check "the package's own folders are gone" test ! -e "$root/usr/share/ppd/quorven" -a ! -e "$root/usr/share/doc/quorven-pde"
check "no library folder of the package is left" test -z "$(find "$root/usr/lib" -name 'quorven-pde' 2>/dev/null)"
finish
