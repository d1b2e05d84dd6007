#!/usr/bin/env bash
# pylonix-probe watch as a user runs it: a real monitor on the event loop over a fixture tree.
set -u
probe=$1
fixtures=$2
tree=$fixtures/power_supply/thinkpad_discharging
failures=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

# Two readings at once (creation and start), then one per half second; then it stops.
out=$("$probe" watch --interval 0.5 --count 3 --sysfs "$tree")
check "watch exit" 0 $?
check "watch lines" 3 "$(printf '%s\n' "$out" | wc -l)"
check "watch rhythm and content" "immediate after-interval -8.461 discharging" "$(
  python3 -c '
import json, sys
s = [json.loads(line) for line in sys.stdin]
t = [x["timestamp"] for x in s]
print("immediate" if t[1] - t[0] < 0.4 else "late",
      "after-interval" if t[2] - t[1] >= 0.49 else "early",
      s[2]["batteryPowerWatts"], s[2]["status"])' <<<"$out")"

# Each line reaches a pipe the moment it is published: with a 5 s interval, the two
# immediate lines are there although the process is stopped after three seconds.
out=$(timeout 3 "$probe" watch --interval 5 --count 5 --sysfs "$tree" | cat)
check "lines are flushed" 2 "$(printf '%s\n' "$out" | grep -c batteryPresent)"

# Only the four intervals; a count of at least 1.
for arguments in "--interval 0.7" "--interval 0" "--interval fast" "--count 0" "extra"; do
  # shellcheck disable=SC2086
  out=$("$probe" watch $arguments --sysfs "$tree" 2>/tmp/probe_watch_err)
  check "watch rejects [$arguments]" 2 $?
  check "nothing printed for [$arguments]" "" "$out"
done
"$probe" watch --interval 0.7 2>&1 | grep -q "0.5, 1, 2 or 5"
check "interval message names the choices" 0 $?

if [ "$failures" -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "probe watch: all checks passed"
