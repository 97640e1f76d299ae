"""A desktop session of the tests' own for quelvo-settings: a private session bus (with its
accessibility bus started on demand), a headless sway with one output, and a home folder.
Run as root, the tests become `nobody` first, because sway refuses root."""
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def run_case(case, keep):
    """Runs case(session, out) in a session of its own, as `nobody` when run as root; then
    copies what the case left in `out` (screenshots) to the folder `keep`."""
    out = tempfile.mkdtemp(prefix="quelvo-settings-out-")
    os.chmod(out, 0o777)
    pid = os.fork()
    if pid == 0:
        code = 1
        try:
            if os.geteuid() == 0:
                user = pwd.getpwnam("nobody")
                os.setgroups([]), os.setgid(user.pw_gid), os.setuid(user.pw_uid)
            sess = Session()
            try:
                case(sess, out)
                code = 0
            finally:
                sess.close()
        except SystemExit as e:
            code = e.code
        except BaseException:
            import traceback
            traceback.print_exc()
        sys.stderr.flush()
        os._exit(code)
    _, status = os.waitpid(pid, 0)
    for name in os.listdir(out):
        shutil.copy(os.path.join(out, name), keep)
    shutil.rmtree(out, ignore_errors=True)
    return os.waitstatus_to_exitcode(status)


def wait_until(check, timeout=5.0, step=0.05):
    end = time.monotonic() + timeout
    while True:
        value = check()
        if value or time.monotonic() > end:
            return value
        time.sleep(step)


class Session:
    def __init__(self, width=800, height=900):
        self.dir = tempfile.mkdtemp(prefix="quelvo-settings-")
        self.home = os.path.join(self.dir, "home")
        self.config = os.path.join(self.home, ".config")
        run = os.path.join(self.dir, "run")
        os.makedirs(self.config), os.makedirs(run, mode=0o700)
        self.children = []
        env = os.environ
        env.update(HOME=self.home, XDG_CONFIG_HOME=self.config, XDG_RUNTIME_DIR=run,
                   XDG_CACHE_HOME=os.path.join(self.dir, "cache"), GSETTINGS_BACKEND="memory")
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK", "DBUS_SESSION_BUS_ADDRESS"):
            env.pop(name, None)
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE)
        env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        conf = os.path.join(self.dir, "sway.conf")
        with open(conf, "w") as f:
            f.write(f"output HEADLESS-1 resolution {width}x{height}\n"
                    "default_border none\nfocus_follows_mouse no\n")
        env["SWAYSOCK"] = os.path.join(run, "sway.sock")
        self.start(["sway", "-c", conf], env=dict(env, WLR_BACKENDS="headless",
                   WLR_RENDERER="pixman", WLR_LIBINPUT_NO_DEVICES="1"))
        if not wait_until(lambda: os.path.exists(os.path.join(run, "wayland-1")), 15):
            self.close()
            sys.exit(77)  # no compositor here: skipped
        env["WAYLAND_DISPLAY"] = "wayland-1"
        # The seat's keyboard, there before any window maps, so that windows get the focus.
        self.start(["wtype", "-s", "600000", ""])

    def start(self, argv, **kwargs):
        kwargs.setdefault("stderr", subprocess.DEVNULL)
        child = subprocess.Popen(argv, start_new_session=True, **kwargs)
        self.children.append(child)
        return child

    def sway(self, *command):
        return subprocess.run(["swaymsg", *command], capture_output=True, text=True).stdout

    def close(self):
        for child in reversed(self.children):
            try:
                os.killpg(child.pid, signal.SIGTERM)
                child.wait(5)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                pass
        shutil.rmtree(self.dir, ignore_errors=True)


def import_atspi():
    """pyatspi reads the session bus address when imported: import it once the session is up."""
    import pyatspi
    return pyatspi


class Window:
    """The running quelvo-settings, seen through the accessibility tree and driven by keys."""

    def __init__(self, session, program, *args):
        self.session = session
        self.process = session.start([program, *args])
        self.atspi = import_atspi()
        self.app = wait_until(self._find_app, 10)
        assert self.app is not None, "quelvo-settings shows no window in the accessibility tree"

    def _find_app(self):
        for app in self.atspi.Registry.getDesktop(0):
            if app is not None and app.name == "quelvo-settings" and app.childCount > 0:
                return app
        return None

    def walk(self, node=None):
        node = node or self.app
        yield node
        for child in node:
            if child is not None:
                yield from self.walk(child)

    def find(self, role, name=None, part=None):
        for node in self.walk():
            if role in (None, node.getRoleName()) and (name is None or node.name == name) and (
                    part is None or part in node.name):
                return node
        return None

    def has(self, node, state):
        return node.getState().contains(getattr(self.atspi, "STATE_" + state))

    def focused(self):
        for node in self.walk():
            if self.has(node, "FOCUSED"):
                return node
        return None

    def row_text(self, title):
        """The labels of the row with this title, after the title: its subtitle."""
        row = self.find("list item", title)
        labels = [n.name for n in self.walk(row) if n.getRoleName() == "label"]
        return labels[1] if len(labels) > 1 else ""

    def extents(self, node):
        e = node.queryComponent().getExtents(self.atspi.WINDOW_COORDS)
        return e.x, e.y, e.width, e.height

    def grab(self, box=None):
        """What sway shows (in the box x, y, w, h): width, height and RGB bytes."""
        geometry = ["-g", "%d,%d %dx%d" % box] if box else []
        ppm = subprocess.run(["grim", "-t", "ppm", *geometry, "-"], capture_output=True,
                             check=True).stdout
        magic, width, height, depth, pixels = ppm.split(maxsplit=4)
        return int(width), int(height), pixels

    def key(self, *names):
        for name in names:
            subprocess.run(["wtype", "-k", name], check=True)
            time.sleep(0.15)

    def type(self, text):
        subprocess.run(["wtype", text], check=True)

    def tab_to(self, role, name):
        """Tabs until the focus is on the control; fails after a full round."""
        for _ in range(40):
            node = self.focused()
            if node is not None and node.getRoleName() == role and node.name == name:
                return node
            self.key("Tab")
        raise AssertionError(f"Tab never reaches the {role} {name!r}")
