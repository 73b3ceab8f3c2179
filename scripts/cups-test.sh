#!/usr/bin/env bash
# Prints a composed sheet through a real CUPS queue and checks the page.
#
#   scripts/cups-test.sh BUILD_DIR
#
# Starts a cupsd of its own (its own configuration, spool and socket; the
# system's CUPS is left alone) with four queues, and runs the RealPrinter tests
# of test_gui against each in turn as the default printer: a queue that
# rejects jobs, a disabled one and one whose printer cannot be reached, each
# reported with what the printer says; then "Imprime" on a composed sheet
# through a cups-pdf queue with its own output folder (printed as text and
# lines, no picture), and a songbook's PDF as one job; then the message once
# no queue is left. The cupsd it started is stopped by its PID.
#
# Without CUPS on the machine the test is skipped (exit 0), except under
# CI=true, where the packages are installed first.
set -euo pipefail

build=${1:?"usage: $0 BUILD_DIR"}
test_gui="$build/tests/test_gui"
[ -x "$test_gui" ] || { echo "cups-test: $test_gui is missing; build first" >&2; exit 2; }

ppd_file=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
have_cups() {
    command -v cupsd >/dev/null && command -v lpadmin >/dev/null && command -v pdfinfo >/dev/null \
        && command -v pdftoppm >/dev/null && [ -e /usr/lib/cups/backend/cups-pdf ] && [ -e "$ppd_file" ]
}

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if ! have_cups; then
    if [ "${CI:-}" != true ]; then
        echo "cups-test: CUPS, cups-pdf or poppler-utils not installed; skipped"
        exit 0
    fi
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        cups cups-client printer-driver-cups-pdf poppler-utils
    have_cups || { echo "cups-test: CUPS still missing after installing it" >&2; exit 1; }
fi
# cupsd, its backends and the per-queue cups-pdf configuration need root.
if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=CI,PATH "$0" "$@"
fi

queue="mavrel-test-$$"
work=$(mktemp -d /tmp/mavrel-cups.XXXXXX)
# cups-pdf reads its configuration for a queue from here, whatever the
# ServerRoot of the cupsd.
queue_conf="/etc/cups/cups-pdf-$queue.conf"
cupsd_pid=""

# shellcheck disable=SC2317  # run by the trap
cleanup() {
    if [ -n "$cupsd_pid" ] && kill -0 "$cupsd_pid" 2>/dev/null; then
        kill "$cupsd_pid"
        for _ in $(seq 50); do kill -0 "$cupsd_pid" 2>/dev/null || break; sleep 0.1; done
        kill -0 "$cupsd_pid" 2>/dev/null && kill -9 "$cupsd_pid"
    fi
    rm -f "$queue_conf"
    if [ "${KEEP_CUPS_WORK:-}" = 1 ]; then echo "cups-test: work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

mkdir -p "$work"/{etc/ppd,spool,tmp,cache,state,log,out,pdfspool,home}
# cupsd's filters run as lp, cups-pdf as root; both must reach the folders.
chmod 755 "$work" "$work"/{etc,log,home}
chmod 777 "$work/out" "$work/pdfspool"
chmod 1777 "$work/tmp"
socket="$work/cups.sock"

cat >"$work/etc/cupsd.conf" <<EOF
Listen $socket
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
cat >"$work/etc/cups-files.conf" <<EOF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/tmp
CacheDir $work/cache
StateDir $work/state
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
Printcap $work/printcap
FileDevice No
SystemGroup root
EOF
cat >"$queue_conf" <<EOF
Out $work/out
AnonDirName $work/out
Spool $work/pdfspool
Log $work/log
Grp root
UserUMask 0000
Label 0
EOF

/usr/sbin/cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" &
cupsd_pid=$!

export CUPS_SERVER="$socket"
unset PRINTER LPDEST
for _ in $(seq 100); do [ -S "$socket" ] && lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
lpstat -r >/dev/null 2>&1 || { echo "cups-test: cupsd did not start" >&2; cat "$work/log/error_log" >&2 || true; exit 1; }

lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd_file"
# cups-pdf takes PostScript. Ghostscript's ps2write, the default way there
# from the PDF Qt prints, turns Qt's CID-keyed TrueType fonts into Type 3
# fonts without their Unicode, and the printed text could no longer be
# searched; cairo's PostScript keeps the fonts as fonts.
lpadmin -p "$queue" -o pdftops-renderer-default=pdftocairo
cupsenable "$queue"
cupsaccept "$queue"

# Queues that print nothing: their reasons are what the printer says.
rejecting="$queue-rejecting"
rejecting_says="Plus de papier dans le bac 2"
lpadmin -p "$rejecting" -E -v "cups-pdf:/$rejecting" -P "$ppd_file"
cupsreject -r "$rejecting_says" "$rejecting"
disabled="$queue-disabled"
disabled_says="En maintenance jusqu'à midi"
lpadmin -p "$disabled" -E -v "cups-pdf:/$disabled" -P "$ppd_file"
cupsdisable -r "$disabled_says" "$disabled"
# Nothing listens on the discard port of this machine: the backend tries
# again and again, and the job waits.
unreachable="$queue-unreachable"
lpadmin -p "$unreachable" -E -v "socket://127.0.0.1:9" -P "$ppd_file"

status=0
run_test() {
    local name=$1
    local log="$work/log/$name.txt"
    # HOME without lpoptions, so that only this cupsd decides the default.
    if ! HOME="$work/home" "$test_gui" --gtest_filter="RealPrinter.$name" >"$log" 2>&1; then
        status=1
    fi
    cat "$log"
    grep -q "^\[       OK \] RealPrinter.$name" "$log" || status=1
}

lpadmin -d "$rejecting"
MAVREL_CUPS_CASE=rejecting MAVREL_CUPS_SAYS="$rejecting_says" run_test ReportsAQueueThatCannotPrint
MAVREL_CUPS_CASE=rejecting MAVREL_CUPS_SAYS="$rejecting_says" run_test SongbookReportsAQueueThatCannotPrint
lpadmin -d "$disabled"
MAVREL_CUPS_CASE=disabled MAVREL_CUPS_SAYS="$disabled_says" run_test ReportsAQueueThatCannotPrint
MAVREL_CUPS_CASE=disabled MAVREL_CUPS_SAYS="$disabled_says" run_test SongbookReportsAQueueThatCannotPrint
lpadmin -d "$unreachable"
MAVREL_CUPS_CASE=unreachable run_test ReportsAQueueThatCannotPrint

# And the queue that prints still does.
lpadmin -d "$queue"
lpstat -d
MAVREL_CUPS_OUT="$work/out" run_test PrintsTheComposedSheet
MAVREL_CUPS_OUT="$work/out" run_test PrintsASongbook

for q in "$queue" "$rejecting" "$disabled" "$unreachable"; do lpadmin -x "$q"; done
MAVREL_CUPS_EMPTY=1 MAVREL_CUPS_OUT="$work/out" run_test SaysWhenNoPrinterIsConfigured

if [ "$status" -ne 0 ]; then
    echo "--- cupsd error_log" >&2
    cat "$work/log/error_log" >&2 || true
    cat "$work"/log/cups-pdf*_log >&2 2>/dev/null || true
fi

if [ "$status" -eq 0 ]; then echo "cups-test: passed"; else echo "cups-test: FAILED" >&2; fi
exit "$status"
