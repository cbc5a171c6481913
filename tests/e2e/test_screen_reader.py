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
ONE_CHAIN = b"26\r\n52\r\n1\r\n1\r\n13\r\n"
RESULTS = ("notification Gear inches 104. Speeds: 60, 18 miles per hour; 70, 21; 80, 24; "
           "90, 27; 100, 30.")


class Orca:
    """One Orca on the session's display and accessibility bus. With no speech server it speaks
    to nobody, but still logs what it would have said."""

    def __init__(self, folder):
        settings = os.path.join(folder, "orca")
        os.makedirs(settings)
        with open(os.path.join(settings, "user-settings.conf"), "w") as f:
            json.dump({"general": {"speechServerFactory": ""},
                       "profiles": {"default": {"profile": ["Default", "default"]}},
                       "pronunciations": {}, "keybindings": {}}, f)
        self.log = os.path.join(folder, "orca.log")
        env = dict(os.environ, HOME=folder, GSETTINGS_BACKEND="memory")
        self.process = subprocess.Popen(["/usr/bin/python3", LAUNCHER, settings, self.log],
                                        env=env)
        self.heard = 0
        self.hear("Screen reader on.", timeout=START_TIMEOUT)

    def utterances(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                return [m.group(1) for m in map(UTTERANCE.search, f) if m]
        except FileNotFoundError:
            return []

    def hear(self, *expected, timeout=TIMEOUT):
        """Waits until Orca has said each text, in this order, after what was heard before."""
        deadline = time.monotonic() + timeout
        while True:
            said = self.utterances()
            found, position = 0, self.heard
            for position in range(self.heard, len(said)):
                if said[position] == expected[found]:
                    found += 1
                    if found == len(expected):
                        self.heard = position + 1
                        return
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise AssertionError(f"Orca did not say {expected[found]!r}; it said "
                                     f"{said[self.heard:]!r}")
            time.sleep(0.05)

    def key(self, key, *expected):
        xdotool("key", key)
        self.hear(*expected)

    def menu(self, letter, item):
        """Opens a menu by its Alt key and waits for its first item. With a screen reader on,
        Qt hands each key to it before acting on the key itself, and an Alt that reaches the
        menu bar after its letter closes the menu again: the letter waits for Orca to hear
        the Alt."""
        xdotool("keydown", "alt")
        try:
            self.hear("left alt ")
            xdotool("key", letter)
        finally:
            xdotool("keyup", "alt")
        self.hear(item)

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:  # Orca does not always end on SIGTERM
            self.process.kill()
            self.process.wait()


class ScreenReaderTest(PedalwiseTestCase):
    def start_with_orca(self, defaults):
        self.write_defaults(defaults)
        orca = Orca(self.data_home)
        self.addCleanup(orca.close)
        self.start()
        xdotool("search", "--sync", "--onlyvisible", "--name", TITLE, "windowactivate", "--sync")
        orca.hear("Pedalwise Calculator frame.", "Wheel Outside Diameter: text.")
        return orca

    def tab_to_calculate(self, orca):
        # One key at a time, as a user listens: Orca passes over a focus that has moved on.
        for label in ("Drive Sprocket (A): #Teeth:", "Driven Sprocket (B): # Teeth:",
                      "Drive Sprocket (C): #Teeth:", "Driven Sprocket (D): # Teeth:"):
            orca.key("Tab", f"{label} text.")
        orca.key("Tab", "Calculate! push button.")

    def test_theInputsByTheirLabelsThenTheResultsWithTheirCadencesAtEachCalculate(self):
        orca = self.start_with_orca(ONE_CHAIN)
        self.tab_to_calculate(orca)
        orca.key("space", RESULTS)
        # Again, with the focus still on the button.
        orca.key("Return", RESULTS)

    def test_aFailedCalculationIsSpokenAsItsMessage(self):
        orca = self.start_with_orca(b"26\r\n52\r\n1\r\n1\r\n\r\n")  # no D
        self.tab_to_calculate(orca)
        orca.key("space", "alert Minor problem...", "All 5 fields must contain valid data.")

    def test_theHelpNoticeAndTheChainsOfTheDefaultsAreSpokenWithTheirPanels(self):
        orca = self.start_with_orca(ONE_CHAIN)
        orca.menu("h", "Program Help Contact.")
        orca.key("Return", "Frame3 panel.", "OK push button.",
                 "For assistance with this program please contact: "
                 "Pedalwise Support help@example.org.")
        orca.key("Return", "Wheel Outside Diameter: text.")

        orca.menu("t", "Set Defaults.")
        orca.key("Return", "26")
        for label in ("Drive Sprocket (A): # Teeth:", "Driven Sprocket (B): # Teeth:"):
            orca.key("Tab", f"{label} text.")
        orca.key("Tab", "Drive Sprocket (C): #Teeth: text.", "Chain # 2.")
        orca.key("Tab", "Driven Sprocket (D): # Teeth: text.", "Chain # 2.")


if __name__ == "__main__":
    unittest.main()
