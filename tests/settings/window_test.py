#!/usr/bin/python3
"""quelvo-settings as a user drives it: keys in, the accessibility tree read back.
usage: window_test.py CASE SETTINGS IDLE BUS_PEER DOCS"""
import glob
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import session as s  # noqa: E402

CASE, SETTINGS, IDLE, BUS_PEER, DOCS = sys.argv[1:6]
SWITCH = ("check box", "Start the screen saver when the computer is idle")
WAITING = "Starts after"


def runners(sess):
    """quelvo-idle processes of this session (other tests may run their own)."""
    found = []
    for comm in glob.glob("/proc/[0-9]*/comm"):
        try:
            with open(comm) as f, open(comm[:-4] + "environ", "rb") as e:
                if f.read().strip() == "quelvo-idle" and sess.config.encode() in e.read():
                    found.append(comm.split("/")[2])
        except OSError:
            pass
    return found


def runner_property(name):
    return subprocess.run(["gdbus", "call", "--session", "--dest", "org.quelvo.Quelvo.Idle",
                           "--object-path", "/org/quelvo/Quelvo/Idle", "--method",
                           "org.freedesktop.DBus.Properties.Get", "org.quelvo.Quelvo.Idle", name],
                          capture_output=True, text=True).stdout


def autostart(sess):
    """The commands the next session's autostart runs: systemd's generator reads the entries."""
    out = sess.dir + "/generated"
    os.makedirs(out, exist_ok=True)
    subprocess.run(["/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator"] +
                   [out] * 3, check=True, env=dict(os.environ, XDG_CONFIG_DIRS="/nonexistent"))
    units = "".join(read(p) for p in glob.glob(out + "/app-*autostart.service"))
    return re.findall(r"^ExecStart=(.*)$", units, re.M)


def read(path):
    with open(path) as f:
        return f.read()


def conf(sess, text):
    os.makedirs(sess.config + "/quelvo")
    with open(sess.config + "/quelvo/idle.conf", "w") as f:
        f.write(text)
    return sess.config + "/quelvo/idle.conf"


def turn_on_and_off(sess, out):
    sess.start([IDLE])  # started another way: shows as on
    assert s.wait_until(lambda: runner_property("State")), "the runner never took its name"
    win = s.Window(sess, SETTINGS)
    switch = win.tab_to(*SWITCH)
    assert s.wait_until(lambda: win.has(switch, "CHECKED")), "a running runner shows as off"
    assert s.wait_until(lambda: win.status().startswith(WAITING)), win.status()
    win.key("space")  # off: no runner, and none with the next session
    assert s.wait_until(lambda: not runners(sess)), "the runner still runs after off"
    assert s.wait_until(lambda: win.status() == "Off"), win.status()
    assert not autostart(sess), "the next session would start the runner"
    win.key("space")  # on: one runner now, and one with the next session
    assert s.wait_until(lambda: len(runners(sess)) == 1), runners(sess)
    assert s.wait_until(lambda: win.status().startswith(WAITING)), win.status()
    commands = autostart(sess)
    assert len(commands) == 1 and "quelvo-idle" in commands[0], commands
    sess.start(["sh", "-c", commands[0]])  # the session's autostart, with a runner running
    time.sleep(2)
    assert len(runners(sess)) == 1, f"two runners: {runners(sess)}"


def set_start_after(sess, out):
    path = conf(sess, "# my own note\nafter = 5m\nbackend = auto\n")
    os.rename(path, sess.dir + "/dotfiles.conf")  # a link into the user's dotfiles stays one
    os.symlink(sess.dir + "/dotfiles.conf", path)
    sess.start([IDLE])
    assert s.wait_until(lambda: "300000" in runner_property("After"))
    pids = runners(sess)
    os.environ["XDG_CURRENT_DESKTOP"] = "GNOME"  # blanks after 5 minutes (idle-delay 300)
    win = s.Window(sess, SETTINGS)
    assert win.find("push button", "Start after 4 minutes"), "no word of GNOME's blank delay"
    win.tab_to("spin button", "Start after, in minutes")
    subprocess.run(["wtype", "-M", "ctrl", "a", "-m", "ctrl", "2"], check=True)
    win.key("Tab")
    assert s.wait_until(lambda: "\nafter = 2m\n" in read(path)), read(path)
    assert read(path) == "# my own note\nafter = 2m\nbackend = auto\n", read(path)
    assert os.path.islink(path), "the link became a file"
    assert s.wait_until(lambda: "120000" in runner_property("After")), runner_property("After")
    assert runners(sess) == pids, "the runner was restarted"
    assert s.wait_until(lambda: not win.find("push button", "Start after 4 minutes")), \
        "GNOME's blank delay still said to come first"


def status_follows_inhibitors(sess, out):
    sess.start([IDLE])
    win = s.Window(sess, SETTINGS)
    assert s.wait_until(lambda: win.status().startswith(WAITING)), win.status()
    player = sess.start(["/usr/bin/python3", BUS_PEER, "inhibit"], stdin=subprocess.PIPE)
    assert s.wait_until(lambda: win.status() == "Held off by mpv: video", 1), win.status()
    player.stdin.write(b"release\n"), player.stdin.flush()
    assert s.wait_until(lambda: win.status().startswith(WAITING), 1), win.status()


def keyboard_only(sess, out):
    win = s.Window(sess, SETTINGS)
    wanted = {("push button", "Try It"), SWITCH, ("spin button", "Start after, in minutes"),
              ("check box", "Lock the screen"), ("list item", "Lock command"),
              (win.find(None, "Preview of the screen saver").getRoleName(),
               "Preview of the screen saver")}
    reached = set()
    for _ in range(20):
        node = win.focused()
        assert node is None or node.name, f"a {node.getRoleName()} without a name"
        reached |= {(node.getRoleName(), node.name)} if node else set()
        if wanted <= reached:
            break
        win.key("Tab")
    assert wanted <= reached, f"Tab never reaches {wanted - reached}"
    switch = win.tab_to(*SWITCH)
    win.key("space")
    assert s.wait_until(lambda: win.has(switch, "CHECKED")), "Space leaves the switch off"


def bad_line(sess, out):
    text = "after = 7m\nwhen = later\n# kept\n"
    path = conf(sess, text)
    before = os.stat(path).st_mtime_ns
    win = s.Window(sess, SETTINGS)
    assert s.wait_until(lambda: win.find("label", part='line 2: unknown key "when"'), 3), \
        "the bad line is not named"
    assert win.find("spin button", "Start after, in minutes").queryValue().currentValue == 7
    time.sleep(1)
    assert os.stat(path).st_mtime_ns == before and read(path) == text, "written unasked"
    win.tab_to(*SWITCH)
    win.key("space")  # the runner refuses the file: said, not shown as running
    assert s.wait_until(lambda: win.find("label", part="quelvo-idle did not start")), win.status()
    win.tab_to("check box", "Lock the screen")
    win.key("space")
    assert s.wait_until(lambda: "lock-after" in read(path)), read(path)
    assert read(path) == ("after = 7m\n# not understood, kept as a comment: when = later\n"
                          "# kept\nlock-after = 10m\n"), read(path)


def green(pixels):
    return sum(1 for i in range(0, len(pixels), 3)
               if pixels[i + 1] > 60 and pixels[i] < 40 and pixels[i + 2] < 40)


def grab(box):
    ppm = subprocess.run(["grim", "-t", "ppm", "-g", "%d,%d %dx%d" % box, "-"],
                         capture_output=True, check=True).stdout
    return ppm.split(maxsplit=4)[4]


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        return sum(int(t) for t in f.read().rsplit(")", 1)[1].split()[11:13])


def green_rows(pixels, width):
    return sum(green(pixels[y:y + width * 3]) > 2 for y in range(0, len(pixels), width * 3))


def preview(sess, out):
    win = s.Window(sess, SETTINGS)
    area = win.find(None, "Preview of the screen saver")
    box = win.extents(area)
    time.sleep(1)
    first = grab(box)
    time.sleep(0.25)
    second = grab(box)
    assert green(first) > 200 and green(second) > 200, "no rain in the preview"
    assert first != second, "the preview stands still"
    win.tab_to(area.getRoleName(), area.name)
    time.sleep(3)  # the banner is over: rain from top to bottom
    assert green_rows(grab(box), box[2]) > box[3] // 2, "no rain after the banner"
    win.key("a")  # a key ends the run, and a new one starts with its banner
    assert s.wait_until(lambda: green_rows(grab(box), box[2]) < box[3] // 4, 1), "no new run"
    sess.sway("[app_id=org.quelvo.Quelvo]", "move", "scratchpad")  # hidden: unmapped
    time.sleep(0.5)
    ticks = cpu_ticks(win.process.pid)
    time.sleep(5)
    used = cpu_ticks(win.process.pid) - ticks
    assert used <= 2, f"{used} clock ticks of CPU in 5 s while hidden"


def screenshots(sess, out):
    win = s.Window(sess, SETTINGS)
    win.tab_to(*SWITCH)
    win.key("space")
    assert s.wait_until(lambda: win.status().startswith(WAITING)), win.status()
    for width, height in ((800, 760), (360, 720)):
        sess.sway("output", "HEADLESS-1", "resolution", f"{width}x{height}")
        assert s.wait_until(lambda: win.extents(win.app[0])[2] == width)
        time.sleep(1)
        for node in win.walk():
            if node.getRoleName() in ("list item", "label", "spin button", "check box",
                                      "push button") and win.has(node, "SHOWING"):
                x, _, w, _ = win.extents(node)
                assert 0 <= x and x + w <= width, f"{node.name!r} is cut at {width} px"
        subprocess.run(["grim", f"{out}/settings-{width}.png"], check=True)


if __name__ == "__main__":
    sys.exit(s.run_case(globals()[CASE], DOCS))
