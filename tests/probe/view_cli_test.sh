#!/usr/bin/env bash
# pylonix-probe view as a user runs it: the panel's texts for whole states, and bad input.
set -u
probe=$1
images=$2
. "$(dirname "$0")/cli_checks.sh"

view() { "$probe" view --locale zh_CN --time-zone UTC "$@"; }

# An empty state: every member takes its initial value.
out=$(echo '{}' | view)
check "empty exit" 0 $?
check "empty members" \
  "menuBarLabel panel statusHeader powerCard errorNotice tiles unavailableNotice powerDetails alignedBalance isIncludedInBalance breakdown applications settings" \
  "$(json_field "$out" '" ".join(d.keys())')"
check "empty label" "exclamationmark.triangle|— W|整机耗电暂不可用" \
  "$(json_field "$out" '"|".join([d["menuBarLabel"]["symbol"], d["menuBarLabel"]["valueText"], d["menuBarLabel"]["accessibilityLabel"]])')"
check "empty panel" "360.0 780.0 None —" \
  "$(json_field "$out" 'd["panel"]["width"], d["panel"]["height"], d["panel"]["updateShortcut"], d["panel"]["version"]')"
check "empty breakdown" "collecting 正在对齐整机与应用读数，约 2 秒后显示。 None" \
  "$(json_field "$out" 'd["alignedBalance"]["state"]["case"], d["breakdown"]["stateLine"]["text"], d["breakdown"]["totalRow"]')"

# The README's states.
out=$(view "$images/charging-balance.json")
check "balance headline" "14.84 约 2 秒平均 · 不含给电池充电" \
  "$(json_field "$out" 'd["powerCard"]["valueText"], d["powerCard"]["note"]')"
check "balance split" "4.22 W 10.62 W 14.84 W True" \
  "$(json_field "$out" 'd["breakdown"]["applicationValue"], d["breakdown"]["otherValue"], d["breakdown"]["totalRow"]["value"], d["isIncludedInBalance"]')"
check "balance update" "True 有新版本 True 15.2 W" \
  "$(json_field "$out" 'd["menuBarLabel"]["showsUpdateBadge"], d["panel"]["updateShortcut"]["label"], d["panel"]["updateShortcut"]["enabled"], d["menuBarLabel"]["valueText"]')"
check "balance details" "实际输入=35.3 W 电池电压=12.80 V 电池电流=+1.57 A 预计充满=约 1 小时 35 分钟" \
  "$(json_field "$out" '" ".join(r["label"] + "=" + r["value"] for r in d["powerDetails"]["rows"])')"
check "balance footer" "更新于 05:46" "$(json_field "$out" 'd["panel"]["footerUpdatedAt"]')"
check "light by default" "light" "$(json_field "$out" 'd["panel"]["colorScheme"]')"
out=$(view "$images/charging-balance-dark.json")
check "dark appearance" "dark 14.84" "$(json_field "$out" 'd["panel"]["colorScheme"], d["powerCard"]["valueText"]')"

out=$(view "$images/unavailable.json")
check "error notice" "未检测到内置电池。 error None None" \
  "$(json_field "$out" 'd["errorNotice"]["text"], d["errorNotice"]["tone"], d["tiles"], d["unavailableNotice"]')"

out=$(view "$images/no-estimate.json")
check "no estimate" "— 整机耗电暂不可用 information 已接入电源" \
  "$(json_field "$out" 'd["powerCard"]["valueText"], d["powerCard"]["note"], d["unavailableNotice"]["tone"], d["statusHeader"]["title"]')"

# A balance from a window before the adapter was plugged in is realigned.
out=$(python3 -c '
import json,sys
d=json.load(open(sys.argv[1]))
d["applicationPower"]["balance"]["sourceContext"]={"externalConnected": False, "isCharging": False}
print(json.dumps(d))' "$images/charging-balance.json" | view)
check "realigned" "供电状态或采样时间已变化，正在重新对齐。 15.20 False" \
  "$(json_field "$out" 'd["breakdown"]["stateLine"]["text"], d["powerCard"]["valueText"], d["isIncludedInBalance"]')"

# The application list and the settings menu.
out=$(echo '{}' | view)
check "empty applications" "collecting 正在采样，约 2 秒后显示… CPU 估算 [] None" \
  "$(json_field "$out" 'd["applications"]["content"], d["applications"]["message"], d["applications"]["badge"], d["applications"]["rows"], d["applications"]["toggle"]')"
check "empty settings" "设置 刷新、启动与软件更新设置 False Pylonix —" \
  "$(json_field "$out" 'd["settings"]["accessibilityLabel"], d["settings"]["tooltip"], d["settings"]["showsProblemBadge"], [e for e in d["settings"]["entries"] if e["kind"] == "text"][0]["label"]')"
out=$(view "$images/applications-list.json")
check "full list" "list 8 分项明细 收起列表 已展开 180.0" \
  "$(json_field "$out" 'd["applications"]["content"], len(d["applications"]["rows"]), d["applications"]["badge"], d["applications"]["toggle"]["label"], d["applications"]["toggle"]["accessibilityValue"], d["applications"]["toggle"]["chevronDegrees"]')"
check "row texts" "文件，CPU 功率 < 0.01 W，最近采样|OpenJDK Java 17 Runtime：等待可用数据|部分统计 · 5/7 个进程" \
  "$(json_field "$out" '"|".join([d["applications"]["rows"][6]["accessibilityLabel"], d["applications"]["rows"][7]["tooltip"], d["applications"]["rows"][2]["detailText"]])')"
out=$(python3 -c '
import json,sys
d=json.load(open(sys.argv[1])); d["showsAllApplications"]=False; print(json.dumps(d))' "$images/applications-list.json" | view)
check "collapsed list" "5 查看全部 8 个应用 已收起 0.0" \
  "$(json_field "$out" 'len(d["applications"]["rows"]), d["applications"]["toggle"]["label"], d["applications"]["toggle"]["accessibilityValue"], d["applications"]["toggle"]["chevronDegrees"]')"
out=$(view "$images/settings-menu.json")
check "settings entries" "刷新频率 登录时启动 查看启动设置问题… - Pylonix 0.1.0 检查更新… 自动检查更新 - 立即刷新 - 退出 Pylonix" \
  "$(json_field "$out" '" ".join(e.get("label", "-") for e in d["settings"]["entries"] if e.get("shown", True))')"
check "settings problem" "True 设置中有需要处理的项目 登录时启动 Permission denied 好" \
  "$(json_field "$out" 'd["settings"]["showsProblemBadge"], d["settings"]["tooltip"], d["settings"]["alerts"][0]["title"], d["settings"]["alerts"][0]["message"], d["settings"]["alerts"][0]["button"]')"
check "interval picker" "0.5 秒,1 秒,2 秒,5 秒 1.0 settings-refresh-interval" \
  "$(json_field "$out" '",".join(o["label"] for o in d["settings"]["entries"][0]["options"]), d["settings"]["entries"][0]["selected"], d["settings"]["entries"][0]["identifier"]')"
out=$(echo '{"softwareUpdate": {"state": {"canCheckForUpdates": true, "availableVersion": "2.0"}, "startupError": "更新检查暂时无法启动，请重新打开 App 后重试。"}, "version": "1.4.2"}' | view)
check "update error" "查看更新 2.0… False False True 软件更新" \
  "$(json_field "$out" '[e for e in d["settings"]["entries"] if e.get("identifier") == "software-update-check"][0]["label"], [e for e in d["settings"]["entries"] if e.get("identifier") == "software-update-check"][0]["enabled"], [e for e in d["settings"]["entries"] if e.get("identifier") == "software-update-automatic"][0]["enabled"], [e for e in d["settings"]["entries"] if e.get("label") == "查看更新设置问题…"][0]["shown"], d["settings"]["alerts"][0]["title"]')"

# Unusable input: exit 2, one line on standard error, nothing on standard output.
for input in 'not json' '[1]' '{"snapshot": 3}' '{"showsPowerDetails": "yes"}' \
             '{"screenVisibleHeight": "tall"}' '{"softwareUpdate": {"state": {"availableVersion": 2}}}' \
             '{"refreshInterval": 3}' '{"showsAllApplications": 1}' '{"launchAtLogin": {"errorMessage": 5}}' \
             '{"colorScheme": "dim"}' '{"colorScheme": 1}'; do
  out=$(printf '%s' "$input" | view 2>/tmp/view_err)
  check "rejects [$input]" 2 $?
  check "prints nothing for [$input]" "" "$out"
  check "one error line for [$input]" 1 "$(wc -l < /tmp/view_err)"
done

finish "view cli"
