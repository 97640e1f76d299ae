#!/usr/bin/python3
# Bus peers for the quelvo-idle tests, each driven by stdin lines.
# "inhibit [APP REASON | evil]": Inhibit, then "release" (UnInhibit), "die" (SIGKILL, no goodbye),
#   "simulate" (SimulateUserActivity), "again" (one more Inhibit, "refused" on an error).
# "desktop": take org.freedesktop.ScreenSaver over as a desktop starting late would;
#   "active" sends its ActiveChanged(true).
# "logind" (on the system bus): logind's documented calls for one session, "auto";
#   "inhibit WHO" adds an idle block, "release" drops them, "slow" answers ListInhibitors
#   after 5 s, "lock" sends the session's Lock.
import os, signal, sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME, LOGIN = "org.freedesktop.ScreenSaver", "org.freedesktop.login1"
mode = sys.argv[1]
if mode == "inhibit":
    saver = dbus.Interface(dbus.SessionBus().get_object(NAME, "/org/freedesktop/ScreenSaver"), NAME)
    app, reason = (sys.argv[2], sys.argv[3]) if len(sys.argv) > 3 else ("mpv", "video")
    if app == "evil":  # a forged line, a terminal escape and 50 MiB
        app, reason = "evil\nquelvo-idle: saver ended\x1b[2J", "r" * (50 << 20)
    cookie = saver.Inhibit(app, reason)
    print("cookie", cookie, flush=True)
    for line in sys.stdin:
        line = line.strip()
        if line == "release":
            saver.UnInhibit(cookie)
        elif line == "die":
            os.kill(os.getpid(), signal.SIGKILL)
        elif line == "simulate":
            saver.SimulateUserActivity()
        elif line == "again":
            try:
                print("cookie", saver.Inhibit(app, reason[:64]), flush=True)
            except dbus.DBusException as e:
                print("refused", e.get_dbus_name(), flush=True)
    sys.exit(0)

DBusGMainLoop(set_as_default=True)
state = {"holders": [], "slow": False}


class Desktop(dbus.service.Object):
    @dbus.service.signal(NAME, signature="b")
    def ActiveChanged(self, active):
        pass


class Logind(dbus.service.Object):
    @dbus.service.method(LOGIN + ".Manager", in_signature="s", out_signature="o")
    def GetSession(self, which):
        return "/org/freedesktop/login1/session/auto"

    @dbus.service.method(LOGIN + ".Manager", out_signature="a(ssssuu)",
                         async_callbacks=("ok", "fail"))
    def ListInhibitors(self, ok, fail):
        answer = [("idle", who, "video", "block", 0, 4242) for who in state["holders"]]
        GLib.timeout_add(5000 if state["slow"] else 0, lambda: ok(answer))

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return dbus.Boolean(False)

    @dbus.service.signal(LOGIN + ".Session")
    def Lock(self):
        pass


if mode == "desktop":
    name = dbus.service.BusName(NAME, dbus.SessionBus(), replace_existing=True)
    peer = Desktop(name, "/org/freedesktop/ScreenSaver")
else:
    name = dbus.service.BusName(LOGIN, dbus.SystemBus())
    manager = Logind(name, "/org/freedesktop/login1")
    peer = Logind(name, "/org/freedesktop/login1/session/auto")


def command(source, condition):
    words = sys.stdin.readline().split(" ", 1)
    if not words[0]:
        os._exit(0)  # the test closed our stdin: we are done
    word = words[0].strip()
    if word == "active":
        peer.ActiveChanged(True)
    elif word == "inhibit":
        state["holders"].append(words[1].rstrip("\n").replace("\\n", "\n"))
    elif word == "release":
        state["holders"] = []
    elif word == "slow":
        state["slow"] = True
    elif word == "lock":
        peer.Lock()
    return True


GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, command)
GLib.MainLoop().run()
