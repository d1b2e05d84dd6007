#!/usr/bin/env python3
"""The terminal view of the real `pylonix`, against a fixture battery.

  terminal_view_test.py piped PYLONIX FIXTURE   plain blocks on a pipe, the launch refusals
  terminal_view_test.py pty PYLONIX FIXTURE     keys, colours, signals and the terminal's
                                                modes, on a pseudo-terminal
"""
import fcntl
import os
import pty
import re
import select
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import time

ESCAPE = "\x1b"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)
    print("ok: " + message)


def fixture_figure(fixture):
    """The whole-machine figure the panel shows for a discharging fixture: its power, "%.2f"."""
    with open(os.path.join(fixture, "BAT0", "uevent"), encoding="utf-8") as uevent:
        fields = dict(line.strip().split("=", 1) for line in uevent if "=" in line)
    return "%.2f W" % (int(fields["POWER_SUPPLY_POWER_NOW"]) / 1e6)


def environment(fixture, config, **changes):
    env = {key: value for key, value in os.environ.items()
           if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "NO_COLOR")}
    env.update(PYLONIX_POWER_SUPPLY_ROOT=fixture, XDG_CONFIG_HOME=config, TERM="xterm-256color",
               LANG="C.UTF-8", TZ="UTC")
    env.update(changes)
    return {key: value for key, value in env.items() if value is not None}


def piped(pylonix, fixture, config):
    figure = fixture_figure(fixture)
    result = subprocess.run([pylonix, "--terminal", "--count", "2"], env=environment(fixture, config),
                            capture_output=True, timeout=60)
    out = result.stdout.decode()
    check(result.returncode == 0, "--terminal --count 2 ends by itself with status 0")
    blocks = out.split("\n\n更新于")
    check(out.count("更新于") == 2, "two blocks, each with its updated-at line")
    check(out.count(figure) == 2, "each block shows the fixture's figure " + figure)
    check(out.count("整机耗电") == 2 and out.count("电池与供电详情") == 2,
          "each block has the power card and the details")
    check(ESCAPE not in out, "no escape sequence on a pipe")
    check("刷新频率" not in out, "no keys offered where none are read")
    check(len(blocks) == 3, "blocks are separated by one empty line")

    no_display = subprocess.run([pylonix], env=environment(fixture, config), capture_output=True,
                                timeout=60)
    err = no_display.stderr.decode()
    check(no_display.returncode == 2, "without a display and a terminal: status 2")
    check(no_display.stdout == b"", "... and nothing on standard output")
    check(err.count("\n") == 1 and "DISPLAY" in err and "--terminal" in err,
          "... and one line on standard error naming DISPLAY and --terminal: " + err.strip())

    for arguments in (["--terminal", "--count", "0"], ["--count", "2"], ["--terminal", "--count"]):
        bad = subprocess.run([pylonix] + arguments, env=environment(fixture, config),
                             capture_output=True, timeout=60)
        check(bad.returncode == 2 and bad.stdout == b"" and bad.stderr.count(b"\n") == 1,
              "%s: status 2 and one line: %s" % (" ".join(arguments), bad.stderr.decode().strip()))


class Terminal:
    """`pylonix` on a pseudo-terminal of 100 x 40."""

    def __init__(self, command, env):
        self.master, self.slave = pty.openpty()
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 100, 0, 0))
        self.modes_before = self.stty()
        self.process = subprocess.Popen(command, stdin=self.slave, stdout=self.slave,
                                        stderr=self.slave, env=env, start_new_session=True)
        self.output = ""
        self.raw = b""

    def stty(self):
        return subprocess.run(["stty", "-g"], stdin=self.slave, capture_output=True,
                              check=True).stdout.decode().strip()

    def text(self):
        """The output without its colour sequences."""
        return re.sub(r"\x1b\[[0-9;]*m", "", self.output)

    def read_until(self, pattern, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if re.search(pattern, self.text()):
                return True
            ready, _, _ = select.select([self.master], [], [], 0.1)
            if ready:
                try:
                    chunk = os.read(self.master, 65536)
                except OSError:
                    break
                self.raw += chunk
                self.output = self.raw.decode(errors="replace")
        return bool(re.search(pattern, self.text()))

    def send(self, keys):
        os.write(self.master, keys.encode())

    def wait(self, timeout=20):
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            fail("pylonix did not end")
        self.read_until(r"\x1b\[\?1049l", timeout=1)
        return status

    def close(self):
        os.close(self.master)
        os.close(self.slave)


def read_interval(config, expected, timeout=5):
    """The interval in the preferences once it is `expected`, or whatever it is at the end."""
    deadline = time.monotonic() + timeout
    while True:
        found = kept_interval(config)
        if found == expected or time.monotonic() > deadline:
            return found
        time.sleep(0.05)


def kept_interval(config):
    path = os.path.join(config, "Pylonix", "Pylonix.conf")
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as settings:
        found = re.search(r"refreshIntervalSeconds=(\S+)", settings.read())
    return found.group(1) if found else None


def on_pty(pylonix, fixture, config):
    figure = fixture_figure(fixture)
    env = environment(fixture, config)

    # Keys: an interval, then q.
    term = Terminal([pylonix, "--terminal"], env)
    check(term.read_until(r"刷新频率 1 秒"), "the keys line names the interval: 1 s by default")
    check(term.stty() != term.modes_before, "the terminal reads keys at once while it runs")
    check("\x1b[?1049h" in term.output, "the view is on the alternate screen")
    check(re.search(r"\x1b\[33;1m" + re.escape(figure), term.output) is not None,
          "the figure is drawn in the discharging tint (orange)")
    term.output, term.raw = "", b""
    term.send("3")
    check(term.read_until(r"刷新频率 2 秒"), "3 picks the 2 s interval")
    check(read_interval(config, "2") == "2", "... and keeps it in the preferences")
    check("\x1b[2J" not in term.output, "redrawn in place, never cleared")
    term.send("1")
    check(term.read_until(r"刷新频率 0.5 秒"), "1 picks 0.5 s")
    term.send("q")
    check(term.wait() == 0, "q quits with status 0")
    check(term.output.rstrip().endswith("\x1b[?1049l"), "the normal screen is back at the end")
    check(term.stty() == term.modes_before, "the terminal's modes are as they were")
    term.close()

    # Started without a display on a terminal: one line, then the view, which reads the
    # interval kept by the run before.
    term = Terminal([pylonix], env)
    check(term.read_until(r"刷新频率 0.5 秒"), "no display: the view shows, with the kept interval")
    check(re.search(r"pylonix: no display[^\n]*terminal\r?\n", term.output) is not None,
          "... after one line that says why")
    term.send("\x03")
    check(term.wait() == 128 + signal.SIGINT, "Ctrl-C ends it as an interrupt")
    check(term.stty() == term.modes_before, "the terminal's modes are restored after Ctrl-C")
    term.close()

    for sent in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        term = Terminal([pylonix, "--terminal"], env)
        check(term.read_until(r"刷新频率"), "started for " + sent.name)
        term.process.send_signal(sent)
        check(term.wait() == 128 + sent, sent.name + " ends it with status %d" % (128 + sent))
        check("\x1b[?1049l" in term.output and term.stty() == term.modes_before,
              "the screen and the modes are restored after " + sent.name)
        term.close()

    # r reads at once: with the 5 s interval kept, three refreshes (the first and two asked
    # for) end a --count 3 run long before the loop's first tick.
    with open(os.path.join(config, "Pylonix", "Pylonix.conf"), "w", encoding="utf-8") as settings:
        settings.write("[General]\nrefreshIntervalSeconds=5\n")
    term = Terminal([pylonix, "--terminal", "--count", "3"], env)
    check(term.read_until(r"刷新频率 5 秒"), "the kept 5 s interval is shown")
    started = time.monotonic()
    term.send("r")
    time.sleep(0.2)
    term.send("r")
    check(term.wait(timeout=4) == 0 and time.monotonic() - started < 4,
          "r refreshes at once: two presses make the third refresh")
    term.close()

    # NO_COLOR: drawn in place, without colours.
    term = Terminal([pylonix, "--terminal"], environment(fixture, config, NO_COLOR="1"))
    check(term.read_until(r"刷新频率"), "NO_COLOR: the view shows")
    check(re.search(r"\x1b\[[0-9;]*m", term.output.replace("\x1b[0m", "")) is None,
          "NO_COLOR: no colour sequence")
    term.send("q")
    check(term.wait() == 0, "NO_COLOR: q quits")
    term.close()

    # A dumb terminal: plain blocks, keys still read.
    term = Terminal([pylonix, "--terminal", "--count", "2"], environment(fixture, config, TERM="dumb"))
    check(term.wait() == 0, "TERM=dumb: --count 2 ends by itself")
    check(ESCAPE not in term.output and term.output.count(figure) == 2,
          "TERM=dumb: two plain blocks with the figure, no escape sequence")
    check(term.stty() == term.modes_before, "TERM=dumb: the modes are restored")
    term.close()


def main():
    mode, pylonix, fixture = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as config:
        if mode == "piped":
            piped(pylonix, fixture, config)
        else:
            on_pty(pylonix, fixture, config)


if __name__ == "__main__":
    main()
