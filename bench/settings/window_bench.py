#!/usr/bin/python3
"""quelvo-settings on a headless sway (the tests' session): the time from start to the
window's first frame beside GTK alone; the preview's CPU beside `quelvo /p` of the same
area on Xvfb; and what the process does while the window is hidden.

  bench/settings/window_bench.py [runs]        (5; uses build/native, building what it needs)

First frame: the client's own Wayland log (WAYLAND_DEBUG) time-stamps the first commit of the
toplevel's surface with a buffer attached; the clock is the same wall clock in milliseconds."""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "settings"))
import session as s  # noqa: E402

BUILD = os.path.join(ROOT, "build", "native")
RUNS = int(sys.argv[1]) if len(sys.argv) > 1 else 5
SETTINGS = os.path.join(BUILD, "quelvo-settings")
SECONDS = 15


def first_frame_ms(argv):
    # libwayland stamps its log with the wall clock's microseconds modulo 2^32.
    start = time.time_ns() // 1000 % 2**32
    child = subprocess.Popen(argv, env=dict(os.environ, WAYLAND_DEBUG="1"),
                             stderr=subprocess.PIPE, text=True, start_new_session=True)
    surface, attached, frame = None, False, None
    for line in child.stderr:
        if surface is None:
            m = re.search(r"-> xdg_wm_base@\d+\.get_xdg_surface\(new id xdg_surface@\d+, "
                          r"wl_surface@(\d+)\)", line)
            surface = m and m.group(1)
        elif f"-> wl_surface@{surface}.attach(wl_buffer@" in line:
            attached = True
        elif attached and f"-> wl_surface@{surface}.commit()" in line:
            ms, us = line[1:line.index("]")].split(".")
            frame = int(ms) * 1000 + int(us)
            break
    child.kill(), child.wait()
    return (frame - start) % 2**32 / 1000


def cpu_us(pid):
    with open(f"/proc/{pid}/schedstat") as f:
        return int(f.read().split()[0]) / 1000


def wakeups(pid):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as f:
            total += sum(int(l.split()[1]) for l in f if "ctxt_switches" in l)
    return total


def over(pids, seconds, measure):
    before = [measure(p) for p in pids]
    time.sleep(seconds)
    return [measure(p) - b for p, b in zip(pids, before)]


def quelvo_p(width, height):
    """CPU per 1/64 s tick of `quelvo /p` in a host window of the size, and of its Xvfb."""
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp"], stdout=subprocess.PIPE, text=True,
                            stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=":" + xvfb.stdout.readline().strip())
    host = subprocess.Popen([os.path.join(BUILD, "bench/preview/quelvo_preview_x_host"),
                             str(width), str(height)], stdout=subprocess.PIPE, text=True, env=env)
    saver = subprocess.Popen([os.path.join(BUILD, "quelvo"), "/p", host.stdout.readline().strip()],
                             env=env)
    time.sleep(5.3)
    used = over([saver.pid, xvfb.pid], SECONDS, cpu_us)
    for p in (saver, host, xvfb):
        p.terminate(), p.wait()
    return [u / (SECONDS * 64) for u in used]


def per_tick(argv, sway):
    """CPU per 1/64 s tick of a window and of sway, after the banner; then the window."""
    window = subprocess.Popen(argv, stderr=subprocess.DEVNULL, start_new_session=True)
    time.sleep(5.3)  # the banner, then rain
    return [u / (SECONDS * 64) for u in over([window.pid, sway], SECONDS, cpu_us)], window


def bench(sess, out):
    sway = int(subprocess.run(["pgrep", "-x", "-U", str(os.geteuid()), "sway"],
                              capture_output=True, text=True).stdout.split()[0])
    bare = os.path.join(sess.dir, "bare_window")
    subprocess.run(f"cc -O2 {ROOT}/bench/settings/bare_window.c -o {bare} "
                   "$(pkg-config --cflags --libs libadwaita-1)", shell=True, check=True)
    starts = {name: statistics.median(first_frame_ms(argv) for _ in range(RUNS)) for name, argv in
              (("GtkWindow, empty", [bare, "gtk"]), ("AdwApplicationWindow, empty", [bare, "adw"]),
               ("quelvo-settings", [SETTINGS]))}

    # No accessibility client listens while CPU is counted: its events cost the window too.
    floor, window = per_tick([bare, "frames"], sway)
    window.kill(), window.wait()
    shown, window = per_tick([SETTINGS], sway)
    shown_wakeups = over([window.pid], 10, wakeups)[0]
    sess.sway("[app_id=org.quelvo.Quelvo]", "move", "scratchpad")
    time.sleep(1)
    hidden_us = over([window.pid], 10, cpu_us)[0]
    hidden_wakeups = over([window.pid], 10, wakeups)[0]
    window.kill(), window.wait()
    win = s.Window(sess, SETTINGS)
    _, _, width, height = win.extents(win.find(None, "Preview of the screen saver"))
    p, x = quelvo_p(width, height)

    print(f"\nquelvo-settings on a headless sway (pixman, GTK's GL through llvmpipe), "
          f"medians of {RUNS} runs:")
    for name, ms in starts.items():
        print(f"  start to first frame, {name:28} {ms:7.1f} ms")
    print(f"  target <= 400 ms: {'met' if starts['quelvo-settings'] <= 400 else 'MISSED'}")
    print(f"\npreview {width}x{height}, {SECONDS} s, us of CPU per 1/64 s tick:")
    print(f"  quelvo-settings, preview running              {shown[0]:8.1f}  (sway: {shown[1]:.1f})")
    print(f"  GTK alone: a black area that size redrawn     {floor[0]:8.1f}  (sway: {floor[1]:.1f})")
    print(f"    every frame in an AdwApplicationWindow")
    print(f"  the preview's own share (window - GTK alone)  {shown[0] - floor[0]:8.1f}")
    print(f"  quelvo /p in an X window of that size         {p:8.1f}  (Xvfb: {x:.1f})")
    ratio = shown[0] / (p + x)
    print(f"  window / (quelvo /p + Xvfb): {ratio:.2f} (target <= 1.5: "
          f"{'met' if ratio <= 1.5 else 'MISSED'}); preview's share / (quelvo /p + Xvfb): "
          f"{(shown[0] - floor[0]) / (p + x):.2f}")
    print(f"\nwindow hidden (sway's scratchpad), 10 s: {hidden_us / 1000:.1f} ms of CPU, "
          f"{hidden_wakeups} wakeups of all its threads (shown: {shown_wakeups})")


if __name__ == "__main__":
    subprocess.run(["cmake", "--build", "--preset", "native", "--target", "quelvo-settings",
                    "quelvo", "quelvo_preview_x_host"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    sys.exit(s.run_case(bench, tempfile.gettempdir()))
