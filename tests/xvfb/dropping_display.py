#!/usr/bin/env python3
"""An X display that drops its first connections, as a resetting X server drops clients that
arrive while it resets, and passes the rest through to a real server.

    dropping_display.py DISPLAY_NUMBER_OF_THE_REAL_SERVER DROPS READY_FILE

Takes a free display number N (its lock file, as X servers do), writes N to READY_FILE, and
serves until killed. DROPS is how many connections to drop (-1: all). Each dropped
connection is read (the client's setup request) and closed unanswered; the count of
connections made is in READY_FILE.count."""
import os
import signal
import socket
import sys
import threading

real, drops, ready = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]


def take_display():
    for n in range(200, 400):
        lock = f"/tmp/.X{n}-lock"
        try:
            fd = os.open(lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
        except FileExistsError:
            continue
        os.write(fd, f"{os.getpid():10d}\n".encode())
        os.close(fd)
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            s.bind(f"\0/tmp/.X11-unix/X{n}")
        except OSError:
            os.unlink(lock)
            continue
        return n, lock, s
    sys.exit("no free display number")


def pump(src, dst):
    try:
        while data := src.recv(65536):
            dst.sendall(data)
    except OSError:
        pass
    for s in (src, dst):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
n, lock, server = take_display()
try:
    server.listen(16)
    with open(ready + ".tmp", "w") as f:
        f.write(f"{n}\n")
    os.rename(ready + ".tmp", ready)
    count = 0
    while True:
        client, _ = server.accept()
        count += 1
        with open(ready + ".count", "w") as f:
            f.write(f"{count}\n")
        if drops < 0 or count <= drops:
            client.recv(65536)
            client.close()
            continue
        upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        upstream.connect(f"\0/tmp/.X11-unix/X{real}")
        for a, b in ((client, upstream), (upstream, client)):
            threading.Thread(target=pump, args=(a, b), daemon=True).start()
finally:
    os.unlink(lock)
