#!/usr/bin/python3
# "inhibit": Inhibit, then per stdin line "release" (UnInhibit) or "die" (SIGKILL, no goodbye).
# "desktop": take org.freedesktop.ScreenSaver over, as a desktop starting late would.
import os, signal, sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.ScreenSaver"
if sys.argv[1] == "inhibit":
    bus = dbus.SessionBus()
    saver = dbus.Interface(bus.get_object(NAME, "/org/freedesktop/ScreenSaver"), NAME)
    cookie = saver.Inhibit("mpv", "video")
    for line in sys.stdin:
        if line.strip() == "release":
            saver.UnInhibit(cookie)
        elif line.strip() == "die":
            os.kill(os.getpid(), signal.SIGKILL)
else:
    DBusGMainLoop(set_as_default=True)
    name = dbus.service.BusName(NAME, dbus.SessionBus(), replace_existing=True)
    GLib.MainLoop().run()
