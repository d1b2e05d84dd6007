#!/usr/bin/env python3
"""A virtual pointer in a wlroots compositor (zwlr_virtual_pointer_v1), driven by lines on
standard input: "move X Y" (in pixels of a WAYLAND_POINTER_EXTENT screen, default 1280x800),
"click" (the left button), "rightclick". Speaks the Wayland wire protocol itself, so that it needs nothing
beyond Python. A headless compositor has no pointer of its own: clients see one only while
this runs."""
import os
import socket
import struct
import sys
import time

BTN_LEFT = 0x110
BTN_RIGHT = 0x111


class Connection:
    def __init__(self):
        path = os.environ["WAYLAND_DISPLAY"]
        if not path.startswith("/"):
            path = os.path.join(os.environ["XDG_RUNTIME_DIR"], path)
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.next_id = 2
        self.buffer = b""

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, payload=b""):
        size = 8 + len(payload)
        self.sock.sendall(struct.pack("<II", obj, (size << 16) | opcode) + payload)

    def events(self):
        while True:
            while len(self.buffer) >= 8:
                obj, word = struct.unpack_from("<II", self.buffer)
                size = word >> 16
                if len(self.buffer) < size:
                    break
                body = self.buffer[8:size]
                self.buffer = self.buffer[size:]
                yield obj, word & 0xFFFF, body
            chunk = self.sock.recv(65536)
            if not chunk:
                raise SystemExit("wayland_pointer: the compositor closed the connection")
            self.buffer += chunk

    def roundtrip(self, on_event=lambda obj, opcode, body: None):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        for obj, opcode, body in self.events():
            if obj == callback:
                return
            if obj == 1 and opcode == 0:  # wl_display.error
                raise SystemExit("wayland_pointer: protocol error " + repr(body))
            on_event(obj, opcode, body)


def string_arg(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def main():
    wl = Connection()
    registry = wl.new_id()
    wl.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
    globals_ = {}

    def on_global(obj, opcode, body):
        if obj == registry and opcode == 0:
            name, length = struct.unpack_from("<II", body)
            interface = body[8:8 + length - 1].decode()
            (version,) = struct.unpack_from("<I", body, 8 + length + (-length % 4))
            globals_[interface] = (name, version)

    wl.roundtrip(on_global)
    if "zwlr_virtual_pointer_manager_v1" not in globals_:
        raise SystemExit("wayland_pointer: the compositor offers no virtual pointer")
    name, _ = globals_["zwlr_virtual_pointer_manager_v1"]
    manager = wl.new_id()
    wl.send(registry, 0, struct.pack("<I", name) + string_arg("zwlr_virtual_pointer_manager_v1")
            + struct.pack("<II", 1, manager))
    pointer = wl.new_id()
    wl.send(manager, 0, struct.pack("<II", 0, pointer))  # create_virtual_pointer(no seat)
    wl.roundtrip()
    width, height = (int(v) for v in os.environ.get("WAYLAND_POINTER_EXTENT", "1280x800").split("x"))

    def now():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def button(code, state):
        wl.send(pointer, 2, struct.pack("<III", now(), code, state))
        wl.send(pointer, 4)  # frame

    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "move":
            wl.send(pointer, 1, struct.pack("<IIIII", now(), int(words[1]), int(words[2]), width, height))
            wl.send(pointer, 4)
        elif words[0] in ("click", "rightclick"):
            code = BTN_LEFT if words[0] == "click" else BTN_RIGHT
            button(code, 1)
            time.sleep(0.05)
            button(code, 0)
        wl.roundtrip()
        print("done", flush=True)


main()
