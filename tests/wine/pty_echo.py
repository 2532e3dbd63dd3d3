#!/usr/bin/env python3
# pty_echo.py LINK: makes a pseudo-terminal, points LINK (a Wine COM port, dosdevices/comN) at
# its slave side and echoes every byte that arrives on the master side straight back: a
# loop-back plug. Prints "ready" once the link is in place; ends when its input is closed.
import os
import select
import sys
import tty

link = sys.argv[1]
master, slave = os.openpty()
tty.setraw(slave)
if os.path.lexists(link):
    os.remove(link)
os.symlink(os.ttyname(slave), link)
print("ready", flush=True)
try:
    while True:
        readable, _, _ = select.select([master, sys.stdin], [], [])
        if sys.stdin in readable and not os.read(sys.stdin.fileno(), 1):
            break
        if master in readable:
            data = os.read(master, 4096)
            if not data:
                break
            os.write(master, data)
finally:
    os.remove(link)
