"""A desktop session of the tests' own for quelvo-settings: a private session bus (the
accessibility bus starts on demand), a headless sway with a keyboard, and a home folder.
Run as root, a case runs as `nobody`, since sway refuses root."""
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def run_case(case, keep):
    """case(session, out) in a session of its own; what it leaves in out goes to keep."""
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
                code = case(sess, out) or 0
            finally:
                sess.close()
        except SystemExit as e:
            code = e.code
        except BaseException:
            import traceback
            traceback.print_exc()
        sys.stderr.flush()
        os._exit(code)
    status = os.waitpid(pid, 0)[1]
    for name in os.listdir(out):
        shutil.copy(os.path.join(out, name), keep)
    shutil.rmtree(out, ignore_errors=True)
    return os.waitstatus_to_exitcode(status)


def wait_until(check, timeout=5.0):
    end = time.monotonic() + timeout
    while not (value := check()) and time.monotonic() < end:
        time.sleep(0.05)
    return value


class Session:
    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="quelvo-settings-")
        self.config, run = self.dir + "/home/.config", self.dir + "/run"
        os.makedirs(self.config), os.makedirs(run, mode=0o700)
        self.children = []
        env = os.environ
        env.pop("DISPLAY", None)
        env.update(HOME=self.dir + "/home", XDG_CONFIG_HOME=self.config, XDG_RUNTIME_DIR=run,
                   XDG_CACHE_HOME=self.dir + "/cache", GSETTINGS_BACKEND="memory",
                   SWAYSOCK=run + "/sway.sock")
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE)
        env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        with open(self.dir + "/sway.conf", "w") as f:
            f.write("output HEADLESS-1 resolution 800x900\ndefault_border none\n")
        self.start(["sway", "-c", self.dir + "/sway.conf"], env=dict(
            env, WLR_BACKENDS="headless", WLR_RENDERER="pixman", WLR_LIBINPUT_NO_DEVICES="1"))
        if not wait_until(lambda: os.path.exists(run + "/wayland-1"), 15):
            sys.exit(77)  # no compositor here: skipped
        env["WAYLAND_DISPLAY"] = "wayland-1"
        # The seat's keyboard, there before any window maps, so that windows get the focus.
        self.start(["wtype", "-s", "600000", ""])

    def start(self, argv, **kwargs):
        child = subprocess.Popen(argv, start_new_session=True, stderr=subprocess.DEVNULL,
                                 **kwargs)
        self.children.append(child)
        return child

    def sway(self, *command):
        subprocess.run(["swaymsg", *command], capture_output=True, check=True)

    def close(self):
        for child in reversed(self.children):
            try:
                os.killpg(child.pid, signal.SIGTERM)
                child.wait(5)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                pass
        shutil.rmtree(self.dir, ignore_errors=True)


class Window:
    """The running quelvo-settings, read through the accessibility tree, driven by keys."""

    def __init__(self, session, program):
        self.process = session.start([program])
        import pyatspi  # it takes the session bus's address when imported
        self.atspi = pyatspi
        self.app = wait_until(lambda: next((a for a in pyatspi.Registry.getDesktop(0) if a
                                            and a.name == "quelvo-settings" and a.childCount),
                                           None), 10)
        assert self.app is not None, "quelvo-settings shows no window in the accessibility tree"

    def walk(self, node=None):
        node = node or self.app
        yield node
        for child in node:
            if child is not None:
                yield from self.walk(child)

    def find(self, role, name=None, part=""):
        return next((n for n in self.walk() if role in (None, n.getRoleName()) and
                     name in (None, n.name) and part in n.name), None)

    def has(self, node, state):
        return node.getState().contains(getattr(self.atspi, "STATE_" + state))

    def focused(self):
        return next((n for n in self.walk() if self.has(n, "FOCUSED")), None)

    def status(self):  # the status row's subtitle
        return [n.name for n in self.walk(self.find("list item", "Status"))][-1]

    def extents(self, node):
        e = node.queryComponent().getExtents(self.atspi.WINDOW_COORDS)
        return e.x, e.y, e.width, e.height

    def key(self, name):
        subprocess.run(["wtype", "-k", name], check=True)
        time.sleep(0.15)

    def tab_to(self, role, name):
        for _ in range(40):
            node = self.focused()
            if node is not None and (node.getRoleName(), node.name) == (role, name):
                return node
            self.key("Tab")
        raise AssertionError(f"Tab never reaches the {role} {name!r}")
