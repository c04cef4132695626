"""The skinned message dialog on Xvfb: button sets, pictures, titles, keys and results, and its growth."""
import subprocess
import unittest

from gui_session import GuiSession, MAIN_TITLE
import screen_checks

QUESTION = "Terminate the Scan now?"  # 23 characters
RESTART = "The system has to be restarted to remove the virus completely from your system. \\n\\n Restart now?"
PICTURE, TEXT = 1085, 1086
OK_PAIR, CANCEL_PAIR, LONE_OK, YES, NO = 1, 2, 3, 6, 7
BUTTON_SETS = {"ok": {LONE_OK}, "okcancel": {OK_PAIR, CANCEL_PAIR}, "yesno": {YES, NO}}
BUTTON_PICTURES = {OK_PAIR: "ok", CANCEL_PAIR: "cancel", LONE_OK: "ok", YES: "yes", NO: "no"}
PICTURES = {"info": "picture_info", "question": "picture_question", "warning": "picture_warning",
            "error": "picture_error"}


class Probe:
    """One ShowMessageDialog call in the dialog_probe program."""

    def __init__(self, session, style, text, title="", large_fonts=False):
        self.session = session
        args = [r"T:\bin\dialog_probe.exe", str(style), text, title] + (["large-fonts"] if large_fonts else [])
        self.proc = session.prefix.popen(args, display=session.xvfb.display, stdout=subprocess.PIPE,
                                         stderr=subprocess.DEVNULL, text=True)
        self.title = title or MAIN_TITLE
        self.window = self.title + "@1086"
        session.auto("wait-window", self.window, 60000)

    def rect(self, control=None):
        words = ["rect", self.window] + ([control] if control is not None else [])
        return screen_checks.parse_rect(self.session.auto(*words))

    def visible(self, control):
        return self.session.state(control, self.window)[0]

    def result(self):
        out, _ = self.proc.communicate(timeout=60)
        for line in out.splitlines():
            if line.startswith("result "):
                return int(line.split()[1])
        raise AssertionError("dialog_probe printed no result: %r" % out)


def answer(probe, how):
    s = probe.session
    if how == "enter":
        s.auto("key", probe.window, 13)
    elif how == "escape":
        s.auto("key", probe.window, 27)
    elif how == "close":
        s.auto("close", probe.window)
    else:
        s.auto("click", probe.window, how)
    return probe.result()


class MessageDialogTest(unittest.TestCase):
    def assertLooks(self, probe, buttons, picture, shot_name):
        for control in (OK_PAIR, CANCEL_PAIR, LONE_OK, YES, NO):
            self.assertEqual(probe.visible(control), control in BUTTON_SETS[buttons], "button %d" % control)
        for control in BUTTON_SETS[buttons]:
            left, top, right, bottom = probe.rect(control)
            self.assertEqual((right - left, bottom - top), (92, 24))
        picture_rect = probe.rect(PICTURE)
        button_rects = {control: probe.rect(control) for control in BUTTON_SETS[buttons]}

        def problems(shot):
            found = []
            if not screen_checks.shows(shot, picture_rect, screen_checks.bitmap(PICTURES[picture])):
                found.append("picture %s" % picture)
            for control, where in button_rects.items():
                name = BUTTON_PICTURES[control]
                if not (screen_checks.shows(shot, where, screen_checks.bitmap(name + "_notfocus")) or
                        screen_checks.shows(shot, where, screen_checks.bitmap(name + "_focus"))):
                    found.append("button %d without a %s picture" % (control, name))
            return found

        self.assertEqual(screen_checks.settle(lambda: probe.session.screenshot(shot_name), problems), [])

    def test_yes_no_question(self):
        with GuiSession("dialog_yes_no") as s:
            p = Probe(s, 36, QUESTION)
            self.assertEqual(s.auto("title", p.window), MAIN_TITLE)  # an empty title gives the product's
            self.assertEqual(s.text(TEXT, p.window), QUESTION)
            self.assertLooks(p, "yesno", "question", "dialog_yes_no")
            self.assertEqual(answer(p, "escape"), 7)

            p = Probe(s, 0x24, QUESTION, "DialogBoxTitle")
            self.assertEqual(s.auto("title", p.window), "DialogBoxTitle")
            self.assertEqual(answer(p, "close"), 7)
            self.assertEqual(answer(Probe(s, 0x24, QUESTION), "enter"), 1)  # Enter is still the OK command
            self.assertEqual(answer(Probe(s, 0x24, QUESTION), YES), 6)
            self.assertEqual(answer(Probe(s, 0x24, QUESTION), NO), 7)

    def test_ok_cancel_notice(self):
        with GuiSession("dialog_ok_cancel") as s:
            p = Probe(s, 65, "Infected process found in memory.")
            self.assertLooks(p, "okcancel", "info", "dialog_ok_cancel")
            self.assertEqual(answer(p, "escape"), 2)
            self.assertEqual(answer(Probe(s, 65, "x"), "enter"), 1)
            self.assertEqual(answer(Probe(s, 65, "x"), OK_PAIR), 1)
            self.assertEqual(answer(Probe(s, 65, "x"), CANCEL_PAIR), 2)
            self.assertEqual(answer(Probe(s, 65, "x"), "close"), 2)
            p = Probe(s, 5, "both button bits")  # OK/Cancel is tested before Yes/No
            self.assertLooks(p, "okcancel", "warning", "dialog_style_5")
            self.assertEqual(answer(p, "escape"), 2)

    def test_lone_ok_and_the_other_pictures(self):
        with GuiSession("dialog_ok") as s:
            p = Probe(s, 0, "A plain notice.")
            self.assertLooks(p, "ok", "warning", "dialog_ok")
            self.assertEqual(answer(p, "escape"), 2)
            self.assertEqual(answer(Probe(s, 0, "x"), "enter"), 1)
            self.assertEqual(answer(Probe(s, 0, "x"), LONE_OK), 1)
            p = Probe(s, 0x10, "Something went wrong.")
            self.assertLooks(p, "ok", "error", "dialog_error")
            self.assertEqual(answer(p, LONE_OK), 1)
            p = Probe(s, 0x70, "All icon bits.")
            self.assertLooks(p, "ok", "warning", "dialog_all_icon_bits")
            self.assertEqual(answer(p, LONE_OK), 1)
            p = Probe(s, 0x20, "")  # an empty text still replaces the design caption
            self.assertEqual(s.text(TEXT, p.window), "")
            self.assertLooks(p, "ok", "question", "dialog_empty_text")
            self.assertEqual(answer(p, LONE_OK), 1)

    def test_growth_with_the_text(self):
        with GuiSession("dialog_growth") as s:
            def measure(text, large_fonts=False):
                p = Probe(s, 36, text, large_fonts=large_fonts)
                sizes = {"dialog": p.rect(), "text": p.rect(TEXT), "picture": p.rect(PICTURE), "yes": p.rect(YES)}
                if text == RESTART:
                    s.screenshot("dialog_restart_question")
                self.assertEqual(answer(p, NO), 7)
                return sizes

            def size(r):
                return r[2] - r[0], r[3] - r[1]

            empty, short = measure(""), measure(QUESTION)
            long89, long90 = measure("x" * 89), measure("x" * 90)
            restart = measure(RESTART)
            large = measure(QUESTION, large_fonts=True)

            # Every text under 30 characters grows the dialog by the same 12 x 7 pixels.
            self.assertEqual(empty, short)
            # 95 characters: 50 x 28 against 12 x 7; the buttons move 25 instead of 6 pixels right.
            (w23, h23), (w95, h95) = size(short["dialog"]), size(restart["dialog"])
            self.assertEqual((w95 - w23, h95 - h23), (38, 21))
            self.assertEqual(restart["yes"][0] - short["yes"][0], 19)
            self.assertEqual(restart["yes"][1] - short["yes"][1], 21)  # the row keeps 65 pixels from the bottom
            self.assertEqual(size(restart["text"])[1] - size(short["text"])[1], 21)
            self.assertEqual(size(restart["text"])[0] - size(short["text"])[0], 38)
            # 89 characters keep the picture in place; from 90 it moves to 30 pixels above the text's
            # old top, which is 5 pixels above where the raised text now starts.
            self.assertEqual(long89["picture"], short["picture"])
            self.assertNotEqual(long90["picture"], short["picture"])
            self.assertEqual(long90["picture"][1], long90["text"][1] - 5)
            self.assertEqual(size(long90["picture"]), size(short["picture"]))
            self.assertEqual(restart["picture"], long90["picture"])
            # Large fonts make the text 25 pixels taller and change nothing else.
            self.assertEqual(size(large["text"])[1] - size(short["text"])[1], 25)
            self.assertEqual(large["dialog"], short["dialog"])
            self.assertEqual(large["yes"], short["yes"])
            self.assertEqual(large["picture"], short["picture"])


if __name__ == "__main__":
    unittest.main()
