#!/bin/sh
# The application-power subcommands as a user runs them: documented JSON on success, exit 2
# with one line on standard error for unusable input, nothing on standard output then.
set -u
probe=$1
fixtures=$2
failures=0

expect() {  # expect NAME EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        echo "FAIL $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}

out=$("$probe" bundle-path /Applications/Mail.APP/Contents/MacOS/Mail /usr/bin/top)
expect bundle-path '{"/Applications/Mail.APP/Contents/MacOS/Mail":"/Applications/Mail.APP","/usr/bin/top":null}' "$out"

"$probe" bundle-path >/dev/null 2>&1
expect bundle-path-usage 2 $?

out=$(printf '%s' '{"applications":[{"id":"/Applications/Terminal.app","name":"Terminal","processIDs":[100]}],
  "metadata":{"101":{"pid":101,"parentPID":100,"executablePath":"/bin/zsh"},
              "102":{"pid":102,"parentPID":101,"executablePath":null},
              "200":{"pid":200,"parentPID":201,"executablePath":null},
              "201":{"pid":201,"parentPID":200,"executablePath":null}}}' | "$probe" attribute)
expect attribute '{"attribution":{"100":"/Applications/Terminal.app","101":"/Applications/Terminal.app","102":"/Applications/Terminal.app"}}' "$out"

for bad in 'not json' '[]' '{"applications":[]}' '{"applications":[],"metadata":{"1":{"pid":1,"parentPID":-4}}}'; do
    out=$(printf '%s' "$bad" | "$probe" attribute 2>/tmp/apppower_cli_err.$$)
    status=$?
    expect "attribute refuses: $bad" "2 0 1" "$status ${#out} $(wc -l </tmp/apppower_cli_err.$$)"
done
rm -f /tmp/apppower_cli_err.$$

# The worked example: the second pass splits 11 W into 1.5 W of application CPU and the rest.
# Under the C locale names still sort with letter case ignored and digit runs by value.
out=$(LC_ALL=C "$probe" replay "$fixtures/apppower/replay_three_passes.json")
expect replay-status 0 $?
expect replay-output "$(cat "$fixtures/apppower/replay_three_passes.expected.json")" "$out"
out=$("$probe" replay - <"$fixtures/apppower/replay_three_passes.json" | wc -c)
[ "$out" -gt 100 ] || { echo "FAIL replay from standard input"; failures=$((failures + 1)); }

out=$(printf '%s' '{"passes":[{"applications":[],"reading":{"counters":{},"knownProcessCounts":{"/a.app":-1},"errorMessage":null,"powerSample":null},"samplesAfter":[]}]}' | "$probe" replay 2>&1 >/dev/null)
expect replay-refuses "pylonix-probe replay: passes[0].reading.knownProcessCounts./a.app must not be negative" "$out"

"$probe" replay /nonexistent/file >/dev/null 2>&1
expect replay-missing-file 2 $?

# Live passes over the fixture process table: the last of two passes finds the terminal by its
# scope; without RAPL every counter stays 0, which the pass says in the user's words.
out=$(LC_ALL=C XDG_DATA_HOME="$fixtures/xdg/home" XDG_DATA_DIRS="$fixtures/xdg/system" "$probe" apps \
    --proc "$fixtures/proc_table" --powercap /nonexistent --sysfs /nonexistent --settle 0 --passes 2)
expect apps-terminal 1 "$(printf '%s' "$out" | grep -c '"id":"[^"]*/org.gnome.Terminal.desktop","name":"Terminal","processIDs":\[1200,1210\]')"
expect apps-message 1 "$(printf '%s' "$out" | grep -c '"errorMessage":"这台电脑暂未提供应用 CPU 能耗数据。"')"
out=$("$probe" apps --passes 0 2>&1 >/dev/null)
expect apps-passes-usage "pylonix-probe apps: --passes takes a whole number of at least 1" "${out%% (usage:*}"

[ $failures -eq 0 ] && echo "all application-power probe checks passed"
exit $failures
