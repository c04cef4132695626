"""The first window: Purgix starts on a display, shows its window, and a second copy is refused."""
import os
import unittest

from gui_session import GuiSession, MAIN_TITLE


class FirstWindow(unittest.TestCase):
    def test_window_appears_and_second_copy_ends_at_once(self):
        with GuiSession("first_window") as s:
            first = s.start_purgix()
            s.wait_window(MAIN_TITLE)
            shot = s.screenshot("first_window")
            self.assertGreater(os.path.getsize(shot), 1000)
            second = s.start_purgix()
            self.assertEqual(second.wait(timeout=60), 0)
            self.assertIsNone(first.poll())
            s.auto("close", MAIN_TITLE)
            self.assertEqual(first.wait(timeout=60), 0)


if __name__ == "__main__":
    unittest.main()
