"""Drives the Pedalwise window through the accessibility bus, as a screen reader would.

Controls are found by role and accessible name; keys and clicks go through the X server
with xdotool so that they arrive exactly like a user's.
"""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

import pyatspi

BINARY = os.environ.get("PEDALWISE_BINARY", "pedalwise")
TIMEOUT = float(os.environ.get("PEDALWISE_E2E_TIMEOUT", "20"))
# Start-up on a loaded machine can take far longer than any later step.
START_TIMEOUT = 3 * TIMEOUT


def poll(what, probe, timeout=TIMEOUT, interval=0.1):
    """Returns the first true result of probe(), or fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            result = probe()
            if result:
                return result
        except Exception as error:  # the tree may change under our feet
            last_error = error
        time.sleep(interval)
    raise AssertionError(f"timed out waiting for {what}" + (f" ({last_error})" if last_error else ""))


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def text_of(node):
    """The text a screen reader would read for a label or a text box."""
    try:
        text = node.queryText()
        return text.getText(0, -1)
    except NotImplementedError:
        return node.name


def is_showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


class App:
    """One running pedalwise process and its accessibility tree."""

    def __init__(self, data_home, extra_env=None, binary=BINARY):
        env = dict(os.environ)
        env["XDG_DATA_HOME"] = data_home
        env.update(extra_env or {})
        self.process = subprocess.Popen([binary], env=env)
        self.name = os.path.basename(binary)
        self.app = poll("the application on the accessibility bus", self._find_app, START_TIMEOUT)

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None:
                continue
            try:
                if app.get_process_id() == self.process.pid and app.childCount > 0:
                    return app
            except Exception:
                continue
        return None

    def window(self, title, timeout=TIMEOUT):
        def probe():
            for i in range(self.app.childCount):
                win = self.app.getChildAtIndex(i)
                if win is not None and win.name == title and is_showing(win):
                    return win
            return None

        return poll(f"window {title!r}", probe, timeout)

    def has_window(self, title):
        for i in range(self.app.childCount):
            win = self.app.getChildAtIndex(i)
            if win is not None and win.name == title and is_showing(win):
                return True
        return False

    def find(self, root, role, name, timeout=TIMEOUT):
        def probe():
            for node in walk(root):
                if node.getRole() == role and node.name == name and is_showing(node):
                    return node
            return None

        return poll(f"{pyatspi.Role(role)} {name!r}", probe, timeout)

    def set_text(self, node, value):
        editable = node.queryEditableText()
        editable.setTextContents(value)
        poll(f"text {value!r}", lambda: text_of(node) == value)

    def press(self, node):
        node.queryAction().doAction(0)

    def focused(self, root):
        for node in walk(root):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
        return None

    def answers(self, node):
        """Whether the program answers a question about node. It answers the accessibility bus
        only from its event loop, so an answer means the loop has run whatever it had queued
        before, and none comes once the loop has ended."""
        try:
            node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            return True
        except Exception:
            return False

    def processor_seconds(self):
        """Processor time the process has used so far, in user and system mode."""
        with open(f"/proc/{self.process.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def peak_memory_mib(self):
        """The most memory the process has held in RAM so far."""
        with open(f"/proc/{self.process.pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024
        raise AssertionError("no VmHWM in /proc")

    def wait_exit(self, timeout=TIMEOUT):
        return poll("the process to end", lambda: self.process.poll() is not None, timeout)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class PedalwiseTestCase(unittest.TestCase):
    """Starts a fresh calculator for each test with its own empty data folder."""

    def setUp(self):
        self.data_home = tempfile.mkdtemp(prefix="pedalwise-e2e-")
        self.addCleanup(shutil.rmtree, self.data_home, True)

    def start(self, extra_env=None):
        app = App(self.data_home, extra_env)
        self.addCleanup(app.close)
        return app

    def assertIdle(self, app, seconds, most):
        """Fails as soon as the program has used more than `most` seconds of processor time,
        or passes once `seconds` have gone by without that."""
        before = app.processor_seconds()
        deadline = time.monotonic() + seconds
        while True:
            used = app.processor_seconds() - before
            if used > most:
                self.fail(f"the program used {used:.2f} s of processor time, more than {most} s")
            if time.monotonic() > deadline:
                return
            time.sleep(0.05)

    @property
    def defaults_path(self):
        return os.path.join(self.data_home, "pedalwise", "pedalwise.dat")

    def write_defaults(self, data: bytes):
        os.makedirs(os.path.dirname(self.defaults_path), exist_ok=True)
        with open(self.defaults_path, "wb") as f:
            f.write(data)
