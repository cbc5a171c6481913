"""The real pedalwise.exe under Wine, driven by the keyboard alone: its window, a
calculation, the defaults saved through the Setup menu, and Alt+X."""

import os
import subprocess
import unittest

from wine_driver import Prefix, PrefixTestCase, Program, poll, windows_named, xdotool

EXE = os.environ["PEDALWISE_EXE"]
PREFIX = Prefix(os.environ["PEDALWISE_WINEPREFIX"])
SAVED = b"26\r\n44\r\n16\r\n1\r\n1\r\n"


def contents(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


class WindowsProgramTest(PrefixTestCase):
    prefix = PREFIX

    def setUp(self):
        self.user_file = PREFIX.appdata("Pedalwise", "pedalwise.dat")
        self.old_file = PREFIX.drive_c("pedalwise.dat")
        for path in (self.user_file, self.old_file):
            if os.path.exists(path):
                os.remove(path)
        self.program = None

    def tearDown(self):
        if self.program is not None:
            self.program.stop()

    def start(self):
        self.program = Program(PREFIX, EXE)
        return self.program

    def save_defaults_by_keyboard(self, program, texts):
        # Setup (Alt+T), its one item, then the panel's boxes from the wheel on; Alt+S saves.
        program.keys("alt+t", "Return")
        for text in texts:
            program.keys("ctrl+a")
            if text:
                program.type(text)
            program.keys("Tab")
        program.keys("alt+s")

    def test_typedDriveCalculatesAndTheSavedDefaultsAreTheExactBytes(self):
        program = self.start()
        width, height = program.size()
        self.assertEqual(width, 508)
        self.assertTrue(370 < height < 410, height)
        # The wheel, A to D; leaving a filled D goes to "Calculate!", which Space presses.
        for text in ("27", "48", "16", "1", "1"):
            program.type(text)
            program.keys("Tab")
        program.keys("space")
        self.assertEqual(windows_named("Minor problem..."), [])
        self.save_defaults_by_keyboard(program, ["26", "44", "16", "1", "1"])
        poll("the defaults file", lambda: contents(self.user_file) == SAVED)
        self.assertFalse(os.path.exists(self.old_file))
        program.keys("alt+x")
        self.assertEqual(program.wait_exit(), 0)

    def test_aZeroDrivenSprocketShowsTheMessage(self):
        program = self.start()
        for text in ("26", "52", "0", "1", "13"):
            program.type(text)
            program.keys("Tab")
        program.keys("space")
        message = poll("the message", lambda: windows_named("Minor problem..."))[0]
        program.keys("Return")
        poll("the message to close", lambda: message not in windows_named("Minor problem..."))
        program.activate()
        program.keys("alt+x")
        self.assertEqual(program.wait_exit(), 0)

    def test_theAboutWindowStaysOffTheTaskbarAndKeepsTheProgramRunning(self):
        program = self.start()
        program.keys("alt+h", "b")
        about = poll("the About window", lambda: windows_named("About Pedalwise Calculator"))[0]
        state = subprocess.run(["xprop", "-id", about, "_NET_WM_STATE"], capture_output=True,
                               text=True).stdout
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", state)
        # No viewer is registered under Wine: System Info says so.
        program.keys("alt+s")
        poll("the message", lambda: windows_named("PedalwiseNew"))
        program.keys("Return")
        poll("the message to close", lambda: not windows_named("PedalwiseNew"))
        # Closing the main window leaves the program running until the About window closes.
        program.activate()
        program.keys("alt+F4")
        poll("the main window to close", lambda: not windows_named("Pedalwise Calculator"))
        # An end would come as the last window of Qt's closes, at once: waited for a second.
        with self.assertRaises(subprocess.TimeoutExpired, msg="the program ended"):
            program.process.wait(timeout=1)
        xdotool("windowactivate", "--sync", about)
        program.keys("Escape")
        self.assertEqual(program.wait_exit(), 0)

    def test_defaultsOnDriveCFromAnEarlierProgramLoadAndAreSavedToTheUsersFolder(self):
        with open(self.old_file, "wb") as f:
            f.write(SAVED)
        program = self.start()
        # The panel shows what was loaded; saving it unchanged writes the user's own file.
        self.save_defaults_by_keyboard(program, [None] * 5)
        poll("the user's defaults file", lambda: contents(self.user_file) == SAVED)
        self.assertEqual(contents(self.old_file), SAVED)
        program.keys("alt+x")
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
