"""The train's room, scenery, decor and performer (see _scenes.py)."""
import _scenes

_scenes.main("train")
