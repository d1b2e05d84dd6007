#!/usr/bin/env bash
# The probe as a user runs it: whole invocations, their exit status and their JSON.
set -u
probe=$1
fixtures=$2
. "$(dirname "$0")/cli_checks.sh"

# snapshot: a record on standard input and from a file, with a fixed timestamp.
out=$(echo '{"Voltage": 12000, "InstantAmperage": 64036, "ExternalConnected": false}' |
      "$probe" snapshot --timestamp 1765000000.25)
check "snapshot exit" 0 $?
check "snapshot timestamp" "1765000000.25" "$(json_field "$out" 'd["timestamp"]')"
check "snapshot watts" "18.0 batteryDischarge discharging" \
  "$(json_field "$out" 'd["systemPower"]["watts"], d["systemPower"]["source"], d["status"]')"
tmp=$(mktemp)
echo '{"BatteryInstalled": false}' > "$tmp"
out=$("$probe" snapshot "$tmp")
check "snapshot from file" "未检测到内置电池。" "$(json_field "$out" 'd["errorMessage"]')"
rm -f "$tmp"

# snapshot: unusable input is exit 2 with one line on standard error and nothing on standard out.
for input in 'not json' '[1, 2]' '"text"' ''; do
  out=$(printf '%s' "$input" | "$probe" snapshot 2>/tmp/probe_err)
  check "snapshot rejects [$input]" 2 $?
  check "snapshot prints nothing for [$input]" "" "$out"
  check "one error line for [$input]" 1 "$(wc -l < /tmp/probe_err)"
done
"$probe" snapshot /nonexistent/file >/dev/null 2>&1
check "missing file" 2 $?
"$probe" snapshot --timestamp soon </dev/null >/dev/null 2>&1
check "bad timestamp" 2 $?

# battery: a fixture tree through the platform layer.
out=$("$probe" battery --sysfs "$fixtures/power_supply/dell_charging")
check "battery exit" 0 $?
check "battery record" "2410 True charging" \
  "$(json_field "$out" 'd["properties"]["InstantAmperage"], d["properties"]["IsCharging"], d["snapshot"]["status"]')"
out=$("$probe" battery --sysfs "$fixtures/power_supply/desktop_with_headset")
check "battery without battery" "None 未找到电池信息；此应用仅支持带内置电池的电脑。" \
  "$(json_field "$out" 'd["properties"], d["snapshot"]["errorMessage"]')"

"$probe" frobnicate >/dev/null 2>&1
check "unknown command" 2 $?

finish "probe CLI"
