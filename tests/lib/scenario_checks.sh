# What the scenario scripts share: the expected bytes of settings files and logs, and the
# checks that compare them. Sourced, not run.

fail() { echo "    FAIL: $*"; scenario_ok=0; }

year=$(date +%Y)
lines() { printf '%s\r\n' "$@"; }
saved_settings() { # directory last
  printf '[Global]\r\nApplicationName = SkeinerWard\r\nVersion = SkeinerWard 3.11 \xA9 %s\r\n[Setting]\r\nDirectory = %s\r\nLast = %s\r\n' "$year" "$1" "$2"
}
first_run_settings() {
  printf '[Global]\r\nApplicationName = #app_name\r\nVersion = #version \xA9 %s\r\n[Setting]\r\nDirectory = \r\nLast = \r\n' "$year"
}
record() { # date hour flag tag: a 40-character record
  local text="$1 $2:00:00 "
  while ((${#text} < 39)); do text+=$4; done
  printf '%s%s' "$text" "$3"
}
expect_file() { # path command args...: the file holds exactly what the command prints
  local path=$1
  shift
  if [[ ! -f "$path" ]]; then fail "missing $path"; return; fi
  if ! cmp -s "$path" <("$@"); then
    fail "$path differs"
    echo "      expected: $("$@" | od -c | head -n 4 | tr -s ' ')"
    echo "      got:      $(od -c "$path" | head -n 4 | tr -s ' ')"
  fi
}
