"""The main window as a screen-reader user meets it: type the drive, calculate, read."""

import shutil
import subprocess
import unittest

import pyatspi

from atspi_driver import BINARY, PedalwiseTestCase, poll, text_of, walk, xdotool

TITLE = "Pedalwise Calculator"
INPUTS = {
    "A": "Drive Sprocket (A): #Teeth:",
    "B": "Driven Sprocket (B): # Teeth:",
    "C": "Drive Sprocket (C): #Teeth:",
    "D": "Driven Sprocket (D): # Teeth:",
    "W": "Wheel Outside Diameter:",
}
RESULTS = ["Gear Inches"] + [f"Speed at {k}" for k in (60, 70, 80, 90, 100)]


class MainWindow:
    def __init__(self, app):
        self.app = app
        self.win = app.window(TITLE)

    def box(self, letter):
        return self.app.find(self.win, pyatspi.ROLE_TEXT, INPUTS[letter])

    def button(self, name):
        return self.app.find(self.win, pyatspi.ROLE_PUSH_BUTTON, name)

    def results(self):
        by_description = {}
        for node in walk(self.win):
            if node.getRole() == pyatspi.ROLE_LABEL and node.description in RESULTS:
                by_description[node.description] = text_of(node)
        return [by_description.get(name) for name in RESULTS]

    def enter(self, **values):
        for letter, value in values.items():
            self.app.set_text(self.box(letter), value)

    def activate(self):
        xdotool("search", "--sync", "--onlyvisible", "--name", TITLE, "windowactivate", "--sync")
        poll("the window to take the keyboard",
             lambda: self.win.getState().contains(pyatspi.STATE_ACTIVE))

    def focused_name(self):
        node = self.app.focused(self.win)
        return node.name if node is not None else None


class CalculationTest(PedalwiseTestCase):
    def test_aOneChainDriveShowsGearInchesAndFiveSpeeds(self):
        app = self.start()
        window = MainWindow(app)
        window.enter(A="52", B="1", C="1", D="13", W="26")
        window.app.press(window.button("Calculate!"))
        poll("the results", lambda: window.results() == ["104", "18", "21", "24", "27", "30"])
        # Its pictures are built in as PNG, rendered from SVG when it was built: the program
        # itself needs no Qt Svg (the style's own pictures may still bring in Qt's image-format
        # plug-ins, as in any Qt program).
        program = shutil.which(BINARY)
        needed = subprocess.run(["objdump", "-p", program], stdout=subprocess.PIPE, text=True,
                                check=True).stdout
        self.assertIn("libQt6Widgets", needed)
        self.assertNotIn("libQt6Svg", needed)

    def test_byKeyboardAFilledDTabAndEnterShowTheResults(self):
        app = self.start()
        window = MainWindow(app)
        window.enter(A="52", B="1", C="1", D="13", W="26")
        window.activate()
        poll("the focus on the wheel", lambda: window.focused_name() == INPUTS["W"])
        xdotool("key", "Tab", "Tab", "Tab", "Tab")
        poll("the focus in D", lambda: window.focused_name() == INPUTS["D"])
        xdotool("key", "Tab")
        poll("the focus on Calculate!", lambda: window.focused_name() == "Calculate!")
        xdotool("key", "Return")
        poll("the results", lambda: window.results() == ["104", "18", "21", "24", "27", "30"])
        self.assertEqual(window.focused_name(), "Calculate!")

    def test_aTwoChainDriveThatIsExactlyWholeIsNotShownOneLow(self):
        app = self.start()
        window = MainWindow(app)
        window.enter(A="30", B="13", C="1", D="1", W="26")
        window.app.press(window.button("Calculate!"))
        poll("the results", lambda: window.results() == ["60", "10", "12", "14", "16", "17"])

    def test_anEmptyDrivenSprocketShowsTheMessageAndOkReturnsToSprocketA(self):
        app = self.start()
        window = MainWindow(app)
        window.enter(A="52", C="1", D="13", W="26")
        window.app.press(window.button("Calculate!"))
        dialog = app.window("Minor problem...")
        app.find(dialog, pyatspi.ROLE_LABEL, "All 5 fields must contain valid data")
        app.press(app.find(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK"))
        poll("the message to close", lambda: not app.has_window("Minor problem..."))
        sprocket_a = window.box("A")
        poll("the focus on sprocket A",
             lambda: sprocket_a.getState().contains(pyatspi.STATE_FOCUSED))
        self.assertEqual(window.results(), ["", "", "", "", "", ""])

    def test_altXEndsTheProgram(self):
        app = self.start()
        window = MainWindow(app)
        window.activate()
        xdotool("key", "alt+x")
        app.wait_exit()
        self.assertEqual(app.process.returncode, 0)


if __name__ == "__main__":
    unittest.main()
