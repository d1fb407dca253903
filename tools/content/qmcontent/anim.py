"""Animations for anmpack: frames (rendered pictures) with registration
points and anchors, the Lua script with its named functions, packed into an
".anm" and its sheet.

    a = Animation("anim", image="anim.png")
    a.frame("stand1", picture, reg=(50, 100), anchors={"legs": (0, 10)})
    a.script("function Stand()\\n  frames{1,2}\\nend\\n")
    a.write(out_dir, "anim.anm")

Anchor positions are offsets from the frame's registration point: the game
draws a figure with its registration point on its position and puts what
belongs at an anchor on position + anchor (the engine hands the stored
numbers back unchanged), so that is what is stored.
"""
import os
import subprocess
import tempfile

from . import png


class Animation:
    def __init__(self, sequence, image, reg=(0, 0), source="generated"):
        self.sequence = sequence
        self.image = image
        self.reg = reg
        self.source = source
        self.frames = []
        self.lua = None

    def frame(self, name, picture, reg, anchors=None):
        """picture: a png.Image (RGBA or indexed); reg: the frame's
        registration point from its top left; anchors: name -> (dx, dy) from
        the registration point."""
        if any(name == f[0] for f in self.frames):
            raise ValueError("frame %s twice" % name)
        self.frames.append((name, picture, reg, dict(anchors or {})))
        return len(self.frames)  # scripts number frames from 1

    def script(self, text):
        self.lua = text

    def description(self, folder):
        lines = ["sequence %s" % self.sequence, "source %s" % self.source, "image %s" % self.image,
                 "reg %d %d" % self.reg]
        for i, (name, _, reg, anchors) in enumerate(self.frames):
            lines.append("frame %s f%03d.png reg %d %d" % (name, i, reg[0], reg[1]))
            for anchor in sorted(anchors):
                dx, dy = anchors[anchor]
                lines.append("anchor %s %d %d" % (anchor, dx, dy))
        if self.lua is not None:
            lines.append("script script.lua")
        return "\n".join(lines) + "\n"

    def write(self, out_dir, name, anmpack=None):
        anmpack = anmpack or os.environ.get("QM_ANMPACK", "anmpack")
        with tempfile.TemporaryDirectory() as tmp:
            for i, (_, picture, _, _) in enumerate(self.frames):
                png.write(os.path.join(tmp, "f%03d.png" % i), picture)
            if self.lua is not None:
                with open(os.path.join(tmp, "script.lua"), "w", encoding="utf-8") as f:
                    f.write(self.lua)
            description = os.path.join(tmp, "anim.txt")
            with open(description, "w", encoding="utf-8") as f:
                f.write(self.description(tmp))
            result = subprocess.run([anmpack, description, os.path.join(out_dir, name)],
                                    capture_output=True, check=False)
            if result.returncode != 0:
                raise RuntimeError("anmpack failed: %s" % result.stderr.decode(errors="replace"))
