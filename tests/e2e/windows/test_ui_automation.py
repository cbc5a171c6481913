"""The real pedalwise.exe under Wine as Narrator and NVDA get it: its windows read through UI
Automation by a client of our own (uia_client.c), the focus followed as it moves, and the results
after Calculate! as the notification the program raises."""

import os
import re
import select
import subprocess
import tempfile
import unittest
from collections import namedtuple

from wine_driver import Prefix, PrefixTestCase, Program, poll, windows_named

EXE = os.environ["PEDALWISE_EXE"]
CLIENT = os.environ["PEDALWISE_UIA_CLIENT"]
PREFIX = Prefix(os.environ["PEDALWISE_WINEPREFIX"])
TITLE = "Pedalwise Calculator"
BOXES = ["Wheel Outside Diameter:", "Drive Sprocket (A): #Teeth:", "Driven Sprocket (B): # Teeth:",
         "Drive Sprocket (C): #Teeth:", "Driven Sprocket (D): # Teeth:"]
RESULTS = "Gear inches 104. Speeds: 60, 18 miles per hour; 70, 21; 80, 24; 90, 27; 100, 30."
# UI Automation's NotificationKind_Other and NotificationProcessing_ImportantAll: an assertive
# announcement, spoken at once and never dropped for a later one.
KIND, PROCESSING = 4, 0
# Wine 10 delivers no notification to a client; it logs what the program raised.
RAISED = re.compile(r'UiaRaiseNotificationEvent \(\w+, (\d+), (\d+), L"(.*)", L"(.*)"\): stub')

Element = namedtuple("Element", "depth type name flags")


def read(title):
    """The elements of the shown window with this title, as the client prints them."""
    out = PREFIX.wine(CLIENT, "tree", title, timeout=60)
    if out.returncode != 0:
        raise AssertionError(f"the client read no window {title!r} ({out.returncode})")
    elements = []
    for line in out.stdout.splitlines():
        depth, kind, name, *flags = line.split("\t")
        elements.append(Element(int(depth), kind, name, set(flags)))
    return elements


def named(elements):
    """The elements as (type, name) pairs, each once."""
    return {(e.type, e.name) for e in elements}


def focused(title=TITLE):
    """The (type, name) of the element under the window that has the keyboard focus."""
    inner = [(e.type, e.name) for e in read(title) if e.depth > 0 and "focused" in e.flags]
    return inner[-1] if inner else None


class UiAutomationTest(PrefixTestCase):
    prefix = PREFIX

    def setUp(self):
        for path in (PREFIX.appdata("Pedalwise", "pedalwise.dat"), PREFIX.drive_c("pedalwise.dat")):
            if os.path.exists(path):
                os.remove(path)
        log = tempfile.NamedTemporaryFile(prefix="wine-uia-", suffix=".log", delete=False)
        log.close()
        self.log = log.name
        self.addCleanup(os.remove, self.log)
        self.program = Program(PREFIX, EXE, wine_log=self.log)
        self.addCleanup(self.program.stop)

    def wait_focus(self, kind, name, title=TITLE):
        poll(f"the focus on {name!r}", lambda: focused(title) == (kind, name))

    def fill(self, texts):
        """Types the texts into the boxes from the wheel on, following the focus to each."""
        for text, box in zip(texts, BOXES):
            self.wait_focus("edit", box)
            if text:
                self.program.type(text)
            self.program.keys("Tab")

    def raised(self):
        with open(self.log, encoding="utf-8", errors="replace") as f:
            return [m.groups() for m in RAISED.finditer(f.read())]

    def test_theMainWindowByItsLabelsTheFocusThroughItAndTheResultsAsANotification(self):
        window = read(TITLE)
        self.assertEqual((window[0].type, window[0].name), ("window", TITLE))
        found = named(window)
        for box in BOXES:
            self.assertIn(("edit", box), found)
        for item in ("File", "Setup", "Help"):
            self.assertIn(("menu item", item), found)
        self.assertIn(("button", "Calculate!"), found)
        # The focus starts on the wheel and follows Tab to each box, then to the button.
        self.fill(["26", "52", "1", "1", "13"])
        self.wait_focus("button", "Calculate!")
        # A listening client gets the notification, should Wine deliver it; Wine 10 logs it.
        listener = subprocess.Popen(["wine", CLIENT, "listen", TITLE, "8"], env=PREFIX.env,
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(listener.kill)
        # Bounded, as every wait here: a client that never starts listening fails the test.
        self.assertTrue(select.select([listener.stdout], [], [], 60)[0],
                        "the client did not start listening within 60 s")
        self.assertEqual(listener.stdout.readline().strip(), "listening")
        self.program.keys("space")
        heard = [line.split("\t")[1:] for line in listener.communicate(timeout=60)[0].splitlines()]
        wanted = [str(KIND), str(PROCESSING), RESULTS]
        if heard:
            self.assertEqual([h[:3] for h in heard], [wanted])
        else:
            poll("the notification in Wine's log", self.raised)
            self.assertEqual([list(r[:3]) for r in self.raised()], [wanted])
        # The results stay readable where they are shown, the focus on the button.
        found = named(read(TITLE))
        for result in ("104", "18", "21", "24", "27", "30"):
            self.assertIn(("text", result), found)
        self.assertEqual(focused(), ("button", "Calculate!"))

    def test_eachPanelIsReadWhileShownWithTheFocusInIt(self):
        self.program.keys("alt+t", "Return")
        self.wait_focus("edit", "Wheel Outside Diameter...")
        found = named(read(TITLE))
        for box in ("Drive Sprocket (A): # Teeth:", "Driven Sprocket (B): # Teeth:",
                    "Drive Sprocket (C): #Teeth:", "Driven Sprocket (D): # Teeth:"):
            self.assertIn(("edit", box), found)
        self.program.keys("alt+c")
        self.wait_focus("edit", BOXES[0])
        self.assertNotIn(("edit", "Wheel Outside Diameter..."), named(read(TITLE)))

        self.program.keys("alt+h", "Return")
        self.wait_focus("button", "OK")
        self.program.keys("Return")
        self.wait_focus("edit", BOXES[0])

    def test_theAboutWindowIsReadWithItsTextAndTheFocusOnOk(self):
        self.program.keys("alt+h", "b")
        title = "About Pedalwise Calculator"
        poll("the About window", lambda: windows_named(title))
        self.wait_focus("button", "OK", title)
        found = named(read(title))
        self.assertIn(("button", "System Info..."), found)
        self.program.keys("Escape")
        poll("the About window to close", lambda: not windows_named(title))

    def test_aFailedCalculationIsReadAsItsMessageAndOkTakesTheFocusToSprocketA(self):
        self.fill(["26", "52", "1", "1", ""])
        self.wait_focus("button", "Calculate!")
        self.program.keys("space")
        title = "Minor problem..."
        poll("the message", lambda: windows_named(title))
        self.wait_focus("button", "OK", title)
        message = read(title)
        self.assertEqual((message[0].type, message[0].name), ("window", title))
        self.assertIn(("text", "All 5 fields must contain valid data"), named(message))
        self.program.keys("Return")
        self.wait_focus("edit", BOXES[1])
        self.assertEqual(self.raised(), [])


if __name__ == "__main__":
    unittest.main()
