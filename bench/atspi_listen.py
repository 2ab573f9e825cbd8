#!/usr/bin/python3
"""An assistive-technology client that listens as a screen reader does: through the AT-SPI
registry (pyatspi, the library screen readers use) it subscribes to the text events of every
application and counts what arrives. For bench/blackbox.py, on the session bus that the
script starts; the program under test switches Qt's bridge on with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1.

Prints "ready" once subscribed; each line read from stdin is answered with the number of
events received since the last answer ("events=N")."""
import sys

import pyatspi
from gi.repository import GLib

count = [0]


def received(event):
    count[0] += 1


def answer(source, condition):
    line = sys.stdin.readline()
    if not line:
        pyatspi.Registry.stop()
        return False
    print(f"events={count[0]}", flush=True)
    count[0] = 0
    return True


pyatspi.Registry.registerEventListener(received, "object:text-changed",
                                       "object:text-caret-moved")
GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, answer)
print("ready", flush=True)
pyatspi.Registry.start()
