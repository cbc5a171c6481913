"""The setup program in a fresh Wine prefix: a silent install puts the program, its Start
menu shortcut and its Add/Remove Programs entry in place; the installed program starts; a
silent uninstall takes all of it away but the user's own defaults."""

import os
import shutil
import tempfile
import unittest

from wine_driver import Prefix, Program, poll

SETUP = os.environ["PEDALWISE_SETUP"]
KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pedalwise"
SHORTCUT = ("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
            "Pedalwise Calculator.lnk")


class SetupTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="pedalwise-setup-")
        self.prefix = Prefix(os.path.join(self.dir, "prefix"))
        self.prefix.boot()

    def tearDown(self):
        self.prefix.wine("wineboot", "-k")
        shutil.rmtree(self.dir, ignore_errors=True)

    def uninstall_entry(self):
        out = self.prefix.wine("reg", "query", KEY).stdout
        return {line.split()[0]: line.split(None, 2)[2].strip()
                for line in out.splitlines() if "REG_" in line}

    def test_silentInstallThenUninstallLeavesOnlyTheUsersDefaults(self):
        installed = self.prefix.drive_c("Program Files", "Pedalwise")
        result = self.prefix.wine(SETUP, "/S")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.prefix.wait()
        for name in ("pedalwise.exe", "uninstall.exe", "Qt6Core.dll", "Qt6Widgets.dll",
                     "libstdc++-6.dll", os.path.join("platforms", "qwindows.dll"),
                     os.path.join("styles", "qmodernwindowsstyle.dll"), "LICENSE.txt",
                     "THIRD-PARTY-LICENSES.txt"):
            self.assertTrue(os.path.isfile(os.path.join(installed, name)), name)
        self.assertTrue(os.path.isfile(self.prefix.drive_c(*SHORTCUT)))
        entry = self.uninstall_entry()
        self.assertEqual(entry["DisplayName"], "Pedalwise Calculator")
        self.assertEqual(entry["DisplayVersion"], "1.2.0")
        self.assertEqual(entry["Publisher"], "The Pedalwise developers")
        self.assertIn("pedalwise.exe", entry["DisplayIcon"])
        self.assertGreater(int(entry["EstimatedSize"], 16), 1000)

        # The installed program starts; the defaults it saves belong to the user.
        program = Program(self.prefix, r"C:\Program Files\Pedalwise\pedalwise.exe")
        program.keys("alt+t", "Return")
        program.type("26")
        program.keys("alt+s")
        defaults = self.prefix.appdata("Pedalwise", "pedalwise.dat")
        poll("the user's defaults file", lambda: os.path.isfile(defaults))
        program.keys("alt+x")
        self.assertEqual(program.wait_exit(), 0)

        result = self.prefix.wine(os.path.join(installed, "uninstall.exe"), "/S")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.prefix.wait()  # the uninstaller goes on from a copy of itself
        self.assertFalse(os.path.exists(installed))
        self.assertFalse(os.path.exists(self.prefix.drive_c(*SHORTCUT)))
        self.assertEqual(self.uninstall_entry(), {})
        self.assertTrue(os.path.isfile(defaults))


if __name__ == "__main__":
    unittest.main()
