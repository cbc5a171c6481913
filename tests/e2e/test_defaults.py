"""The defaults on a real X server: loaded at start and at every repaint, edited and saved
through the Setup menu's panel."""

import os
import subprocess
import unittest

import pyatspi

from atspi_driver import PedalwiseTestCase, poll, text_of, walk, xdotool

TITLE = "Pedalwise Calculator"
TYPICAL = b"27\r\n48\r\n16\r\n1\r\n1\r\n"

# Main inputs in file order: the wheel on the window, the sprockets in their chain frames.
MAIN = [
    (None, "Wheel Outside Diameter:"),
    ("Chain # 1 ", "Drive Sprocket (A): #Teeth:"),
    ("Chain # 1 ", "Driven Sprocket (B): # Teeth:"),
    ("Chain # 2 ", "Drive Sprocket (C): #Teeth:"),
    ("Chain # 2 ", "Driven Sprocket (D): # Teeth:"),
]
PANEL_TITLE = "Set Default Values "
PANEL = [
    "Wheel Outside Diameter...",
    "Drive Sprocket (A): # Teeth:",
    "Driven Sprocket (B): # Teeth:",
    "Drive Sprocket (C): #Teeth:",
    "Driven Sprocket (D): # Teeth:",
]


def find_named(root, name):
    """The showing node of that name, whatever its role, or None."""
    for node in walk(root):
        if node.name == name and node.getState().contains(pyatspi.STATE_SHOWING):
            return node
    return None


class Window:
    def __init__(self, app):
        self.app = app
        self.win = app.window(TITLE)
        self.id = subprocess.run(
            ["xdotool", "search", "--sync", "--onlyvisible", "--name", TITLE],
            check=True, capture_output=True, text=True).stdout.split()[0]

    def inputs(self):
        return [self.app.find(find_named(self.win, frame) if frame else self.win,
                              pyatspi.ROLE_TEXT, name) for frame, name in MAIN]

    def input_texts(self):
        return [text_of(box) for box in self.inputs()]

    def panel(self):
        return find_named(self.win, PANEL_TITLE)

    def panel_boxes(self):
        panel = poll("the defaults panel", self.panel)
        return [self.app.find(panel, pyatspi.ROLE_TEXT, name) for name in PANEL]

    def focused_name(self):
        node = self.app.focused(self.win)
        return node.name if node is not None else None

    def activate(self):
        xdotool("windowactivate", "--sync", self.id)
        poll("the window to take the keyboard",
             lambda: self.win.getState().contains(pyatspi.STATE_ACTIVE))

    def minimize_and_restore(self):
        xdotool("windowminimize", "--sync", self.id)
        poll("the window to be minimized", lambda: "IsUnMapped" in map_state(self.id))
        xdotool("windowmap", "--sync", self.id)
        xdotool("windowactivate", "--sync", self.id)
        poll("the window to be shown again", lambda: "IsViewable" in map_state(self.id))

    def open_defaults_by_keyboard(self):
        self.activate()
        xdotool("key", "alt+t")
        poll("the Setup menu", lambda: self.app.find(self.app.app, pyatspi.ROLE_MENU_ITEM,
                                                     "Set Defaults", timeout=0.5))
        xdotool("key", "Return")
        poll("the defaults panel", self.panel)


def map_state(window_id):
    return subprocess.run(["xwininfo", "-id", window_id], check=True, capture_output=True,
                          text=True).stdout


class DefaultsTest(PedalwiseTestCase):
    def test_withAFileTheInputsAreFilledAtStartWithTheFocusOnTheWheel(self):
        self.write_defaults(TYPICAL)
        window = Window(self.start())
        poll("the defaults in the inputs",
             lambda: window.input_texts() == ["27", "48", "16", "1", "1"])
        poll("the focus on the wheel",
             lambda: window.focused_name() == "Wheel Outside Diameter:")

    def test_restoringFromMinimizedPutsTheFilesValueBackAndTheFocusOnTheWheel(self):
        self.write_defaults(TYPICAL)
        app = self.start()
        window = Window(app)
        poll("the defaults in the inputs", lambda: window.input_texts()[1] == "48")
        drive1 = window.inputs()[1]
        app.set_text(drive1, "53")
        window.activate()
        poll("the focus on the wheel",
             lambda: window.focused_name() == "Wheel Outside Diameter:")
        xdotool("key", "Tab")
        poll("the focus in sprocket A", lambda: window.focused_name() == MAIN[1][1])
        self.assertEqual(text_of(drive1), "53")

        window.minimize_and_restore()
        poll("the file's value back", lambda: text_of(drive1) == "48")
        poll("the focus on the wheel",
             lambda: window.focused_name() == "Wheel Outside Diameter:")

    def test_uncoveringTheWindowPutsTheFilesValuesBack(self):
        self.write_defaults(TYPICAL)
        app = self.start()
        window = Window(app)
        poll("the defaults in the inputs", lambda: window.input_texts()[1] == "48")
        cover = subprocess.Popen(["xlogo", "-geometry", "300x300+150+150"],
                                 stderr=subprocess.DEVNULL)
        self.addCleanup(cover.kill)
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--class", "xlogo"],
                       check=True, stdout=subprocess.DEVNULL)
        app.set_text(window.inputs()[1], "53")
        cover.terminate()
        cover.wait()
        poll("the file's value back", lambda: text_of(window.inputs()[1]) == "48")

    def test_anEnormousFirstLineComesUpAndSettles(self):
        # 50 MiB in one line: the window comes up with as much of it in the wheel box as a box
        # holds, then idles at a small share of processor time and memory.
        self.write_defaults(b"7" * (50 << 20) + b"\r\n48\r\n16\r\n1\r\n1\r\n")
        app = self.start()
        window = Window(app)
        poll("the defaults in the inputs",
             lambda: window.input_texts() == ["7" * 32767, "48", "16", "1", "1"])
        # The start is over once the focus has gone to the wheel and all queued work has run.
        poll("the focus on the wheel",
             lambda: window.focused_name() == "Wheel Outside Diameter:")
        self.assertTrue(app.answers(window.win))
        self.assertIdle(app, 3, 0.3)
        self.assertLess(app.peak_memory_mib(), 100)

    def test_withoutAFileTypedValuesSurviveRepaints(self):
        app = self.start()
        window = Window(app)
        typed = ["26", "52", "1", "1", "13"]
        for box, value in zip(window.inputs(), typed):
            app.set_text(box, value)
        window.minimize_and_restore()
        window.open_defaults_by_keyboard()
        app.press(app.find(window.panel(), pyatspi.ROLE_PUSH_BUTTON, "Cancel"))
        poll("the panel to close", lambda: window.panel() is None)
        self.assertEqual(window.input_texts(), typed)
        self.assertFalse(os.path.exists(self.defaults_path))

    def test_setDefaultsEditAndSaveWritesTheExactBytes(self):
        app = self.start()
        window = Window(app)
        app.set_text(window.inputs()[1], "53")
        window.open_defaults_by_keyboard()
        # Closing the menu is no repaint: the focus stays in the panel, the typed value stays.
        poll("the focus on the panel's wheel box",
             lambda: window.focused_name() == "Wheel Outside Diameter...")
        self.assertEqual(window.input_texts()[1], "53")

        texts = ["27", " 48", "", "x", "1"]
        for box, value in zip(window.panel_boxes(), texts):
            app.set_text(box, value)
        xdotool("key", "alt+s")
        poll("the file", lambda: os.path.exists(self.defaults_path))
        poll("the panel to close", lambda: window.panel() is None)
        with open(self.defaults_path, "rb") as f:
            self.assertEqual(f.read(), b"27\r\n 48\r\n\r\nx\r\n1\r\n")
        self.assertEqual(window.input_texts(), texts)
        poll("the focus on the wheel",
             lambda: window.focused_name() == "Wheel Outside Diameter:")

    def test_cancelChangesNothing(self):
        self.write_defaults(TYPICAL)
        app = self.start()
        window = Window(app)
        poll("the defaults in the inputs", lambda: window.input_texts()[1] == "48")
        window.open_defaults_by_keyboard()
        boxes = window.panel_boxes()
        self.assertEqual([text_of(box) for box in boxes], ["27", "48", "16", "1", "1"])
        for box, value in zip(boxes, ["700", "50", "34", "2", "3"]):
            app.set_text(box, value)
        xdotool("key", "alt+c")
        poll("the panel to close", lambda: window.panel() is None)
        with open(self.defaults_path, "rb") as f:
            self.assertEqual(f.read(), TYPICAL)
        self.assertEqual(window.input_texts(), ["27", "48", "16", "1", "1"])


if __name__ == "__main__":
    unittest.main()
