"""The calculator with a real screen reader: GNOME's Orca, driven by the keyboard as a blind
user drives it, and heard through its debug log, where it writes every utterance."""

import json
import os
import re
import subprocess
import time
import unittest

from atspi_driver import START_TIMEOUT, TIMEOUT, PedalwiseTestCase, xdotool

TITLE = "Pedalwise Calculator"
LAUNCHER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "orca_launcher.py")
# Orca logs an utterance as SPEECH OUTPUT: 'text' followed by its voice settings.
UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*)' ?\[?\{")
RESULTS = ("notification Gear inches 104. Speeds: 60, 18 miles per hour; 70, 21; 80, 24; "
           "90, 27; 100, 30.")

SELECTED = re.compile(r"\bselected\b")


def word(text):
    """The word alone, however a newer Orca puts what surrounds it."""
    return re.compile(rf"(?<!\S){re.escape(text)}(?!\S)")


def said_as(said, wanted):
    """An exact text, or a pattern for what a newer Orca may word otherwise."""
    return wanted.search(said) if isinstance(wanted, re.Pattern) else said == wanted


class Orca:
    """Orca on the session's display. With no speech server it speaks to nobody, but still logs
    what it would have said."""

    def __init__(self, folder):
        settings = os.path.join(folder, "orca")
        os.makedirs(settings)
        with open(os.path.join(settings, "user-settings.conf"), "w") as f:
            json.dump({"general": {"speechServerFactory": ""},
                       "profiles": {"default": {"profile": ["Default", "default"]}},
                       "pronunciations": {}, "keybindings": {}}, f)
        self.log = os.path.join(folder, "orca.log")
        open(self.log, "w").close()
        env = dict(os.environ, HOME=folder, GSETTINGS_BACKEND="memory")
        self.process = subprocess.Popen(["/usr/bin/python3", LAUNCHER, settings, self.log],
                                        env=env)
        self.heard = 0
        self.hear("Screen reader on.", timeout=START_TIMEOUT)

    def utterances(self):
        with open(self.log, encoding="utf-8", errors="replace") as f:
            return [m.group(1) for m in map(UTTERANCE.search, f) if m]

    def hear(self, *expected, timeout=TIMEOUT):
        """Waits until Orca has said each text, in this order, after what was heard before; a
        compiled pattern stands for any utterance it is found in."""
        deadline = time.monotonic() + timeout
        while True:
            said, wanted = self.utterances(), list(expected)
            for position in range(self.heard, len(said)):
                if said_as(said[position], wanted[0]):
                    wanted.pop(0)
                    if not wanted:
                        self.heard = position + 1
                        return
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise AssertionError(f"Orca did not say {wanted[0]!r}; it said "
                                     f"{said[self.heard:]!r}")
            time.sleep(0.05)

    def key(self, key, *expected):
        xdotool("key", key)
        self.hear(*expected)

    def chord(self, modifiers, key, *expected):
        # With a screen reader on, Qt lets it see each key before acting on the key, and a
        # modifier and its key typed at machine speed reach the program out of order: an Alt
        # and its letter leave the menu shut. The key waits until Orca has heard each modifier.
        # Listed in docs/workarounds.md ("Keys with a screen reader on").
        names = {"alt": "alt", "ctrl": "control", "shift": "shift"}
        try:
            for modifier in modifiers:
                xdotool("keydown", modifier)
                self.hear(re.compile(names[modifier], re.IGNORECASE))
            xdotool("key", key)
        finally:
            for modifier in reversed(modifiers):
                xdotool("keyup", modifier)
        if expected:
            self.hear(*expected)

    def menu(self, letter, item):
        self.chord(["alt"], letter, item)

    def close(self):
        # Listed in docs/workarounds.md ("Orca and SIGTERM").
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:  # Orca does not always end on SIGTERM
            self.process.kill()
            self.process.wait()


class ScreenReaderTest(PedalwiseTestCase):
    def start_with_orca(self):
        # No defaults file: the boxes start empty.
        orca = Orca(self.data_home)
        self.addCleanup(orca.close)
        self.app = self.start()
        xdotool("search", "--sync", "--onlyvisible", "--name", TITLE, "windowactivate", "--sync")
        orca.hear("Pedalwise Calculator frame.", "Wheel Outside Diameter: text.")
        return orca

    def type_and_tab_to_calculate(self, orca, *typed):
        """Types the texts of W, A, B, C and D, listening to each box after the wheel."""
        following = ["Drive Sprocket (A): #Teeth: text.", "Driven Sprocket (B): # Teeth: text.",
                     "Drive Sprocket (C): #Teeth: text.", "Driven Sprocket (D): # Teeth: text.",
                     "Calculate! push button."]
        # One box at a time, as a user listens: Orca passes over a focus that has moved on.
        for text, heard in zip(typed, following):
            if text:
                xdotool("type", text)
            orca.key("Tab", heard)

    def test_theInputsByTheirLabelsThenTheResultsWithTheirCadencesAtEachCalculate(self):
        orca = self.start_with_orca()
        self.type_and_tab_to_calculate(orca, "26", "52", "1", "1", "13")
        orca.key("space", RESULTS)
        # Again, with the focus still on the button.
        orca.key("Return", RESULTS)

    def test_aFailedCalculationIsSpokenAsItsMessage(self):
        orca = self.start_with_orca()
        self.type_and_tab_to_calculate(orca, "26", "52", "1", "1", "")  # no D
        orca.key("space", "alert Minor problem...", "All 5 fields must contain valid data.")

    def test_theChainsOfTheDefaultsAndTheHelpNoticeAreSpokenWithTheirPanels(self):
        orca = self.start_with_orca()
        orca.menu("t", "Set Defaults.")
        orca.key("Return", "Set Default Values  panel.", "Wheel Outside Diameter... text.")
        # The panel's boxes, each followed by its chain.
        for label, chain in (("Drive Sprocket (A): # Teeth:", 1),
                             ("Driven Sprocket (B): # Teeth:", 1),
                             ("Drive Sprocket (C): #Teeth:", 2),
                             ("Driven Sprocket (D): # Teeth:", 2)):
            orca.key("Tab", f"{label} text.", f"Chain # {chain}.")

        orca.menu("h", "Program Help Contact.")
        orca.key("Return", "Frame3 panel.", "OK push button.",
                 "For assistance with this program please contact: "
                 "Pedalwise Support help@example.org.")

        # Filled from a saved file just before it takes the focus, a box is heard by its label.
        self.write_defaults(b"26\r\n52\r\n1\r\n1\r\n13\r\n")
        orca.menu("t", "Set Defaults.")
        orca.key("Return", re.compile("Set Default Values"), re.compile("Wheel Outside Diameter"))

    def test_movingThroughATypedTextSpeaksEachWordAndCharacterAndLeavesTheProgramIdle(self):
        orca = self.start_with_orca()
        xdotool("type", "52 teeth")
        orca.hear(word("h"))
        # A person listens to what was typed before moving on. Qt waits only a tenth of a second
        # for the screen reader to see a key, and a reader still busy with the typing would miss
        # that the next key moved the caret.
        time.sleep(1)
        # From the end of the text, Orca asks for the word the caret left.
        orca.chord(["ctrl"], "Left")
        before = self.app.processor_seconds()
        time.sleep(2)
        self.assertLess(self.app.processor_seconds() - before, 0.2)
        orca.hear(word("teeth"))
        orca.chord(["ctrl"], "Left", word("52"))
        orca.chord(["ctrl", "shift"], "Right", word("52"), SELECTED)
        orca.key("End", re.compile("unselected", re.IGNORECASE))
        orca.key("Left", word("h"))
        # Orca's own review of the line the box is on.
        orca.key("KP_Up", re.compile(r"52 teeth"))


if __name__ == "__main__":
    unittest.main()
