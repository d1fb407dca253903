"""The drawing helpers behind the floor's people and the story comics: the
comic panel keeps every bubble and caption inside it with the tail on its
speaker; the staff rig refuses unknown looks and carries props where its
hands are; the waitress's lean moves her hand anchors with her."""
import math
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SRC = os.path.join(ROOT, "data", "src")
sys.path.insert(0, os.path.join(ROOT, "tools", "content"))
for folder in ("comics", "people", "quessa"):
    sys.path.insert(0, os.path.join(SRC, folder))

import _person as person  # noqa: E402
import _waitress as waitress  # noqa: E402
import comics  # noqa: E402
from qmcontent.rig import Pose  # noqa: E402


class ComicPanel(unittest.TestCase):
    def setUp(self):
        self.panel = comics.Panel(20, 20, 372, 248)
        self.speaker = (200, 200, 30)  # a head low in the panel

    def test_a_bubble_inside_gets_a_tail_that_stops_short_of_the_speaker(self):
        self.panel.bubble(20, 20, ["Hello,", "there!"], self.speaker)
        self.assertIn("Hello,", self.panel.words)
        self.assertIn("<path", self.panel.words)

    def test_a_bubble_reaching_past_the_border_fails(self):
        with self.assertRaisesRegex(ValueError, "leaves its panel"):
            self.panel.bubble(300, 20, ["A line far too long for here"], self.speaker)
        with self.assertRaisesRegex(ValueError, "leaves its panel"):
            self.panel.bubble(20, 230, ["Low"], self.speaker)

    def test_a_bubble_on_its_speaker_or_pointing_out_of_the_panel_fails(self):
        with self.assertRaisesRegex(ValueError, "sits on its speaker"):
            self.panel.bubble(150, 170, ["Hi"], self.speaker)
        with self.assertRaisesRegex(ValueError, "points outside"):
            self.panel.bubble(20, 20, ["Hi"], (10, 300, 30))

    def test_captions_stay_inside_and_panels_above_the_arrows(self):
        with self.assertRaisesRegex(ValueError, "caption"):
            self.panel.caption(200, 10, ["A caption much wider than the panel it is in"])
        with self.assertRaisesRegex(ValueError, "arrows"):
            comics.page([comics.Panel(20, 300, 300, 260)])

    def test_every_page_lays_out(self):
        for key, make in comics.PAGES.items():
            with self.subTest(page=key):
                panels = make()
                self.assertTrue(panels)
                self.assertTrue(all(p.y + p.h <= comics.BOTTOM for p in panels))


class Story(unittest.TestCase):
    """The comic before a restaurant's first level tells how Quessa comes to
    that restaurant, not to the one after it; the last closes the story."""

    @staticmethod
    def words(k):
        pages = [make() for (comic, _), make in sorted(comics.PAGES.items()) if comic == k]
        return " ".join(panel.words for panels in pages for panel in panels)

    def test_each_restaurant_comic_names_its_restaurant_and_not_the_next(self):
        for k, names in comics.RESTAURANT_WORDS.items():
            with self.subTest(restaurant=k):
                text = self.words(k)
                self.assertTrue(any(name in text for name in names), text)
                for name in comics.RESTAURANT_WORDS.get(k + 1, ()):
                    self.assertNotIn(name, text)

    def test_the_last_comic_closes_the_story(self):
        self.assertIn("Thank you for playing!", self.words(6))
        self.assertEqual([n for (k, n) in comics.PAGES if k == 6], [1])  # its figures sit on one page


class StaffRig(unittest.TestCase):
    def test_an_unknown_look_is_refused(self):
        with self.assertRaisesRegex(KeyError, "hats"):
            person.person(hats="toque")

    def test_hand_anchors_follow_the_hands_through_bob_and_tilt(self):
        look = person.person()
        pose = Pose("p", person.POSE, left=(-8, 8), right=(8, 8), bob=2, tilt=5)
        reg = (person.CENTRE_X, person.SOLE_Y)
        anchors = person.hand_anchors(look, pose, reg)
        for name, hand in zip(("hand1", "hand2"), person.hand_points(look, pose)):
            x, y = person.moved_point(pose, hand)
            self.assertEqual(anchors[name], (round(x - reg[0]), round(y - 7 - reg[1])))
        self.assertLess(anchors["hand1"][0], 0)
        self.assertGreater(anchors["hand2"][0], 0)

    def test_a_walk_lifts_one_foot_at_a_time(self):
        look = person.person()
        for step in range(6):
            pose = Pose("w", person.POSE, phase=step * math.pi / 3)
            lifted = [end[2] for end in person.leg_ends(look, pose)]
            self.assertLessEqual(sum(lifted), 1)


class WaitressLean(unittest.TestCase):
    def test_her_hand_anchors_lean_with_her(self):
        upright = dict(waitress.DEFAULT, hold=2)
        leaning = dict(upright, tilt=6)
        for name in ("hand1", "hand2"):
            straight = waitress.anchors(upright)[name]
            tilted = waitress.anchors(leaning)[name]
            # Rotating clockwise about her feet carries raised hands to the right.
            self.assertGreater(tilted[0], straight[0])
        self.assertEqual(waitress.anchors(dict(upright, tilt=0)), waitress.anchors(upright))


if __name__ == "__main__":
    unittest.main()
