#!/usr/bin/env python3
"""Idle cost of `pylonix --terminal` beside `top -d 1`, measured side by side in one run.

  bench/terminal_view_figures.py [PYLONIX] [SECONDS] [RUNS]

Both run on pseudo-terminals of 100 x 40 at the same time, pylonix at its 1 s interval (fresh
preferences) on the ThinkPad fixture battery. On a machine whose processor energy is not
readable (no RAPL access) no application has a figure, so the application list only says so.
After 5 s of start-up, each window of SECONDS (default 60) measures the processor time
(user + system, from /proc/<pid>/stat) of each program, scaled to one minute, and the
resident size at its end (VmRSS). Prints the median of RUNS windows (default 3) and each one.
"""
import os
import pty
import select
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import fcntl
import termios

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIXTURE = os.path.join(ROOT, "tests", "fixtures", "power_supply", "thinkpad_discharging")
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid, encoding="ascii") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def resident_mb(pid):
    with open("/proc/%d/status" % pid, encoding="ascii") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def start_on_pty(command, env):
    master, slave = pty.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 40, 100, 0, 0))
    process = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave, env=env,
                               start_new_session=True)
    os.close(slave)
    return process, master


def drain(masters, seconds):
    """Reads what the programs draw for `seconds`, so that neither waits on a full terminal."""
    deadline = time.monotonic() + seconds
    while (left := deadline - time.monotonic()) > 0:
        ready, _, _ = select.select(masters, [], [], left)
        for master in ready:
            try:
                os.read(master, 65536)
            except OSError:
                pass


def main():
    pylonix = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build/release/src/app/pylonix")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    with tempfile.TemporaryDirectory() as config:
        env = dict(os.environ, TERM="xterm-256color", XDG_CONFIG_HOME=config,
                   PYLONIX_POWER_SUPPLY_ROOT=FIXTURE, LANG="C.UTF-8")
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "NO_COLOR"):
            env.pop(name, None)
        programs = {"pylonix --terminal": start_on_pty([pylonix, "--terminal"], env),
                    "top -d 1": start_on_pty(["top", "-d", "1"], env)}
        masters = [master for _, master in programs.values()]
        drain(masters, 5.0)
        results = {name: [] for name in programs}
        for _ in range(runs):
            before = {name: cpu_seconds(p.pid) for name, (p, _) in programs.items()}
            drain(masters, seconds)
            for name, (process, _) in programs.items():
                used = cpu_seconds(process.pid) - before[name]
                results[name].append((used * 60.0 / seconds, resident_mb(process.pid)))
        load = os.getloadavg()
        for process, master in programs.values():
            process.terminate()
            process.wait(10)
            os.close(master)

    print("windows of %.0f s, %d runs; load average at the end %.2f %.2f %.2f"
          % (seconds, runs, *load))
    print("| program | CPU per minute (median) | share of one core | resident size (median) | each window: CPU s/min, RSS MB |")
    print("| --- | ---: | ---: | ---: | --- |")
    for name, values in results.items():
        cpu = statistics.median(v[0] for v in values)
        rss = statistics.median(v[1] for v in values)
        each = "; ".join("%.2f, %.1f" % v for v in values)
        print("| `%s` | %.2f s | %.2f %% | %.1f MB | %s |" % (name, cpu, cpu / 60 * 100, rss, each))


if __name__ == "__main__":
    main()
