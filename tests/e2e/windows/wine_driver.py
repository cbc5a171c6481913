"""Drives the Windows program under Wine from outside, as a keyboard user would: keys go
through the X server with xdotool; what the program did is read from the windows it shows
and the files it leaves in the Wine prefix."""

import glob
import os
import subprocess
import time
import unittest

TIMEOUT = float(os.environ.get("PEDALWISE_E2E_TIMEOUT", "30"))
TITLE = "Pedalwise Calculator"


def poll(what, probe, timeout=TIMEOUT, interval=0.2):
    """Returns the first true result of probe(), or fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = probe()
        if result:
            return result
        time.sleep(interval)
    raise AssertionError(f"timed out waiting for {what}")


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True,
                          text=True).stdout


def active_window():
    """The window that has the keyboard, or "" while none has: xdotool fails then, as it does
    for a moment while the window manager hands the keyboard from one window to another."""
    found = subprocess.run(["xdotool", "getactivewindow"], capture_output=True, text=True)
    return found.stdout.strip() if found.returncode == 0 else ""


def windows_named(title):
    """The visible X windows whose whole title is this one."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                           capture_output=True, text=True)
    return found.stdout.split()


class Prefix:
    """A Wine prefix and the paths of the program's files in it."""

    def __init__(self, path):
        self.path = path
        self.env = dict(os.environ, WINEPREFIX=path, WINEDEBUG="-all")

    def wine(self, *args, **kwargs):
        return subprocess.run(["wine", *args], env=self.env, capture_output=True,
                              text=True, **kwargs)

    def boot(self):
        subprocess.run(["wineboot", "-i"], env=self.env, capture_output=True, check=True)
        self.wait()

    def wait(self):
        """Waits until no program of the prefix is left running."""
        subprocess.run(["wineserver", "-w"], env=self.env, check=True)

    def drive_c(self, *parts):
        return os.path.join(self.path, "drive_c", *parts)

    def appdata(self, *parts):
        """The user's roaming application data folder."""
        users = glob.glob(self.drive_c("users", "*", "AppData", "Roaming"))
        users = [u for u in users if "/Public/" not in u]
        return os.path.join(users[0], *parts)


class Program:
    """One running Windows program and its main window."""

    def __init__(self, prefix, exe, wine_log=None):
        """With wine_log, a path, Wine writes there what the program asked of Wine's UI
        Automation that Wine only logs ("fixme:uiautomation")."""
        env, log = prefix.env, subprocess.DEVNULL
        if wine_log:
            env = dict(env, WINEDEBUG="-all,fixme+uiautomation")
            log = open(wine_log, "wb")  # pylint: disable=consider-using-with
        try:
            self.process = subprocess.Popen(["wine", exe], env=env, stdout=subprocess.DEVNULL,
                                            stderr=log)
        finally:
            if wine_log:
                log.close()
        self.window = poll("the main window", lambda: windows_named(TITLE))[0]
        self.activate()

    def activate(self):
        xdotool("windowactivate", "--sync", self.window)
        poll("the window to take the keyboard",
             lambda: active_window() == self.window)

    def size(self):
        out = xdotool("getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=") for line in out.split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def keys(self, *keys):
        xdotool("key", "--delay", "60", *keys)

    def type(self, text):
        xdotool("type", "--delay", "60", text)

    def wait_exit(self):
        return self.process.wait(timeout=3 * TIMEOUT)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class PrefixTestCase(unittest.TestCase):
    """Tests that share one Wine prefix, named by the class's prefix, whose session has this
    display from its start and ends with the tests."""

    prefix = None

    @classmethod
    def setUpClass(cls):
        if not os.path.exists(os.path.join(cls.prefix.path, "system.reg")):
            cls.prefix.boot()

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], env=cls.prefix.env, check=False)
