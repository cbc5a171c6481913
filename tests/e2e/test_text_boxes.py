"""The text boxes as any assistive technology reaches them: through AT-SPI's Text and
EditableText interfaces, as flat review, a braille display or a voice-control program asks,
with answers in time, at every offset, and never half a character."""

import random
import time
import unittest

import pyatspi

from atspi_driver import PedalwiseTestCase, poll, text_of
from test_defaults import Window

LIMIT = 32767
IN_TIME = 0.5  # seconds for any one answer
BICYCLE = "\U0001F6B2"  # outside the Basic Multilingual Plane: two UTF-16 code units


def units(text):
    """A text as the UTF-16 code units that the box's offsets count."""
    data = text.encode("utf-16-le", "surrogatepass")
    return [int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data), 2)]


def text_of_units(code_units):
    return b"".join(u.to_bytes(2, "little") for u in code_units).decode("utf-16-le")


class Model:
    """A box's text in code units and its caret, as the box's text interface promises to keep
    them: -1 the end, -2 the caret, other offsets outside the text its nearer edge, and never
    half of a character."""

    def __init__(self, text):
        self.text, self.caret = units(text), len(units(text))

    def splits(self, at):
        return 0 < at < len(self.text) and 0xDC00 <= self.text[at] < 0xE000

    def inside(self, at):
        return {-1: len(self.text), -2: self.caret}.get(at, min(max(at, 0), len(self.text)))

    def place(self, at):
        return self.inside(at) - self.splits(self.inside(at))

    def span(self, start, end):
        start, end = sorted((self.inside(start), self.inside(end)))
        return start - self.splits(start), end + self.splits(end)

    def edit(self, start, end, text):
        whole = units(text)[:max(0, LIMIT - len(self.text) + end - start)]
        if whole and 0xD800 <= whole[-1] < 0xDC00:
            whole.pop()
        if start != end or whole:
            self.text[start:end], self.caret = whole, start + len(whole)


class TextBoxesTest(PedalwiseTestCase):
    def timed(self, call, *args):
        began = time.monotonic()
        answer = call(*args)
        self.assertLess(time.monotonic() - began, IN_TIME, f"{call.__name__}{args}")
        return answer

    def test_aFullBoxAnswersItsExtentsInTimeAndTakesTheNextEditAtOnce(self):
        app = self.start()
        box = Window(app).inputs()[0]
        app.set_text(box, ("52 teeth " * (LIMIT // 9 + 1))[:LIMIT])
        text = box.queryText()
        self.assertEqual(text.characterCount, LIMIT)
        extents = self.timed(text.getRangeExtents, 0, LIMIT, pyatspi.DESKTOP_COORDS)
        self.assertGreater(extents[2], 0)
        self.timed(box.queryEditableText().deleteText, 0, LIMIT)
        self.timed(poll, "the box emptied", lambda: text.characterCount == 0)

    def test_randomCallsOnEveryBoxAnswerInTimeChangeOnlyWhatTheyAskAndKeepWholeCharacters(self):
        window = Window(self.start())
        window.open_defaults_by_keyboard()
        generator = random.Random(20261210)
        seeds = ["52 teeth", "a" + BICYCLE + "b", "", BICYCLE * 3, "7" * (LIMIT - 3)]
        insertions = ["^", "7", BICYCLE, "ab", " ", "x" + BICYCLE + "y"]
        boundaries = [pyatspi.TEXT_BOUNDARY_CHAR, pyatspi.TEXT_BOUNDARY_WORD_START,
                      pyatspi.TEXT_BOUNDARY_SENTENCE_START, pyatspi.TEXT_BOUNDARY_LINE_START]
        for box in window.inputs() + window.panel_boxes():
            text, editable = box.queryText(), box.queryEditableText()
            model = Model(generator.choice(seeds))
            self.timed(editable.setTextContents, text_of_units(model.text))
            poll(f"{box.name} set", lambda: units(text_of(box)) == model.text)
            for _ in range(30):
                at = lambda: generator.randint(-3, len(model.text) + 3)
                start, end, inserted = at(), at(), generator.choice(insertions)
                call = generator.choice(["read", "unit", "extents", "caret", "select",
                                         "insert", "delete", "replace"])
                if call == "read":
                    first, last = model.span(start, end)
                    self.assertEqual(units(self.timed(text.getText, start, end)),
                                     model.text[first:last])
                elif call == "unit":
                    ask = generator.choice([text.getTextAtOffset, text.getTextBeforeOffset,
                                            text.getTextAfterOffset])
                    got, first, last = self.timed(ask, start, generator.choice(boundaries))
                    if (first, last) != (-1, -1) or got:
                        self.assertTrue(0 <= first < last <= len(model.text))
                        self.assertFalse(model.splits(first) or model.splits(last))
                        self.assertEqual(units(got), model.text[first:last])
                elif call == "extents":
                    self.timed(text.getCharacterExtents, start, pyatspi.DESKTOP_COORDS)
                    self.timed(text.getRangeExtents, start, end, pyatspi.DESKTOP_COORDS)
                elif call == "caret":
                    self.timed(text.setCaretOffset, start)
                    model.caret = model.place(start)
                elif call == "select":
                    self.timed(text.setSelection, 0, start, end)
                    model.caret = model.span(start, end)[1]
                    first, last = self.timed(text.getSelection, 0)
                    self.assertEqual((first, last), model.span(start, end))
                    self.timed(text.removeSelection, 0)
                elif call == "insert":
                    self.timed(editable.insertText, start, inserted, len(units(inserted)))
                    model.edit(model.place(start), model.place(start), inserted)
                elif call == "delete":
                    self.timed(editable.deleteText, start, end)
                    model.edit(*model.span(start, end), "")
                else:
                    self.timed(editable.setTextContents, inserted)
                    model.edit(0, len(model.text), inserted)
                # The text changed only as the call asked, with no half of a character left:
                # the bus carries the text as UTF-8, where Qt writes a lone half as "?".
                held = self.timed(text.getText, 0, -1)
                self.assertEqual((units(held), text.caretOffset), (model.text, model.caret),
                                 (box.name, call, start, end, inserted))
                self.assertNotIn("?", held)


if __name__ == "__main__":
    unittest.main()
