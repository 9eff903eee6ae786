#!/usr/bin/env bash
# Runs the real Windows executables under Wine and an X server of their own, and checks what they
# leave on disk byte for byte. Usage: scenarios.sh SkeinerWard.exe skein-feed.exe skein-poke.exe
set -uo pipefail

program_exe=$1 feed_exe=$2 poke_exe=$3
work=$(mktemp -d /tmp/skein-wine.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine || echo /usr/lib/wine/wine64)
xvfb_pid=""

cleanup() {
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work/display")"
"$wine" wineboot -i >/dev/null 2>&1
# A virtual desktop stands in for a window manager: without one, hiding a minimised window
# stalls for seconds inside Wine and tray messages get lost meanwhile.
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w 2>/dev/null || true

passed=0 failed=0
# Windows path of a Unix path, through Wine's Z: drive.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# shellcheck source=../lib/scenario_checks.sh
source "$(dirname "$0")/../lib/scenario_checks.sh"
poke() { "$wine" "$poke_exe" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
feed() { printf '%s\n' "$@" | "$wine" "$feed_exe" --stdin --hold 150 >/dev/null 2>&1; }

# A fresh program directory with its own settings; the logs go below it.
setup() {
  dir=$work/run$((passed + failed))
  mkdir -p "$dir/logs"
  cp "$program_exe" "$dir/SkeinerWard.exe"
  base="$(winpath "$dir/logs")\\"
}
start() {
  "$wine" "$dir/SkeinerWard.exe" >/dev/null 2>&1 &
  program_pid=$!
}
wait_window() { poke wait-window SkeinerWard 20000 >/dev/null || fail "no window"; sleep 0.3; }
finish() { # expected exit code, or "any"
  local rc=0
  for _ in $(seq 200); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$program_pid" 2>/dev/null; then fail "still running"; kill "$program_pid"; fi
  wait "$program_pid"; rc=$?
  [[ $1 == any || $rc == "$1" ]] || fail "exit code $rc, expected $1"
}
run() { # name function
  scenario_ok=1
  echo "--- $1"
  "$2"
  if ((scenario_ok)); then passed=$((passed + 1)); echo "    ok"; else failed=$((failed + 1)); fi
  wineserver -w 2>/dev/null || true
}

a=$(record 2026-12-11 12 1 a) b=$(record 2026-12-11 12 0 b) c=$(record 2026-12-11 13 1 c)
day=2026/12/11

worked_sequence() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window
  feed "$a" "$a" "$b" "$c"
  poke label | grep -qx "${c:0:30}" || fail "label does not show the last record"
  poke close >/dev/null
  finish 0
  expect_file "$dir/logs/$day/12.log" lines "$a" "$b"
  expect_file "$dir/logs/$day/12-Statistics.txt" lines \
    "2026-12-11 12:00 total 2 transmitted 1 not transmitted 1" \
    "2026-12-11 13:00 Total 0 transmitted 0 not transmitted 0"
  expect_file "$dir/logs/$day/13.log" lines "$c"
  expect_file "$dir/logs/$day/13-Statistics.txt" lines "${c:0:16} Total 1 transmitted 1 not transmitted 0"
  expect_file "$dir/Skeinward.prefs" saved_settings "$base" "$c"
}

write_to_disk_and_quit() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  cp "$dir/Skeinward.prefs" "$dir/before.prefs"
  start; wait_window
  feed "$a"
  [[ -f "$dir/logs/$day/12.log" && ! -s "$dir/logs/$day/12.log" ]] || fail "the line is not held in the buffer"
  poke menu 7 >/dev/null; sleep 0.3
  expect_file "$dir/logs/$day/12.log" lines "$a"
  poke menu 2 >/dev/null
  finish 0
  expect_file "$dir/logs/$day/12-Statistics.txt" lines "${a:0:16} Total 1 transmitted 1 not transmitted 0"
  cmp -s "$dir/Skeinward.prefs" "$dir/before.prefs" || fail "Quit changed the settings file"
}

minimise_and_tray() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window
  [[ $(poke state) == "visible=1 iconic=0 zoomed=0" ]] || fail "not shown normally: $(poke state)"
  poke minimise >/dev/null; sleep 0.5
  [[ $(poke state) == "visible=0 iconic=1 zoomed=0" ]] || fail "minimised window not hidden: $(poke state)"
  poke tray 516 >/dev/null; poke tray 518 >/dev/null; sleep 0.3
  [[ $(poke state) == "visible=0 iconic=1 zoomed=0" ]] || fail "a right click restored: $(poke state)"
  poke tray 513 >/dev/null; sleep 0.5
  [[ $(poke state) == "visible=1 iconic=0 zoomed=0" ]] || fail "left press did not restore: $(poke state)"
  poke close >/dev/null
  finish 0
}

open_logfile_without_log() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window
  poke menu 5 >/dev/null
  poke wait-window Warning 10000 >/dev/null || fail "no Warning box"
  text=$(poke message-text Warning)
  expected="File ${base}\\\\\\\\.log doesn't exist"
  [[ $text == "$expected" ]] || fail "warning text: $text, expected $expected"
  poke dismiss Warning >/dev/null
  poke wait-gone Warning 10000 >/dev/null || fail "Warning box stays"
  poke close >/dev/null
  finish 0
}

first_run_cancelled() {
  setup
  start
  local shown=0
  for _ in $(seq 100); do
    if poke dismiss-text SkeinWard >/dev/null; then shown=1; break; fi
    sleep 0.1
  done
  ((shown)) || fail "no folder chooser with the prompt SkeinWard"
  finish 0
  expect_file "$dir/Skeinward.prefs" first_run_settings
}

end_of_session() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window
  feed "$a"
  poke end-session >/dev/null || fail "end-session"
  finish any
  expect_file "$dir/logs/$day/12.log" lines "$a"
  expect_file "$dir/logs/$day/12-Statistics.txt" lines "${a:0:16} Total 1 transmitted 1 not transmitted 0"
  expect_file "$dir/Skeinward.prefs" saved_settings "$base" "$a"
}

run "worked sequence through the real channel, ended by WM_CLOSE" worked_sequence
run "Write to disk, then Quit" write_to_disk_and_quit
run "minimise hides, tray left press restores, right press does nothing" minimise_and_tray
run "Open logfile without a log warns" open_logfile_without_log
run "first run: first-run settings, chooser cancelled, exit code 0" first_run_cancelled
run "WM_ENDSESSION loses nothing" end_of_session

echo "wine scenarios: $passed passed, $failed failed"
((failed == 0))
