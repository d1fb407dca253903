"""Parametric rigs: one drawing function per figure family, called with a
figure's parameters and a pose, so that every pose, frame and colour variant
of every figure of the family comes from the same shapes.

    rig = Rig(size=(84, 84), reg=(42, 42), palette=p, draw=draw_figure, anchors=figure_anchors)
    anim = rig.animation("anim", "anim.png", [
        Function("Stand", 400, [stand1, stand2], loops=True),
        Function("Drink", 150, [drink1, drink2, drink1]),
    ])

A pose is a Pose (a name and its values); poses with the same name are one
frame. `draw(pose)` returns the SVG body of the frame (the drawing's
coordinates are the frame's pixels); `anchors(pose)` the anchors of that
frame relative to the registration point. Pictures are indexed in the rig's
palette, so a ".pal" variant of it recolours every frame.
"""
from . import anim, palette, svg


class Pose(dict):
    """Named pose values; missing values read as the rig's defaults."""

    def __init__(self, name, base=None, **values):
        super().__init__(base or {})
        self.update(values)
        self.name = name

    def but(self, name, **values):
        """This pose with some values changed, under another name."""
        return Pose(name, self, **values)


class Function:
    """A script function of the animation: poses shown `delay` ms each, once
    (the animation then ends on the last) or for ever (loops)."""

    def __init__(self, name, delay, poses, loops=False):
        self.name, self.delay, self.poses, self.loops = name, delay, list(poses), loops


class Rig:
    """`stored`: the colours the pictures carry when they are drawn and
    quantised in another palette of the same names (key colours that keep
    some entries to the shapes painted in them); by default `palette_`.
    `outline`: the outline entry's name, to read inner edges as a fill mixed
    with it (palette.quantise)."""

    def __init__(self, size, reg, palette_, draw, anchors, stored=None, outline=None):
        self.size, self.reg, self.palette = size, reg, palette_
        self.draw, self.anchors = draw, anchors
        self.stored = stored or palette_
        self.outline = outline
        self._pictures = {}

    def picture(self, pose):
        if pose.name not in self._pictures:
            drawing = svg.document(self.size[0], self.size[1], self.draw(pose))
            image = palette.quantise(svg.render(drawing), self.palette, self.outline)
            image.palette = self.stored.colours()
            self._pictures[pose.name] = image
        return self._pictures[pose.name]

    def animation(self, sequence, image, functions):
        a = anim.Animation(sequence, image, reg=self.reg)
        numbers = {}
        lines = []
        for f in functions:
            for pose in f.poses:
                if pose.name not in numbers:
                    numbers[pose.name] = a.frame(pose.name, self.picture(pose), self.reg, self.anchors(pose))
            frames = ",".join(str(numbers[p.name]) for p in f.poses)
            body = ("    while true do\n        frames{%s};\n    end\n" if f.loops else "    frames{%s};\n") % frames
            lines.append("function %s()\n    delay(%d);\n%send\n" % (f.name, f.delay, body))
        a.script("\n".join(lines))
        return a
