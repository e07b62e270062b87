#!/usr/bin/env python3
# Holds a pseudo-terminal for a script test: prints the device path a program
# opens as its serial port, then writes to the line what arrives on its stdin
# (bytes as they are) and drops what the program sends (or, given a file name,
# appends it to that file), until it is killed.
# The line stays in raw mode, so a frame passes through unchanged.
import os
import select
import sys
import tty

master, slave = os.openpty()
tty.setraw(slave)
print(os.ttyname(slave), flush=True)
received = open(sys.argv[1], "ab", buffering=0) if len(sys.argv) > 1 else None
stdin = sys.stdin.buffer.raw
inputs = [stdin, master]
while True:
    readable, _, _ = select.select(inputs, [], [])
    if stdin in readable:
        data = os.read(stdin.fileno(), 4096)
        if data:
            os.write(master, data)
        else:
            inputs.remove(stdin)
    if master in readable:
        try:
            data = os.read(master, 4096)
        except OSError:
            inputs.remove(master)
            continue
        if received:
            received.write(data)
