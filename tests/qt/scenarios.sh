#!/usr/bin/env bash
# Runs the desktop program under an X server of its own, with a window manager (jwm) and a tray
# host (trayer), drives it with xdotool like a user, and checks what it leaves on disk byte for
# byte. Usage: scenarios.sh skeinerward skein-feed skeinerward-desktop
set -uo pipefail

program_exe=$1 feed_exe=$2 desktop_exe=$3
for tool in Xvfb jwm trayer xdotool xwininfo xprop import convert; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; echo "qt scenarios: 0 passed, 1 failed"; exit 1; }
done
work=$(mktemp -d /tmp/skein-qt.XXXXXX)
helpers=()
program_pid=""

cleanup() {
  [[ -n "$program_pid" ]] && kill -9 "$program_pid" 2>/dev/null
  # The record channel outlives the run: nothing of ours is left in it for the next program.
  printf '\n' | "$feed_exe" --stdin --hold 0 >/dev/null 2>&1
  for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Nothing of the desktop this may run on leaks in: no session bus (the icon goes to the XEmbed
# tray), no platform or theme choice, a home of its own for what Qt's file dialog remembers.
unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME SESSION_MANAGER WAYLAND_DISPLAY
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# "Open logfile" starts this instead of the desktop's viewer: it writes down its arguments.
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$#" "$@" >"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
helpers+=($!)
exec 3>&-
for _ in $(seq 200); do [[ -s "$work/display" ]] && break; sleep 0.05; done
display=$(head -n 1 "$work/display")
[[ -n "$display" ]] || { echo "Xvfb did not start"; echo "qt scenarios: 0 passed, 1 failed"; exit 1; }
export DISPLAY=":$display"

# A task bar for minimised windows and no tray of jwm's own: trayer is the notification area.
cat >"$work/jwmrc" <<'JWM'
<?xml version="1.0"?>
<JWM>
  <Tray x="0" y="-1" height="24" autohide="off"><TaskList maxwidth="200"/></Tray>
  <FocusModel>click</FocusModel>
  <Desktops width="1" height="1"/>
</JWM>
JWM
jwm -f "$work/jwmrc" >/dev/null 2>&1 &
helpers+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
trayer_pid=""
start_trayer() {
  # A busy machine can lose a tray host at its start; one that did not stay up is started again.
  for _ in 1 2 3; do
    trayer --edge top --align right --widthtype pixel --width 120 --height 32 >/dev/null 2>&1 &
    trayer_pid=$!
    helpers+=("$trayer_pid")
    for _ in $(seq 100); do xdotool search --name '^panel$' >/dev/null 2>&1 && break; sleep 0.05; done
    sleep 0.3
    kill -0 "$trayer_pid" 2>/dev/null && return
  done
}
start_trayer

passed=0 failed=0
# shellcheck source=../lib/scenario_checks.sh
source "$(dirname "$0")/../lib/scenario_checks.sh"
feed() { printf '%s\n' "$@" | "$feed_exe" --stdin --hold 150 >/dev/null 2>&1; }

# A fresh program directory with its own settings; the logs go below it, in a folder whose name
# has a space.
runs=0
setup() {
  runs=$((runs + 1))
  dir=$work/run$runs
  mkdir -p "$dir/log tree"
  cp "$program_exe" "$dir/skeinerward"
  cp "$desktop_exe" "$dir/skeinerward-desktop"
  base="$dir/log tree/"
  # The block outlives every program that opens it: what an earlier run left there goes.
  printf '\n' | "$feed_exe" --stdin --hold 0 >/dev/null 2>&1
}
# Started in its own directory: with no base directory a record would be logged below the
# current one.
start() {
  (cd "$dir" && exec ./skeinerward </dev/null >stdout 2>stderr) &
  program_pid=$!
}
finish() { # expected exit code
  local rc=0
  for _ in $(seq 200); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$program_pid" 2>/dev/null; then fail "still running"; kill -9 "$program_pid"; fi
  wait "$program_pid"; rc=$?
  program_pid=""
  [[ $rc == "$1" ]] || fail "exit code $rc, expected $1"
}

# The main window: the one titled "SkeinerWard" with a client area of 205 x 60.
window=""
find_window() {
  local id
  for id in $(xdotool search --name '^SkeinerWard$' 2>/dev/null); do
    if xwininfo -id "$id" 2>/dev/null | grep -q 'geometry 205x60'; then window=$id; return 0; fi
  done
  return 1
}
wait_window() {
  window=""
  for _ in $(seq 200); do
    find_window && [[ $(map_state) == IsViewable ]] && break
    sleep 0.05
  done
  [[ -n "$window" && $(map_state) == IsViewable ]] || { fail "no window"; return 1; }
  sleep 0.3
}
map_state() { xwininfo -id "$window" 2>/dev/null | sed -n 's/.*Map State: //p'; }
# The client area's top-left on the screen, and the frame's extents left, right, top, bottom.
client_origin() { xwininfo -id "$window" | sed -n 's/.*Absolute upper-left [XY]: *//p' | paste -sd' '; }
frame_extents() { xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g'; }
in_task_bar() { xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$window")"; }
wait_dialog() { # title: a window with that title is shown
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && { sleep 0.4; return 0; }
    sleep 0.05
  done
  return 1
}
wait_state() { # state: the main window reaches it
  for _ in $(seq 60); do [[ $(map_state) == "$1" ]] && return 0; sleep 0.05; done
  return 1
}

# The menu is opened on its title "Program" and walked with the keys: the order of the items and
# of the submenus is what the key strokes rely on.
menu() { # Directory | Open logfile | Write to disk | Quit
  local x y keys
  read -r x y < <(client_origin)
  case $1 in
    Directory) keys=(Down Right Return) ;;
    "Open logfile") keys=(Down Down Right Return) ;;
    "Write to disk") keys=(Down Down Right Down Return) ;;
    Quit) keys=(Down Down Down Return) ;;
  esac
  xdotool mousemove $((x + 20)) $((y + 9)) click 1
  wait_popup || fail "the menu did not open"
  xdotool key --delay 150 "${keys[@]}"
  sleep 0.4
}
# A menu popup: a window of the program's that is neither the main window nor the tray icon.
wait_popup() {
  local id
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --class '^skeinerward$' 2>/dev/null); do
      xwininfo -id "$id" 2>/dev/null | grep -Eq 'geometry (205x60|22x)' || { sleep 0.1; return 0; }
    done
    sleep 0.05
  done
  return 1
}
close_button() { # jwm draws it at the right end of the title bar
  local x y left right top bottom
  read -r x y < <(client_origin)
  read -r left right top bottom < <(frame_extents)
  xdotool mousemove $((x + 205 + right - 18)) $((y - top + 11)) click 1
}
tray_icon() { # the icon's window inside trayer's panel
  xdotool search --class '^skeinerward$' 2>/dev/null | while read -r id; do
    xwininfo -id "$id" | grep -q 'geometry 22x' && echo "$id"
  done | head -n 1
}
# The icon's window, once the tray host has embedded it: that takes a moment on a busy machine.
wait_tray_icon() {
  for _ in $(seq 100); do [[ -n $(tray_icon) ]] && break; sleep 0.05; done
  tray_icon
}
tray_click() { # button
  local id x y
  id=$(wait_tray_icon)
  [[ -n "$id" ]] || { fail "no tray icon"; return; }
  read -r x y < <(xwininfo -id "$id" | sed -n 's/.*Absolute upper-left [XY]: *//p' | paste -sd' ')
  xdotool mousemove $((x + 11)) $((y + 11)) click "$1"
}
# Colours in the label's part of the client area: 1 while the label is empty.
label_colours() {
  local x y
  read -r x y < <(client_origin)
  import -window root -crop "205x36+$x+$((y + 22))" "$work/label.png" 2>/dev/null
  convert "$work/label.png" -format %k info: 2>/dev/null
}

run() { # name function
  scenario_ok=1
  echo "--- $1"
  "$2"
  [[ -n "$program_pid" ]] && { kill -9 "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; program_pid=""; }
  if ((scenario_ok)); then passed=$((passed + 1)); echo "    ok"; else failed=$((failed + 1)); fi
}

a=$(record 2026-12-11 12 1 a) b=$(record 2026-12-11 12 0 b) c=$(record 2026-12-11 13 1 c)
day=2026/12/11

window_and_tray() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window || return
  [[ $(xdotool getwindowname "$window") == SkeinerWard ]] || fail "title $(xdotool getwindowname "$window")"
  local x y left right top bottom
  read -r x y < <(client_origin)
  read -r left right top bottom < <(frame_extents)
  [[ "$((x - left)),$((y - top))" == "200,100" ]] || fail "frame at $((x - left)),$((y - top))"
  local hints
  hints=$(xprop -id "$window" WM_NORMAL_HINTS)
  grep -q 'minimum size: 205 by 60' <<<"$hints" && grep -q 'maximum size: 205 by 60' <<<"$hints" ||
    fail "resizable: $hints"
  in_task_bar || fail "not in the task bar"
  [[ -n $(wait_tray_icon) ]] || fail "no icon in the tray"
  [[ $(label_colours) == 1 ]] || fail "the label is not empty at the start"
  [[ -s "$dir/stderr" ]] && fail "stderr: $(head -c 300 "$dir/stderr")"
  menu Quit
  finish 0
}

worked_sequence_closed_by_the_close_button() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window || return
  feed "$a" "$a" "$b" "$c"
  sleep 0.3
  [[ $(label_colours) -gt 1 ]] || fail "the label shows nothing"
  close_button
  finish 0
  expect_file "$dir/log tree/$day/12.log" lines "$a" "$b"
  expect_file "$dir/log tree/$day/12-Statistics.txt" lines \
    "2026-12-11 12:00 total 2 transmitted 1 not transmitted 1" \
    "2026-12-11 13:00 Total 0 transmitted 0 not transmitted 0"
  expect_file "$dir/log tree/$day/13.log" lines "$c"
  expect_file "$dir/log tree/$day/13-Statistics.txt" lines "${c:0:16} Total 1 transmitted 1 not transmitted 0"
  expect_file "$dir/Skeinward.prefs" saved_settings "$base" "$c"
}

write_to_disk_and_quit() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  cp "$dir/Skeinward.prefs" "$dir/before.prefs"
  start; wait_window || return
  feed "$a"
  [[ -f "$dir/log tree/$day/12.log" && ! -s "$dir/log tree/$day/12.log" ]] || fail "the line is not held in the buffer"
  menu "Write to disk"
  expect_file "$dir/log tree/$day/12.log" lines "$a"
  menu Quit
  finish 0
  expect_file "$dir/log tree/$day/12-Statistics.txt" lines "${a:0:16} Total 1 transmitted 1 not transmitted 0"
  cmp -s "$dir/Skeinward.prefs" "$dir/before.prefs" || fail "Quit changed the settings file"
}

minimise_and_tray() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window || return
  local before
  before=$(client_origin)
  xdotool windowminimize "$window"
  wait_state IsUnMapped || fail "the minimised window is not hidden: $(map_state)"
  in_task_bar && fail "the hidden window is still in the task bar"
  tray_click 3
  sleep 0.5
  [[ $(map_state) == IsUnMapped ]] || fail "a right press restored the window"
  tray_click 1
  wait_state IsViewable || fail "a left press did not restore the window"
  sleep 0.3
  xprop -id "$window" _NET_WM_STATE | grep -q HIDDEN && fail "restored but still minimised"
  in_task_bar || fail "restored but not in the task bar"
  [[ $(client_origin) == "$before" ]] || fail "restored at $(client_origin), was at $before"
  close_button
  finish 0
}

minimise_without_a_tray() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window || return
  kill "$trayer_pid"
  for _ in $(seq 100); do xdotool search --name '^panel$' >/dev/null 2>&1 || break; sleep 0.05; done
  sleep 0.3
  xdotool windowminimize "$window"
  sleep 0.5
  xprop -id "$window" WM_STATE | grep -q Iconic || fail "not minimised"
  in_task_bar || fail "hidden with no tray icon to bring it back"
  start_trayer
  [[ -n $(wait_tray_icon) ]] || fail "the icon did not come to the new tray"
  xdotool windowactivate "$window" 2>/dev/null
  wait_state IsViewable || fail "not restored from the task bar"
  sleep 0.3
  xdotool windowminimize "$window"
  wait_state IsUnMapped && sleep 0.3
  in_task_bar && fail "the new tray is there, yet the minimised window was not hidden"
  tray_click 1
  wait_state IsViewable || fail "a left press did not restore the window"
  close_button
  finish 0
}

directory_then_open_logfile() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  mkdir "$dir/other tree"
  start; wait_window || return
  menu "Open logfile"
  wait_dialog Warning || fail "no Warning box without a log"
  xdotool key Return
  sleep 0.3
  menu Directory
  if wait_dialog SkeinWard; then
    # With the trailing "/" no completion pops up to take the Return.
    xdotool key ctrl+a
    xdotool type --delay 10 "$dir/other tree/"
    sleep 0.3
    xdotool key Return
  else
    fail "no folder chooser titled SkeinWard"
  fi
  sleep 0.5
  feed "$a"
  menu "Write to disk"
  menu "Open logfile"
  sleep 0.5
  [[ -f "$work/opened" ]] && [[ $(cat "$work/opened") == "$(printf '1\n%s' "$dir/other tree//$day/12.log")" ]] ||
    fail "the viewer got: $(cat "$work/opened" 2>/dev/null)"
  rm -f "$work/opened"
  close_button
  finish 0
  expect_file "$dir/other tree/$day/12.log" lines "$a"
  [[ -e "$dir/log tree/$day" ]] && fail "the old tree got a log"
  expect_file "$dir/Skeinward.prefs" saved_settings "$dir/other tree/" "$a"
}

close_signal_while_the_chooser_is_open() {
  setup
  saved_settings "$base" "" >"$dir/Skeinward.prefs"
  start; wait_window || return
  feed "$a"
  menu Directory
  wait_dialog SkeinWard || fail "no folder chooser"
  kill -TERM "$program_pid"
  finish 0
  expect_file "$dir/log tree/$day/12.log" lines "$a"
  expect_file "$dir/Skeinward.prefs" saved_settings "$base" "$a"
}

first_run_cancelled() {
  setup
  start
  wait_dialog SkeinWard || fail "no folder chooser with the prompt SkeinWard"
  find_window && fail "the window came before the folder chooser"
  xdotool key Escape
  finish 0
  expect_file "$dir/Skeinward.prefs" first_run_settings
}

headless_without_a_display() {
  local display_value
  for display_value in unset ":$((display + 40))"; do
    setup
    saved_settings "$base" "" >"$dir/Skeinward.prefs"
    if [[ $display_value == unset ]]; then
      (cd "$dir" && exec env -u DISPLAY ./skeinerward </dev/null >stdout 2>stderr) &
    else
      (cd "$dir" && DISPLAY=$display_value exec ./skeinerward </dev/null >stdout 2>stderr) &
    fi
    program_pid=$!
    feed "$a"
    kill -0 "$program_pid" 2>/dev/null || fail "DISPLAY $display_value: ended by itself"
    kill -TERM "$program_pid"
    finish 0
    [[ -s "$dir/stderr" ]] && fail "DISPLAY $display_value: stderr: $(head -c 300 "$dir/stderr")"
    expect_file "$dir/log tree/$day/12.log" lines "$a"
    expect_file "$dir/Skeinward.prefs" saved_settings "$base" "$a"
  done
}

run "window: title, place, fixed size, task bar, tray icon, empty label; Quit" window_and_tray
run "worked sequence through the real channel, ended by the close button" worked_sequence_closed_by_the_close_button
run "Write to disk, then Quit, from the menu" write_to_disk_and_quit
run "minimise hides, tray right press does nothing, left press restores" minimise_and_tray
run "no tray: the minimised window stays in the task bar; a new tray gets the icon" minimise_without_a_tray
run "Open logfile warns, Directory moves the log, Open logfile starts the viewer" directory_then_open_logfile
run "SIGTERM while the folder chooser is open" close_signal_while_the_chooser_is_open
run "first run: chooser before the window, cancelled, first-run settings" first_run_cancelled
run "no display: headless, quiet, SIGTERM saves" headless_without_a_display

echo "qt scenarios: $passed passed, $failed failed"
((failed == 0))
