#!/usr/bin/python3
# Input for tests on mutter through its remote-desktop service. A session lives as long as
# the connection that made it, so this keeps one and reads commands on stdin, one a line:
# "move DX DY" (relative), "click" (the left button), "key" (an x).
import itertools
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
for words in itertools.chain([["move", "0", "0"], ["key", "0xFFE1"]], map(str.split, sys.stdin)):
    for pressed in (True, False):
        if words[0] == "click":
            session.NotifyPointerButton(0x110, pressed)
        elif words[0] == "key":  # an x unless told
            session.NotifyKeyboardKeysym(int(words[1], 16) if words[1:] else 0x78, pressed)
    if words[0] == "move":
        session.NotifyPointerMotionRelative(float(words[1]), float(words[2]))
