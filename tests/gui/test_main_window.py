"""The main window on Xvfb: start-up, idle and scan layouts, questions, the result list, links, the skin."""
import os
import subprocess
import unittest

from gui_session import GuiSession, MAIN_TITLE, unescape
import screen_checks

MAIN = MAIN_TITLE + "@1055"  # the main window, never a dialog that shares its title
QUESTION = "Terminate the Scan now?"
PRODUCT_PAGE = "http://www.example.com/pages/Wardex-2014-Anti-virus/pgid-336527.aspx"
TOOLS_PAGE = "http://www.example.com/pages/Virus-Removal-Tools/pgid-332271.aspx"
TITLE_LINE = "Purgix Ver 1.0 - Tool to detect and remove all the variants of W32/Vorlex Trojan "
NOTICE = "This program is a part of Wardex antivirus software."
UM_SHOWSTATUS = 0x000A
UM_ADDLINE = 0x000B

# Control ids of the main window.
OK_BUTTON, CANCEL, SCAN, DOWNLOAD, CLOSE_X = 1070, 2, 1052, 1053, 1054
PROGRESS_FRAME, STATUS, SCAN_TITLE, FAMILY_LABEL = 1064, 1065, 1076, 1068
NOTICE_LABEL, COPYRIGHT, TITLE, DLINK, ULINK, LOGO = 1075, 1072, 1074, 1077, 1080, 1085
LIST_FRAME, RESULT_LIST = 1034, 1055

# Bitmap sizes the buttons take, whatever their template size.
BUTTON_SIZES = {OK_BUTTON: (92, 24), CANCEL: (92, 24), SCAN: (180, 33), DOWNLOAD: (180, 33), CLOSE_X: (21, 21),
                DLINK: (350, 43), ULINK: (350, 28), LOGO: (100, 36)}
LABEL_BLUE = (2, 77, 246)
WHITE = (255, 255, 255)
WIDE_FOLDER = "a_folder_with_a_rather_long_name_to_make_the_report_lines_wide"


def rect(s, control=None, title=MAIN):
    words = ["rect", title] + ([control] if control is not None else [])
    return screen_checks.parse_rect(s.auto(*words))


def visible_enabled(s, control, title=MAIN):
    return s.state(control, title)


def make_clean_tree(root, folders, files_each):
    """Clean files that make a scan last long enough to be talked to."""
    for d in range(folders):
        folder = os.path.join(root, "f%03d" % d)
        os.makedirs(folder, exist_ok=True)
        for f in range(files_each):
            with open(os.path.join(folder, "clean_%04d.txt" % f), "wb") as out:
                out.write(b"clean")


def plant(s, count, *folders):
    for folder in folders:
        os.makedirs(os.path.dirname(s.c_path(folder)), exist_ok=True)
    done = s.wine(r"T:\bin\plant_samples.exe", str(count), *folders)
    if done.returncode != 0:
        raise AssertionError("plant_samples failed")


def sample_lines(lines):
    return [line for line in lines if "infected_" in line and line.endswith("removed")]


def start_main(s):
    purgix = s.start_purgix()
    s.wait_window(MAIN)
    return purgix


def dialog_up(s, title):
    return s.auto("wait-window", title + "@1086", 60000)


class MainWindowTest(unittest.TestCase):
    def assertShown(self, s, controls, title=MAIN):
        for control in controls:
            self.assertTrue(visible_enabled(s, control, title)[0], "control %d should be visible" % control)

    def assertHidden(self, s, controls, title=MAIN):
        for control in controls:
            self.assertFalse(visible_enabled(s, control, title)[0], "control %d should be hidden" % control)

    def assertScanningLayout(self, s):
        self.assertEqual(visible_enabled(s, SCAN), (True, False))
        self.assertEqual(visible_enabled(s, CANCEL), (True, True))
        self.assertEqual(visible_enabled(s, OK_BUTTON), (False, True))
        self.assertShown(s, [DOWNLOAD, CLOSE_X, LOGO, FAMILY_LABEL, SCAN_TITLE, PROGRESS_FRAME, STATUS, LIST_FRAME,
                             RESULT_LIST])
        self.assertHidden(s, [ULINK, DLINK, TITLE, NOTICE_LABEL, COPYRIGHT])
        self.assertEqual(s.text(SCAN_TITLE, MAIN), "Searching for W32/Vorlex Trojan and its variants")
        self.assertEqual(s.text(PROGRESS_FRAME, MAIN), "Scanning")

    def assertFinishedLayout(self, s):
        self.assertEqual(visible_enabled(s, SCAN), (True, False))
        self.assertEqual(visible_enabled(s, OK_BUTTON), (True, True))
        self.assertShown(s, [DOWNLOAD, CLOSE_X, LOGO, FAMILY_LABEL, PROGRESS_FRAME, STATUS, LIST_FRAME, RESULT_LIST])
        self.assertHidden(s, [CANCEL, SCAN_TITLE, ULINK, DLINK, TITLE, NOTICE_LABEL, COPYRIGHT])
        self.assertEqual(s.text(PROGRESS_FRAME, MAIN), "")

    def assertEnterIgnored(self, s):
        """Enter, then an added line as a marker: once the marker shows, the key has been handled."""
        before = len(s.lines(RESULT_LIST, MAIN))
        s.auto("key", MAIN, 13)
        s.auto("post", MAIN, UM_ADDLINE, 0, 0)
        s.wait_for(lambda: len(s.lines(RESULT_LIST, MAIN)) == before + 1, what="the marker line")
        self.assertEqual(s.auto("exists", MAIN), "1")

    # -- start-up -----------------------------------------------------------------------------
    def test_second_copy_and_any_window_of_that_title_end_a_start(self):
        with GuiSession("main_single") as s:
            first = start_main(s)
            second = s.start_purgix()
            self.assertEqual(second.wait(timeout=60), 0)
            self.assertIsNone(first.poll())
            s.auto("key", MAIN, 27)  # idle: Escape closes without a question
            self.assertEqual(first.wait(timeout=60), 0)

            # Another program's window with exactly that title blocks the start as well.
            probe = s.prefix.popen([r"T:\bin\dialog_probe.exe", "0", "another program", ""],
                                   display=s.xvfb.display, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            dialog_up(s, MAIN_TITLE)
            blocked = s.start_purgix()
            self.assertEqual(blocked.wait(timeout=60), 0)
            self.assertEqual(s.auto("exists", MAIN), "0")
            s.auto("key", MAIN_TITLE + "@1086", 13)
            out, _ = probe.communicate(timeout=60)
            self.assertIn("result 1", out)

    # -- idle ---------------------------------------------------------------------------------
    def test_idle_layout_skin_hover_and_keys(self):
        with GuiSession("main_idle") as s:
            purgix = start_main(s)
            self.assertEqual(rect(s), (0, 0, 600, 462))
            self.assertEqual(visible_enabled(s, SCAN), (True, True))
            self.assertEqual(visible_enabled(s, DOWNLOAD), (True, True))
            self.assertEqual(visible_enabled(s, OK_BUTTON), (False, False))
            self.assertShown(s, [CLOSE_X, LOGO, ULINK, DLINK, FAMILY_LABEL, TITLE, COPYRIGHT])
            self.assertHidden(s, [STATUS, PROGRESS_FRAME, SCAN_TITLE, RESULT_LIST, LIST_FRAME, CANCEL, NOTICE_LABEL])
            self.assertEqual(s.text(TITLE, MAIN), TITLE_LINE)
            self.assertEqual(s.text(FAMILY_LABEL, MAIN), "for W32/Vorlex Trojan ")
            self.assertTrue(s.text(COPYRIGHT, MAIN).startswith("Copyright"))
            for control, (width, height) in BUTTON_SIZES.items():
                left, top, right, bottom = rect(s, control)
                self.assertEqual((right - left, bottom - top), (width, height), "button %d" % control)
                self.assertLessEqual(right, 1 + 527, "button %d must lie inside the window's shape" % control)
                self.assertLessEqual(bottom, 1 + 338, "button %d must lie inside the window's shape" % control)

            download, ulink, logo, label = rect(s, DOWNLOAD), rect(s, ULINK), rect(s, LOGO), rect(s, FAMILY_LABEL)

            def idle_problems(shot):
                found = []
                # The shape: the window is 600 x 462, but only the background's 527 x 338 is shown.
                if shot.getpixel((590, 450)) != (0, 0, 0) or shot.getpixel((300, 400)) != (0, 0, 0):
                    found.append("window drawn outside its shape")
                if shot.getpixel((300, 200)) == (0, 0, 0):
                    found.append("window missing inside its shape")
                for where, name in ((download, "download_notfocus"), (ulink, "ulink_notfocus"),
                                    (logo, "tarnwelllogo_notfocus")):
                    if not screen_checks.shows(shot, where, screen_checks.bitmap(name)):
                        found.append("not showing " + name)
                # The family line: white text on the title blue, centred in its label.
                white = screen_checks.columns_with_colour(shot, label, WHITE)
                if not screen_checks.count_colour(shot, label, LABEL_BLUE) or not white:
                    found.append("family line not white on blue")
                elif abs((white[0] + white[-1]) / 2 - (label[0] + label[2]) / 2) > 3:
                    found.append("family line not centred")
                return found

            self.assertEqual(screen_checks.settle(lambda: s.screenshot("main_idle"), idle_problems), [])

            # The mouse lights a button and gives it the focus; moving off darkens it again.
            d = rect(s, DOWNLOAD)
            subprocess.run(["xdotool", "mousemove", str((d[0] + d[2]) // 2), str((d[1] + d[3]) // 2)],
                           env=dict(os.environ, DISPLAY=s.xvfb.display), check=True, timeout=30)
            focus = screen_checks.bitmap("download_focus")
            s.wait_for(lambda: screen_checks.shows(screen_checks.load(s.screenshot("main_hover")), d, focus),
                       what="the lit download button")
            subprocess.run(["xdotool", "mousemove", "300", "200"], env=dict(os.environ, DISPLAY=s.xvfb.display),
                           check=True, timeout=30)
            normal = screen_checks.bitmap("download_notfocus")
            s.wait_for(lambda: screen_checks.shows(screen_checks.load(s.screenshot("main_hover_off")), d, normal),
                       what="the dark download button")

            # The window's own surface drags it like a caption bar.
            xdotool = ["xdotool"]
            display = dict(os.environ, DISPLAY=s.xvfb.display)
            subprocess.run(xdotool + ["mousedown", "1"], env=display, check=True, timeout=30)
            step = [0]

            def dragged():
                step[0] += 5
                subprocess.run(xdotool + ["mousemove", str(300 + step[0]), str(200 + step[0])], env=display,
                               check=True, timeout=30)
                return rect(s)[0] > 0

            s.wait_for(dragged, what="the window following the mouse")
            subprocess.run(xdotool + ["mouseup", "1"], env=display, check=True, timeout=30)
            moved = rect(s)
            self.assertEqual((moved[2] - moved[0], moved[3] - moved[1]), (600, 462))
            self.assertGreater(moved[1], 0)

            # Enter never closes; the status message only shows the (still empty) status text.
            s.auto("key", MAIN, 13)
            s.auto("post", MAIN, UM_SHOWSTATUS, 0, 0)
            s.wait_for(lambda: s.text(STATUS, MAIN) == "", what="the status marker")
            self.assertIsNone(purgix.poll())
            s.auto("key", MAIN, 27)
            self.assertEqual(purgix.wait(timeout=60), 0)

    def test_installed_product_hides_the_link_and_shows_the_notice(self):
        with GuiSession("main_installed") as s:
            # A value far longer than the 300 bytes the check ever had room for.
            s.wine("reg", "add", r"HKLM\Software\Tarnwell\Wardex 2000", "/v", "Installed Folder", "/d",
                   "C:\\" + "W" * 400, "/f")
            purgix = start_main(s)
            self.assertEqual(visible_enabled(s, DLINK), (False, False))
            self.assertEqual(visible_enabled(s, DOWNLOAD), (True, False))
            self.assertEqual(visible_enabled(s, NOTICE_LABEL), (True, True))
            self.assertEqual(s.text(NOTICE_LABEL, MAIN), NOTICE)
            where, disabled = rect(s, DOWNLOAD), screen_checks.bitmap("download_disable")
            self.assertEqual(screen_checks.settle(lambda: s.screenshot("main_installed"), lambda shot: [] if
                                                  screen_checks.shows(shot, where, disabled) else ["DOWNLOAD"]), [])
            s.auto("click", MAIN, CLOSE_X)  # idle: X closes at once
            self.assertEqual(purgix.wait(timeout=60), 0)

    def test_links_open_the_makers_pages(self):
        with GuiSession("main_links") as s:
            purgix = start_main(s)
            opened = s.c_path("C:\\opened-urls.txt")

            def urls():
                if not os.path.exists(opened):
                    return []
                with open(opened, encoding="latin-1") as f:
                    return [line.strip().strip('"') for line in f if line.strip()]

            for control, expected in ((DOWNLOAD, [PRODUCT_PAGE]), (DLINK, [PRODUCT_PAGE] * 2),
                                      (ULINK, [PRODUCT_PAGE] * 2 + [TOOLS_PAGE])):
                s.auto("click", MAIN, control)
                s.wait_for(lambda: len(urls()) == len(expected), what="the recorded address")
                self.assertEqual(urls(), expected)
            s.auto("close", MAIN)  # Alt+F4 while idle closes without a question
            self.assertEqual(purgix.wait(timeout=60), 0)

    # -- scanning -----------------------------------------------------------------------------
    def test_questions_during_a_scan_and_termination(self):
        with GuiSession("main_terminate") as s:
            make_clean_tree(s.c_path("C:\\bulk"), 200, 150)
            plant(s, 1, *["C:\\bulk\\f%03d\\%s" % (d, WIDE_FOLDER) for d in range(0, 200, 10)])
            purgix = start_main(s)
            s.auto("click", MAIN, SCAN)
            s.wait_for(lambda: len(s.lines(RESULT_LIST, MAIN)) >= 2, timeout=120, what="the first report lines")
            self.assertScanningLayout(s)
            s.screenshot("main_scanning")
            # Lines wider than 560 pixels: the extent becomes three quarters of the widest.
            self.assertGreater(int(s.auto("extent", MAIN, RESULT_LIST)), 420)

            # X asks under its own title; No lets the scan go on.
            s.auto("click", MAIN, CLOSE_X)
            dialog = "DialogBoxTitle@1086"
            dialog_up(s, "DialogBoxTitle")
            self.assertEqual(s.text(1086, dialog), QUESTION)
            self.assertEqual(visible_enabled(s, 6, dialog)[0], True)
            self.assertEqual(visible_enabled(s, 7, dialog)[0], True)
            self.assertScanningLayout(s)
            s.screenshot("main_close_question")
            s.auto("click", dialog, 7)
            s.auto("wait-gone", dialog, 60000)
            self.assertEqual(visible_enabled(s, CANCEL), (True, True))

            # The system close command asks under the product title; No again.
            s.auto("close", MAIN)
            dialog = MAIN_TITLE + "@1086"
            dialog_up(s, MAIN_TITLE)
            self.assertEqual(s.text(1086, dialog), QUESTION)
            s.auto("key", dialog, 27)  # Escape answers No in a Yes/No question
            s.auto("wait-gone", dialog, 60000)

            # The download page opens while the scan goes on.
            s.auto("click", MAIN, DOWNLOAD)
            opened = s.c_path("C:\\opened-urls.txt")
            s.wait_for(lambda: os.path.exists(opened) and PRODUCT_PAGE in open(opened, encoding="latin-1").read(),
                       what="the product page")
            self.assertNotIn(s.text(STATUS, MAIN), ("Scanning completed", "Scanning terminated"))
            self.assertEqual(visible_enabled(s, CANCEL), (True, True))

            # Cancel asks under the product title; Yes ends the scan.
            s.auto("click", MAIN, CANCEL)
            dialog_up(s, MAIN_TITLE)
            self.assertEqual(s.text(1086, dialog), QUESTION)
            s.auto("click", dialog, 6)
            s.wait_for(lambda: s.text(STATUS, MAIN) == "Scanning terminated", timeout=120, what="Scanning terminated")
            self.assertFinishedLayout(s)
            # Dark and disabled, SCAN shows its disabled picture; OK, never lit yet, its normal one.
            scan_at, ok_at = rect(s, SCAN), rect(s, OK_BUTTON)

            def finished_problems(shot):
                found = [] if screen_checks.shows(shot, scan_at, screen_checks.bitmap("scan_disable")) else ["SCAN"]
                return found + ([] if screen_checks.shows(shot, ok_at, screen_checks.bitmap("ok_notfocus")) else ["OK"])

            self.assertEqual(screen_checks.settle(lambda: s.screenshot("main_terminated"), finished_problems), [])
            self.assertIsNone(purgix.poll())
            s.auto("click", MAIN, OK_BUTTON)
            self.assertEqual(purgix.wait(timeout=60), 0)

    def test_completed_scans_and_the_150_line_rule(self):
        with GuiSession("main_list_rule") as s:
            # 160 findings: the 151st arrives while the list holds 150, which empties it.
            plant(s, 80, "C:\\s1", "C:\\s2")
            purgix = start_main(s)
            s.auto("click", MAIN, SCAN)
            s.wait_for(lambda: s.text(STATUS, MAIN) == "Scanning completed", timeout=300, what="Scanning completed")
            self.assertFinishedLayout(s)
            lines = s.lines(RESULT_LIST, MAIN)
            self.assertEqual(len(sample_lines(lines)), 10)
            self.assertTrue(any(line.startswith("Total files infected") and line.split(":")[-1].strip() == "160" for line in lines),
                            lines)
            self.assertEqual(int(s.auto("selection", MAIN, RESULT_LIST)), len(lines) - 1)
            # Short lines never set a horizontal extent.
            self.assertEqual(int(s.auto("extent", MAIN, RESULT_LIST)), 0)
            s.screenshot("main_finished")
            self.assertEnterIgnored(s)  # and a line after ScanFinished does not empty the list
            s.auto("click", MAIN, OK_BUTTON)
            self.assertEqual(purgix.wait(timeout=60), 0)

            # 148 findings: the statistics arrive after ScanFinished and push the list past 150.
            plant(s, 74, "C:\\s3", "C:\\s4")
            purgix = start_main(s)
            s.auto("click", MAIN, SCAN)
            s.wait_for(lambda: s.text(STATUS, MAIN) == "Scanning completed", timeout=300, what="Scanning completed")
            lines = s.lines(RESULT_LIST, MAIN)
            self.assertEqual(len(sample_lines(lines)), 148)
            self.assertGreater(len(lines), 150)
            self.assertIn("infected_", lines[0])
            s.auto("click", MAIN, OK_BUTTON)
            self.assertEqual(purgix.wait(timeout=60), 0)

    # -- the window and the scan unwinding under it ----------------------------------------------
    def wait_scanning_in(self, s, folder):
        s.wait_for(lambda: unescape(s.text(STATUS, MAIN)).startswith(folder), timeout=120,
                   what="the walk inside " + folder)

    def assertMarkerHandled(self, s):
        """A line posted now, once shown, proves that every message posted before it was handled."""
        before = len(s.lines(RESULT_LIST, MAIN))
        s.auto("post", MAIN, UM_ADDLINE, 0, 0)
        s.wait_for(lambda: len(s.lines(RESULT_LIST, MAIN)) > before, what="the marker line")

    def wait_terminated(self, s):
        s.wait_for(lambda: s.text(STATUS, MAIN) == "Scanning terminated" and s.state(OK_BUTTON, MAIN) == (True, True),
                   timeout=120, what="Scanning terminated")

    def close_with_ok(self, s, purgix):
        s.auto("click", MAIN, OK_BUTTON)
        self.assertEqual(purgix.wait(timeout=60), 0)

    def statistics_scanned(self, lines):
        return int(next(line for line in lines if line.startswith("Total files scanned")).split(":")[-1])

    def test_a_question_asked_before_the_scan_starts_holds_it_and_yes_cancels_it(self):
        with GuiSession("main_question_before_start") as s:
            make_clean_tree(s.c_path("C:\\bulk"), 20, 100)
            purgix = start_main(s)
            # Escape right behind the click: the question opens before the start timer's first tick.
            s.auto("click-key", MAIN, SCAN, 27)
            dialog_up(s, MAIN_TITLE)
            self.assertEqual(s.text(1086, MAIN_TITLE + "@1086"), QUESTION)
            s.auto("click", MAIN_TITLE + "@1086", 6)
            self.wait_terminated(s)
            lines = s.lines(RESULT_LIST, MAIN)
            self.assertEqual(lines[0], "Scanning statistics")
            self.assertEqual(self.statistics_scanned(lines), 0)
            self.close_with_ok(s, purgix)

    def test_escape_answered_no_asks_once_and_ok_waits_for_the_cancelled_scan(self):
        with GuiSession("main_escape_then_ok") as s:
            make_clean_tree(s.c_path("C:\\bulk"), 100, 150)
            purgix = start_main(s)
            s.auto("click", MAIN, SCAN)
            self.wait_scanning_in(s, "C:\\bulk\\")
            s.auto("key", MAIN, 27)
            dialog_up(s, MAIN_TITLE)
            s.auto("key", MAIN_TITLE + "@1086", 27)  # Escape answers No
            s.auto("wait-gone", MAIN_TITLE + "@1086", 60000)
            # The key's release reaches the main window once the question is gone.
            s.auto("post", MAIN, 0x0101, 27, 0xC0000001)
            self.assertMarkerHandled(s)
            self.assertEqual(s.auto("exists", MAIN_TITLE + "@1086"), "0", "the release asked again")
            s.auto("click", MAIN, CANCEL)
            dialog_up(s, MAIN_TITLE)
            # Yes, and OK right behind it, while the scan is still unwinding.
            s.auto("clicks", MAIN_TITLE + "@1086", 6, MAIN, OK_BUTTON)
            self.wait_terminated(s)
            self.assertMarkerHandled(s)  # the window is still there, showing the statistics
            self.assertIsNone(purgix.poll())
            self.close_with_ok(s, purgix)

    def test_questions_are_centred_over_the_main_window_on_its_own_monitor(self):
        with GuiSession("main_second_monitor", monitors=2) as s:
            make_clean_tree(s.c_path("C:\\bulk"), 100, 150)
            purgix = start_main(s)
            # The second monitor lies right of the first; the window goes wholly onto it.
            s.auto("move", MAIN, 1024 + 200, 150)
            s.auto("click", MAIN, SCAN)
            self.wait_scanning_in(s, "C:\\bulk\\")
            s.auto("click", MAIN, CANCEL)
            dialog_up(s, MAIN_TITLE)
            main, question = rect(s), rect(s, title=MAIN_TITLE + "@1086")
            s.screenshot("main_question_second_monitor")
            self.assertGreaterEqual(question[0], 1024, "the question left the main window's monitor")
            self.assertLessEqual(question[2], 2048)
            self.assertLessEqual(abs((question[0] + question[2]) - (main[0] + main[2])), 2, "not centred across")
            self.assertLessEqual(abs((question[1] + question[3]) - (main[1] + main[3])), 2, "not centred down")
            s.auto("click", MAIN_TITLE + "@1086", 6)
            self.wait_terminated(s)
            self.close_with_ok(s, purgix)


if __name__ == "__main__":
    unittest.main()
