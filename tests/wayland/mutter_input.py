#!/usr/bin/python3
# Input for tests on mutter through its remote-desktop service. A session lives as long as
# the connection that made it, so this keeps one and reads commands on stdin, one a line:
# "move DX DY" (relative), "click" (the left button), "key" (an x).
import sys
import time

import dbus

NAME = "org.gnome.Mutter.RemoteDesktop"
bus = dbus.bus.BusConnection(open("bus").read().strip())  # written where mutter started
while not bus.name_has_owner(NAME):
    time.sleep(0.1)
path = dbus.Interface(bus.get_object(NAME, "/org/gnome/Mutter/RemoteDesktop"), NAME).CreateSession()
session = dbus.Interface(bus.get_object(NAME, path), NAME + ".Session")
session.Start()
# Its keyboard and pointer exist from their first use on: use them before quelvo starts.
session.NotifyPointerMotionRelative(0.0, 0.0)
for pressed in (True, False):
    session.NotifyKeyboardKeysym(0xFFE1, pressed)  # Shift
for words in map(str.split, sys.stdin):
    for pressed in (True, False):
        if words[0] == "click":
            session.NotifyPointerButton(0x110, pressed)
        elif words[0] == "key":
            session.NotifyKeyboardKeysym(0x78, pressed)
    if words[0] == "move":
        session.NotifyPointerMotionRelative(float(words[1]), float(words[2]))
