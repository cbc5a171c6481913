"""The calculator with a real screen reader: GNOME's Orca, driven by the keyboard as a blind
user drives it, and heard through its debug log, where it writes every utterance."""

import json
import os
import re
import subprocess
import threading
import time
import tty
import unittest

import pyatspi
from atspi_driver import START_TIMEOUT, TIMEOUT, PedalwiseTestCase, xdotool

TITLE = "Pedalwise Calculator"
# Orca logs an utterance as SPEECH OUTPUT: 'text' followed by its voice settings.
UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*)' ?\[?\{")
# Announced by a program built with Qt 6.8 or later, or, with an older Qt, as a notification.
RESULTS = re.compile(r"^(notification )?" + re.escape(
    "Gear inches 104. Speeds: 60, 18 miles per hour; 70, 21; 80, 24; 90, 27; 100, 30.") + "$")

SELECTED = re.compile(r"\bselected\b")
# What Orca calls a push button: AT-SPI's own name for the role, "push button" in at-spi2-core
# 2.46 and "button" in 2.56.
BUTTON = pyatspi.Atspi.role_get_name(pyatspi.ROLE_PUSH_BUTTON)


def word(text):
    """The word alone, however a newer Orca puts what surrounds it."""
    return re.compile(rf"(?<!\S){re.escape(text)}(?!\S)")


def said_as(said, wanted):
    """An exact text, or a pattern for what a newer Orca may word otherwise. Orca 48 ends some
    utterances without the full stop that Orca 43 puts there."""
    if isinstance(wanted, re.Pattern):
        return wanted.search(said)
    return said == wanted or said + "." == wanted


class Orca:
    """Orca on the session's display, started by its own command. With no speech server it
    speaks to nobody, but still logs what it would have said."""

    def __init__(self, folder):
        settings = os.path.join(folder, "orca")
        os.makedirs(settings)
        with open(os.path.join(settings, "user-settings.conf"), "w") as f:
            json.dump({"general": {"speechServerFactory": ""},
                       "profiles": {"default": {"profile": ["Default", "default"]}},
                       "pronunciations": {}, "keybindings": {}}, f)
        # Orca's launcher refuses to start while another Orca of the same user runs, on any
        # display, and with --replace it would end that one: a desktop's screen reader.
        others = subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"],
                                capture_output=True, text=True).stdout.split()
        if others:
            raise AssertionError(f"another Orca of this user runs (pid {', '.join(others)}), "
                                 "beside which Orca does not start: end it to run this test")
        # Orca opens its debug log fully buffered, so that what it said last may sit unwritten
        # while a test waits for it; a log that is a terminal it writes line by line.
        # Listed in docs/workarounds.md ("Orca's log").
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)  # no carriage return added to each line
        self.said = []
        self.last_written = time.monotonic()
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        env = dict(os.environ, HOME=folder, GSETTINGS_BACKEND="memory")
        self.process = subprocess.Popen(["orca", "-u", settings,
                                         f"--debug-file={os.ttyname(self.slave)}"], env=env)
        self.heard = 0
        try:
            self.hear("Screen reader on.", timeout=START_TIMEOUT)
        except BaseException:
            self.close()  # an Orca left running would keep every later one from starting
            raise

    def _read(self):
        """Keeps each utterance of the log as it comes: a terminal that nobody reads stops its
        writer."""
        pending = b""
        while True:
            try:
                chunk = os.read(self.master, 65536)
            except OSError:  # the terminal closed
                return
            if not chunk:
                return
            *complete, pending = (pending + chunk).split(b"\n")
            lines = (line.decode("utf-8", "replace") for line in complete)
            found = [m.group(1) for m in map(UTTERANCE.search, lines) if m]
            with self.lock:
                self.said.extend(found)
                if complete:
                    self.last_written = time.monotonic()

    def utterances(self):
        with self.lock:
            return list(self.said)

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

    def settle(self, quiet=0.3, timeout=TIMEOUT):
        """Waits until Orca has handled what it was sent: it writes to its log as it handles
        each event, and then nothing for a while."""
        deadline = time.monotonic() + timeout
        while True:
            with self.lock:
                silent = time.monotonic() - self.last_written
            if silent >= quiet:
                return
            if time.monotonic() > deadline:
                raise AssertionError(f"Orca was still busy after {timeout} s")
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
        os.close(self.slave)
        self.reader.join(5)
        os.close(self.master)


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
                     f"Calculate! {BUTTON}."]
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
        orca.key("Return", "Frame3 panel.", f"OK {BUTTON}.",
                 "For assistance with this program please contact: "
                 "Pedalwise Support help@example.org.")

        # Filled from a saved file just before it takes the focus, a box is heard by its label.
        self.write_defaults(b"26\r\n52\r\n1\r\n1\r\n13\r\n")
        orca.menu("t", "Set Defaults.")
        orca.key("Return", re.compile("Set Default Values"), re.compile("Wheel Outside Diameter"))

    def test_theAboutWindowIsHeardWithItsTextAndThenItsFocusedOk(self):
        orca = self.start_with_orca()
        orca.menu("h", "Program Help Contact.")
        orca.key("b", re.compile(r"^About Pedalwise Calculator dialog.* No warranty is implied"),
                 f"OK {BUTTON}.")

    def test_movingThroughATypedTextSpeaksEachWordAndCharacterAndLeavesTheProgramIdle(self):
        orca = self.start_with_orca()
        xdotool("type", "52 teeth")
        orca.hear(word("h"))
        # A person listens to what was typed before moving on. Qt waits only a tenth of a second
        # for the screen reader to see a key, and a reader still busy with the typing would miss
        # that the next key moved the caret.
        orca.settle()
        # From the end of the text, Orca asks for the word the caret left.
        orca.chord(["ctrl"], "Left")
        self.assertIdle(self.app, 2, 0.2)
        orca.hear(word("teeth"))
        orca.chord(["ctrl"], "Left", word("52"))
        orca.chord(["ctrl", "shift"], "Right", word("52"), SELECTED)
        orca.key("End", re.compile("unselected", re.IGNORECASE))
        orca.key("Left", word("h"))
        # Orca's own review of the line the box is on.
        orca.key("KP_Up", re.compile(r"52 teeth"))


if __name__ == "__main__":
    unittest.main()
