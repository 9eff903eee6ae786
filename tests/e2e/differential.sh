#!/usr/bin/env bash
# Differential check: skein-feed publishes a generated stream through the real channel, the real
# program logs it, and an independent model of the capture rules computes the tree it must leave.
# Usage: differential.sh PROGRAM FEED [COUNT] [PER_HOUR] [HOLD_MS] [START]
set -euo pipefail
program=$1 feed=$2 count=${3:-2000} per_hour=${4:-70} hold=${5:-30} start=${6:-"2026-12-30 20"}
here=$(cd "$(dirname "$0")" && pwd)
checker=$here/../../tools/skein-check/skein_check.py
channel=/dev/shm/KVOR_300871_140263_GATE1

work=$(mktemp -d /tmp/skein-differential.XXXXXX)
pid=""
cleanup() {
  [[ -n "$pid" ]] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
  rm -f "$channel" "/dev/shm/skein-differential-$$"
}
trap cleanup EXIT

cp "$program" "$work/skeinerward"
mkdir "$work/logs"
printf '[Setting]\r\nDirectory = %s/\r\n' "$work/logs" >"$work/Skeinward.prefs"

# The stream, generated once into a block of its own.
"$feed" --generate --count "$count" --per-hour "$per_hour" --start "$start" --seed "$$" \
  --hold 0 --block "/skein-differential-$$" --print >"$work/texts"

# The first text is in the channel before the program starts, so its first poll reads it.
rm -f "$channel"
head -n 1 "$work/texts" | "$feed" --stdin --hold 0
"$work/skeinerward" </dev/null >"$work/stdout" 2>"$work/stderr" &
pid=$!
first=$(head -n 1 "$work/texts")
first_log="$work/logs/${first:0:4}/${first:5:2}/${first:8:2}/${first:11:2}.log"
for _ in $(seq 2000); do [[ -e "$first_log" ]] && break; sleep 0.01; done

started=$(date +%s%N)
tail -n +2 "$work/texts" | "$feed" --stdin --hold "$hold"
sleep 0.1
kill -TERM "$pid" 2>/dev/null || echo "the program had ended before it was told to"
rc=0
wait "$pid" || rc=$?
pid=""
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
echo "program exit code: $rc; fed $count texts held ${hold} ms each in ${elapsed_ms} ms"
[[ $rc -eq 0 ]] || { cat "$work/stderr"; exit 1; }
python3 "$checker" "$work/logs" "$work/texts" --exit-summary --settings "$work/Skeinward.prefs"
