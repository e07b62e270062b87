#!/usr/bin/env bash
# The real program with a database request channel: channel 1 serves COM1,
# which the ports file maps to a pseudo-terminal this test holds as the
# device. A select is answered with its record, an insert runs once and is
# answered EXECUTED, a query the database refuses is answered ERROR; the
# manager keeps running without a message box. It runs under a comma-decimal
# locale, as on a German plant's desktop: the device still reads a point.
set -u
tarvex=$1
work=$(mktemp -d)
running=
trap '[ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running";
      stop_pty_line; stop_private_bus; rm -rf "$work"' EXIT
here=$(dirname "$0")
. "$here/../support/script_helpers.sh"

offscreen_manager

: >"$work/received"
open_pty_line "$work/received"

db=$work/weights.db
python3 - "$db" <<'PY' || fail "no database"
import sqlite3, sys
c = sqlite3.connect(sys.argv[1])
c.execute("CREATE TABLE tickets (id INTEGER PRIMARY KEY, truck TEXT, gross REAL)")
c.execute("INSERT INTO tickets VALUES (7, 'TRK-7', 12340.5)")
c.commit()
PY
rows() { python3 -c "import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute(sys.argv[2]).fetchone()[0])" "$db" "$1"; }

# Channel 1: the database request service (protocol 0) on COM1 at
# 9600,N,8,1, driver 0, enabled, channel log on, database errors not shown.
printf '0,0,0,33,#FALSE#,"","DB Line",0,"","","","%s",#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,#FALSE#,#FALSE#,#FALSE#,30,2,50,"","","","","","","",1,0,#FALSE#\r\n' \
  "$TARVEX_HOME/WtData-SCALE1.Txt" >"$TARVEX_HOME/Tarvex-SCALE1.Cfg"
printf '1,"%s"\r\n' "$device" >"$TARVEX_HOME/TarvexPorts.Cfg"

# Without the locale the program would run under C, and the case would show
# nothing about commas.
[ "$(LC_ALL=de_DE.UTF-8 locale decimal_point 2>/dev/null)" = "," ] || fail "de_DE.UTF-8 is not installed (locale -a)"
LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 "$tarvex" NOMINIMIZE >"$work/out" 2>&1 &
running=$!
described() { [ "$(device_property 0 CDeviceDesc)" = 's "DB Line"' ]; }
wait_for 300 described || fail "channel 1 was not initialised: $(cat "$work/out")"

# ask <request>: sends the line and waits for the reply block after what came so far.
ask() {
  local before
  before=$(stat -c %s "$work/received")
  printf '%s\r\n' "$1" >&4
  # The block is whole once its last line, a quoted "!" and LF, has come.
  reply_ended() {
    [ "$(stat -c %s "$work/received")" -gt "$before" ] &&
      [ "$(tail -c 4 "$work/received" | od -An -tx1 | tr -d ' \n')" = 2221220a ]
  }
  wait_for 100 reply_ended || fail "no reply to $1: $(cat -v "$work/received") $(cat "$work/out")"
  tail -c +$((before + 1)) "$work/received"
}

reply=$(ask "/DBNAME=$db!/QUERY=SELECT truck, gross FROM tickets WHERE id = 7!")
[ "$(printf '%s' "$reply" | head -3)" = "$(printf '"COUNT=1"\n"TRK-7"\n"12340.5"')" ] || fail "select reply: $reply"
printf '%s\n' "$reply" | sed -n 4p | grep -Eq '^"[0-9]{2}/[0-9]{2}/[0-9]{2}"$' || fail "no date line: $reply"
printf '%s\n' "$reply" | sed -n 5p | grep -Eq '^"[0-9]{2}:[0-9]{2}:[0-9]{2}"$' || fail "no time line: $reply"

reply=$(ask "/DBNAME=$db!/QUERY=INSERT INTO tickets (truck, gross) VALUES ('TRK-9', 800)!")
[ "$reply" = "$(printf '"EXECUTED"\n"!"')" ] || fail "insert reply: $reply"

reply=$(ask "/DBNAME=$db!/QUERY=SELEC * FROM tickets!")
[ "$reply" = "$(printf '"ERROR"\n"!"')" ] || fail "error reply: $reply"
grep -q "Channel: 1  JET Expression Error: 2400" "$TARVEX_HOME"/ErrorLog-*.txt || fail "no error-log line"
# The passes that served the error reply came after the insert's: it ran once.
[ "$(rows "SELECT count(*) FROM tickets WHERE truck = 'TRK-9'")" = 1 ] || fail "the insert did not run once"

kill -0 "$running" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
[ ! -s "$work/boxes.txt" ] || fail "message boxes: $(cat "$work/boxes.txt")"
[ "$(rows "SELECT count(*) FROM tickets")" = 2 ] || fail "rows: $(rows "SELECT count(*) FROM tickets")"
echo "PASS"
