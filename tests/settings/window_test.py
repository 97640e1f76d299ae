#!/usr/bin/python3
"""quelvo-settings as a user drives it: by keyboard, read through the accessibility tree,
on a headless sway with a session bus of its own.
usage: window_test.py CASE SETTINGS IDLE BUS_PEER DOCS"""
import configparser
import glob
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import session as s  # noqa: E402

CASE, SETTINGS, IDLE, BUS_PEER, DOCS = sys.argv[1:6]
SWITCH = ("check box", "Start the screen saver when the computer is idle")


def runners(sess):
    """quelvo-idle processes of this session (other tests may run their own)."""
    found = []
    for comm in glob.glob("/proc/[0-9]*/comm"):
        try:
            with open(comm) as f, open(comm[:-4] + "environ", "rb") as e:
                if f.read().strip() == "quelvo-idle" and sess.config.encode() in e.read():
                    found.append(int(comm.split("/")[2]))
        except OSError:
            pass
    return found


def runner_property(name):
    out = subprocess.run(["gdbus", "call", "--session", "--dest", "org.quelvo.Quelvo.Idle",
                          "--object-path", "/org/quelvo/Quelvo/Idle", "--method",
                          "org.freedesktop.DBus.Properties.Get", "org.quelvo.Quelvo.Idle", name],
                         capture_output=True, text=True).stdout
    return out.strip()


def autostart_units(sess):
    """What the session's autostart would start: systemd's generator over the user's entries."""
    out = os.path.join(sess.dir, "generated")
    os.makedirs(out, exist_ok=True)
    subprocess.run(["/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator",
                    out, out, out], check=True, env=dict(os.environ, XDG_CONFIG_DIRS="/nonexistent"))
    units = {}
    for path in glob.glob(out + "/app-*autostart.service"):
        unit = configparser.ConfigParser(interpolation=None, strict=False)
        unit.read(path)
        units[os.path.basename(path)] = unit["Service"]["ExecStart"]
    return units


def write_conf(sess, text):
    os.makedirs(os.path.join(sess.config, "quelvo"), exist_ok=True)
    path = os.path.join(sess.config, "quelvo", "idle.conf")
    with open(path, "w") as f:
        f.write(text)
    return path


def read(path):
    with open(path) as f:
        return f.read()


def turn_on_and_off(sess, out):
    # A runner started another way shows as on, and turning on never makes a second one.
    sess.start([IDLE])
    assert s.wait_until(lambda: runner_property("State")), "the runner never took its name"
    win = s.Window(sess, SETTINGS)
    switch = win.tab_to(*SWITCH)
    assert s.wait_until(lambda: win.has(switch, "CHECKED")), "a running runner shows as off"
    assert s.wait_until(lambda: win.row_text("Status").startswith("Starts after")), \
        win.row_text("Status")

    win.key("space")  # off: no runner, and none comes with the next session
    assert s.wait_until(lambda: not runners(sess)), "the runner still runs after off"
    assert s.wait_until(lambda: win.row_text("Status") == "Off"), win.row_text("Status")
    assert not autostart_units(sess), "the next session would start the runner"

    win.key("space")  # on: one runner now, and the next session's autostart starts it
    assert s.wait_until(lambda: len(runners(sess)) == 1), runners(sess)
    assert s.wait_until(lambda: win.row_text("Status").startswith("Starts after"))
    units = autostart_units(sess)
    assert len(units) == 1, units
    sess.start(["sh", "-c", next(iter(units.values()))])  # the session's autostart, again
    time.sleep(2)
    assert len(runners(sess)) == 1, f"two runners: {runners(sess)}"


def set_start_after(sess, out):
    conf = write_conf(sess, "# my own note\nafter = 5m\nbackend = auto\n")
    sess.start([IDLE])
    assert s.wait_until(lambda: "300000" in runner_property("After"))
    pid = runners(sess)
    win = s.Window(sess, SETTINGS)
    win.tab_to("spin button", "Start after, in minutes")
    subprocess.run(["wtype", "-M", "ctrl", "a", "-m", "ctrl"], check=True)
    win.type("2")
    win.key("Tab")
    assert s.wait_until(lambda: "after = 2m" in read(conf)), read(conf)
    text = read(conf)
    assert text.startswith("# my own note\n") and "backend = auto" in text, text
    assert s.wait_until(lambda: "120000" in runner_property("After")), runner_property("After")
    assert runners(sess) == pid, "the runner was restarted"


def status_follows_inhibitors(sess, out):
    sess.start([IDLE])
    win = s.Window(sess, SETTINGS)
    assert s.wait_until(lambda: win.row_text("Status").startswith("Starts after"))
    player = sess.start(["/usr/bin/python3", BUS_PEER, "inhibit"], stdin=subprocess.PIPE)
    assert s.wait_until(lambda: win.row_text("Status").startswith("Held off by"), 1.0), \
        win.row_text("Status")
    assert "video" in win.row_text("Status"), win.row_text("Status")
    player.stdin.write(b"release\n"), player.stdin.flush()
    assert s.wait_until(lambda: win.row_text("Status").startswith("Starts after"), 1.0), \
        win.row_text("Status")


def keyboard_only(sess, out):
    win = s.Window(sess, SETTINGS)
    reached = set()
    for _ in range(30):
        node = win.focused()
        if node is not None:
            assert node.name, f"a {node.getRoleName()} without an accessible name"
            reached.add((node.getRoleName(), node.name))
        win.key("Tab")
    wanted = {("push button", "Try It"), SWITCH, ("spin button", "Start after, in minutes"),
              ("check box", "Lock the screen"), ("list item", "Lock command")}
    assert wanted <= reached, f"Tab never reaches {wanted - reached}, only {reached}"
    assert any("Preview" in name for _, name in reached), reached
    switch = win.tab_to(*SWITCH)
    win.key("space")
    assert s.wait_until(lambda: win.has(switch, "CHECKED")), "Space leaves the switch off"


def bad_line(sess, out):
    text = "after = 7m\nwhen = later\n# kept\n"
    conf = write_conf(sess, text)
    before = os.stat(conf).st_mtime_ns
    win = s.Window(sess, SETTINGS)
    problem = s.wait_until(lambda: win.find("label", part="line 2:"), 3)
    assert problem is not None and "when" in problem.name, "the bad line is not named"
    spin = win.find("spin button", "Start after, in minutes")
    assert spin.queryValue().currentValue == 7, "the good line is not shown"
    time.sleep(1)
    assert os.stat(conf).st_mtime_ns == before and read(conf) == text, "written unasked"
    win.tab_to("check box", "Lock the screen")
    win.key("space")
    assert s.wait_until(lambda: "lock-after = 10m" in read(conf)), read(conf)
    assert read(conf).startswith("after = 7m\n# not understood, kept as a comment: when = later\n"
                                 "# kept\n"), read(conf)


def green(pixels):
    """How many pixels are the rain's green (bright or dim, no red or blue)."""
    return sum(1 for i in range(0, len(pixels), 3)
               if pixels[i + 1] > 60 and pixels[i] < 40 and pixels[i + 2] < 40)


def preview(sess, out):
    win = s.Window(sess, SETTINGS)
    area = win.find(None, "Preview of the screen saver")
    box = win.extents(area)
    time.sleep(1)
    first = win.grab(box)[2]
    time.sleep(0.25)
    second = win.grab(box)[2]
    assert green(first) > 200 and green(second) > 200, "no rain in the preview"
    assert first != second, "the preview stands still"
    # Hidden (sway's scratchpad unmaps it), the window's frame clock stops and so does the run.
    sess.sway("[app_id=org.quelvo.Quelvo]", "move", "scratchpad")
    time.sleep(0.5)
    ticks = cpu_ticks(win.process.pid)
    time.sleep(5)
    used = cpu_ticks(win.process.pid) - ticks
    assert used <= 2, f"{used} clock ticks of CPU in 5 s while hidden"


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def screenshots(sess, out):
    win = s.Window(sess, SETTINGS)
    for width, height in ((800, 900), (360, 720)):
        sess.sway("output", "HEADLESS-1", "resolution", f"{width}x{height}")
        frame = win.app[0]
        assert s.wait_until(lambda: win.extents(frame)[2] == width), win.extents(frame)
        time.sleep(1)
        for node in win.walk(frame):
            if node.getRoleName() in ("list item", "label", "spin button", "check box",
                                      "push button") and win.has(node, "SHOWING"):
                x, _, w, _ = win.extents(node)
                assert x >= 0 and x + w <= width, f"{node.name!r} is cut at {width} px: {x}+{w}"
        subprocess.run(["grim", os.path.join(out, f"settings-{width}.png")], check=True)


CASES = {"turn_on_and_off": turn_on_and_off, "set_start_after": set_start_after,
         "status_follows_inhibitors": status_follows_inhibitors, "keyboard_only": keyboard_only,
         "bad_line": bad_line, "preview": preview, "screenshots": screenshots}

if __name__ == "__main__":
    sys.exit(s.run_case(CASES[CASE], DOCS))
