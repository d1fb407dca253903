"""The kinds of source the data build knows, each turned into files of one
folder of data/assets. A job writes into an empty staging folder; the driver
copies what changed into place."""
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

from . import palettes, sounds, svg

GENERATED_EXTENSIONS = (".png", ".ogg", ".anm", ".pal")


def kind_of(name):
    """The job kind of a source file name, or None for files jobs only read."""
    if name.startswith("_") or name.startswith("."):
        return None
    for ext, kind in ((".svg", "svg"), (".sfx", "sfx"), (".song", "song"), (".anim", "anim"), (".py", "py")):
        if name.endswith(ext):
            return kind
    return None


def palette_of(svg_source):
    """The ".palette" file beside a drawing, which makes it an indexed picture."""
    path = os.path.splitext(svg_source)[0] + ".palette"
    return path if os.path.exists(path) else None


def run_svg(source, stage):
    out = os.path.join(stage, os.path.splitext(os.path.basename(source))[0] + ".png")
    with open(source, encoding="utf-8") as f:
        text = f.read()
    palette_file = palette_of(source)
    if palette_file:
        palettes.render_indexed(text, palette_file, out)
        return
    with open(out, "wb") as f:
        f.write(svg.render_bytes(text))


def run_anim(source, stage, env):
    """An anmpack description whose frames may be ".svg" drawings."""
    folder = os.path.dirname(source)
    with tempfile.TemporaryDirectory() as tmp:
        lines = []
        with open(source, encoding="utf-8") as f:
            for line in f:
                words = line.split("#", 1)[0].split()
                if words and words[0] in ("frame", "script", "sheet") and len(words) >= 3 - (words[0] != "frame"):
                    at = 2 if words[0] == "frame" else 1
                    target = os.path.join(folder, words[at])
                    if target.endswith(".svg"):
                        rendered = os.path.join(tmp, "%d.png" % len(lines))
                        with open(target, encoding="utf-8") as s, open(rendered, "wb") as o:
                            o.write(svg.render_bytes(s.read()))
                        target = rendered
                    words[at] = target
                    line = " ".join(words) + "\n"
                lines.append(line)
        description = os.path.join(tmp, os.path.basename(source))
        with open(description, "w", encoding="utf-8") as f:
            f.writelines(lines)
        out = os.path.splitext(os.path.basename(source))[0] + ".anm"
        result = subprocess.run([env["QM_ANMPACK"], description, os.path.join(stage, out)],
                                capture_output=True, check=False)
        if result.returncode != 0:
            raise RuntimeError(result.stderr.decode(errors="replace").replace(tmp + "/", ""))


def run_py(source, stage, env):
    result = subprocess.run([sys.executable, source, stage], cwd=os.path.dirname(source), env=env,
                            capture_output=True, check=False)
    if result.returncode != 0:
        raise RuntimeError(result.stderr.decode(errors="replace") + result.stdout.decode(errors="replace"))


def run(kind, source, stage, env):
    if kind == "svg":
        run_svg(source, stage)
    elif kind == "sfx":
        sounds.render_sfx(source, stage, env["QM_SYNTH"])
    elif kind == "song":
        sounds.render_song(source, stage, env["QM_SYNTH"])
    elif kind == "anim":
        run_anim(source, stage, env)
    elif kind == "py":
        run_py(source, stage, env)
    else:
        raise ValueError(kind)
