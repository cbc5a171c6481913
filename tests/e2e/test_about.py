"""The About window as a user meets it: opened from the Help menu, read by a screen reader,
starting the system-information viewer, and keeping the program alive on its own."""

import os
import re
import shutil
import stat
import subprocess
import tempfile
import unittest

import pyatspi

from atspi_driver import PedalwiseTestCase, is_showing, poll, walk, xdotool

MAIN_TITLE = "Pedalwise Calculator"
ABOUT_TITLE = "About Pedalwise Calculator"
VERSION = "Version 1.2" + " " * 32 + "Updated 10/19/2005"
DESCRIPTION = (
    "This application will calculate the number of 'Gear Inches' and approximate ground speed "
    "from user supplied chain ring and sprocket sizes.  The major difference between this and "
    "other similar applications is the ability to factor in two chains as might be used with a "
    "tandem or special-use vehicle.")
DISCLAIMER = (
    "Warning: ... Although I have checked the results of this application it is recommeded "
    "that you double check gearing before investing in expensive components. No warranty is "
    "implied.")
UNAVAILABLE = "System Information Is Unavailable At This Time"


def x_window(title):
    """The X window id of the visible window with exactly this title."""
    def probe():
        found = subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$"],
            capture_output=True, text=True).stdout.split()
        return found[0] if found else None

    return poll(f"X window {title!r}", probe)


def x_property(window_id, name):
    return subprocess.run(["xprop", "-id", window_id, name], capture_output=True,
                          text=True, check=True).stdout


def client_origin(window_id):
    info = subprocess.run(["xwininfo", "-id", window_id], capture_output=True, text=True,
                          check=True).stdout
    x = re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1)
    y = re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1)
    return int(x), int(y)


class AboutTestCase(PedalwiseTestCase):
    def activate(self, app, title):
        xdotool("windowactivate", "--sync", x_window(title))
        win = app.window(title)
        poll(f"{title!r} to take the keyboard",
             lambda: win.getState().contains(pyatspi.STATE_ACTIVE))
        return win

    def open_about(self, app):
        """Help, About, with the keyboard as a user would."""
        self.activate(app, MAIN_TITLE)
        xdotool("key", "alt+h")
        poll("the Help menu", lambda: any(
            node.getRole() == pyatspi.ROLE_MENU_ITEM and node.name == "About Pedalwise"
            and is_showing(node) for node in walk(app.app)))
        xdotool("key", "b")
        return app.window(ABOUT_TITLE)

    def path_with_viewer(self):
        """A folder holding a fake hardinfo that records its start, first on PATH."""
        folder = tempfile.mkdtemp(prefix="pedalwise-bin-")
        self.addCleanup(shutil.rmtree, folder, True)
        marker = os.path.join(folder, "started")
        viewer = os.path.join(folder, "hardinfo")
        with open(viewer, "w") as f:
            # Written aside and renamed, so that the marker appears with its content.
            f.write(f'#!/bin/sh\necho "$#" > "{marker}.new" && mv "{marker}.new" "{marker}"\n')
        os.chmod(viewer, stat.S_IRWXU)
        return folder, marker


class AboutWindowTest(AboutTestCase):
    def test_theAboutWindowReadsAsItsFixedTextsAtItsPlaceWithTheFocusOnOk(self):
        app = self.start()
        about = self.open_about(app)
        for text in ("Pedalwise Calculator", VERSION, DESCRIPTION, DISCLAIMER):
            app.find(about, pyatspi.ROLE_LABEL, text)
        ok = app.find(about, pyatspi.ROLE_PUSH_BUTTON, "OK")
        app.find(about, pyatspi.ROLE_PUSH_BUTTON, "System Info...")
        poll("the focus on OK", lambda: ok.getState().contains(pyatspi.STATE_FOCUSED))

        window_id = x_window(ABOUT_TITLE)
        self.assertEqual(client_origin(window_id), (190, 155))
        # Left off the taskbar, as the window manager keeps it.
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", x_property(window_id, "_NET_WM_STATE"))
        # The main window keeps its own taskbar button.
        self.assertNotIn("_NET_WM_STATE_SKIP_TASKBAR",
                         x_property(x_window(MAIN_TITLE), "_NET_WM_STATE"))

    def test_closingTheMainWindowLeavesTheProgramRunningUntilAboutIsClosed(self):
        app = self.start()
        about = self.open_about(app)
        self.activate(app, MAIN_TITLE)
        xdotool("key", "alt+F4")  # the window manager's Close
        poll("the main window to close", lambda: not app.has_window(MAIN_TITLE))
        # The close would have queued the end of the event loop.
        self.assertTrue(app.answers(about), "the program ended with the About window open")
        self.assertTrue(app.has_window(ABOUT_TITLE))

        app.press(app.find(about, pyatspi.ROLE_PUSH_BUTTON, "OK"))
        app.wait_exit()
        self.assertEqual(app.process.returncode, 0)


class SystemInfoTest(AboutTestCase):
    def test_altSStartsTheViewerFoundOnPath(self):
        folder, marker = self.path_with_viewer()
        app = self.start({"PATH": folder + os.pathsep + os.environ.get("PATH", "")})
        about = self.open_about(app)
        self.activate(app, ABOUT_TITLE)
        xdotool("key", "alt+s")
        poll("the viewer to start", lambda: os.path.exists(marker))
        with open(marker) as f:
            self.assertEqual(f.read().strip(), "0")  # no arguments
        # Once the program answers, the key's handler has run to its end, or to a message.
        self.assertTrue(app.answers(about))
        self.assertTrue(app.has_window(ABOUT_TITLE))
        self.assertFalse(app.has_window("PedalwiseNew"))

    def test_withoutAViewerTheMessageShowsAndOkClosesIt(self):
        # A PATH with no viewer on it, whatever this machine has installed.
        empty = tempfile.mkdtemp(prefix="pedalwise-nobin-")
        self.addCleanup(os.rmdir, empty)
        app = self.start({"PATH": empty})
        about = self.open_about(app)
        app.press(app.find(about, pyatspi.ROLE_PUSH_BUTTON, "System Info..."))
        message = app.window("PedalwiseNew")
        app.find(message, pyatspi.ROLE_LABEL, UNAVAILABLE)
        app.press(app.find(message, pyatspi.ROLE_PUSH_BUTTON, "OK"))
        poll("the message to close", lambda: not app.has_window("PedalwiseNew"))
        self.assertTrue(app.has_window(ABOUT_TITLE))


if __name__ == "__main__":
    unittest.main()
