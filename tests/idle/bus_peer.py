#!/usr/bin/python3
# Bus peers for the quelvo-idle tests, driven by stdin lines.
# "inhibit [APP REASON | evil]": Inhibit; "release" or "die" (SIGKILL).
# "desktop": take org.freedesktop.ScreenSaver over as a late desktop; "active" sends
#   ActiveChanged(true).
# "logind" (system bus): logind's documented GetSession, ListInhibitors and the session's
#   Lock signal; "inhibit WHO" adds an idle block, "release", "slow" (answers after 5 s), "lock".
import os, signal, sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME, LOGIN = "org.freedesktop.ScreenSaver", "org.freedesktop.login1"
if sys.argv[1] == "inhibit":
    saver = dbus.Interface(dbus.SessionBus().get_object(NAME, "/org/freedesktop/ScreenSaver"), NAME)
    app, reason = (sys.argv[2], sys.argv[3]) if len(sys.argv) > 3 else ("mpv", "video")
    if app == "evil":  # a forged line, a terminal escape and 50 MiB
        app, reason = "evil\nquelvo-idle: saver ended\x1b[2J", "r" * (50 << 20)
    cookie = saver.Inhibit(app, reason)
    for line in sys.stdin:
        if line.strip() == "release":
            saver.UnInhibit(cookie)
        elif line.strip() == "die":
            os.kill(os.getpid(), signal.SIGKILL)
    sys.exit(0)

DBusGMainLoop(set_as_default=True)
state = {"holders": [], "slow": False}


class Peer(dbus.service.Object):
    @dbus.service.signal(NAME, signature="b")
    def ActiveChanged(self, active):
        pass

    @dbus.service.method(LOGIN + ".Manager", in_signature="s", out_signature="o")
    def GetSession(self, which):
        return "/org/freedesktop/login1/session/auto"

    @dbus.service.method(LOGIN + ".Manager", out_signature="a(ssssuu)",
                         async_callbacks=("ok", "fail"))
    def ListInhibitors(self, ok, fail):
        answer = [("idle", who, "video", "block", 0, 4242) for who in state["holders"]]
        GLib.timeout_add(5000 if state["slow"] else 0, lambda: ok(answer))

    @dbus.service.signal(LOGIN + ".Session")
    def Lock(self):
        pass


if sys.argv[1] == "desktop":
    name = dbus.service.BusName(NAME, dbus.SessionBus(), replace_existing=True)
    peer = Peer(name, "/org/freedesktop/ScreenSaver")
else:
    name = dbus.service.BusName(LOGIN, dbus.SystemBus())
    manager, peer = Peer(name, "/org/freedesktop/login1"), Peer(name, "/org/freedesktop/login1/session/auto")


def command(source, condition):
    word, _, rest = sys.stdin.readline().partition(" ")
    word = word.strip()
    if not word:
        os._exit(0)  # the test closed our stdin
    elif word == "active":
        peer.ActiveChanged(True)
    elif word in ("inhibit", "release"):
        state["holders"] = [rest.strip()] if word == "inhibit" else []
    elif word == "slow":
        state["slow"] = True
    elif word == "lock":
        peer.Lock()
    return True


GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, command)
GLib.MainLoop().run()
