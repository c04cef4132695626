#!/usr/bin/python3
"""Runs one GUI test case (ctest calls it once per case) or lists the cases of a test file."""
import importlib.util
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import gui_session  # noqa: E402
import winebox  # noqa: E402

SKIPPED = 77  # ctest's SKIP_RETURN_CODE for these cases


def load(path):
    found = importlib.util.spec_from_file_location(os.path.basename(path)[:-3], path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def cases(module):
    for name in sorted(dir(module)):
        cls = getattr(module, name)
        if isinstance(cls, type) and issubclass(cls, unittest.TestCase) and cls.__module__ == module.__name__:
            for method in unittest.TestLoader().getTestCaseNames(cls):
                yield "%s.%s" % (name, method)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--list":
        for case in cases(load(sys.argv[2])):
            print(case)
        return 0
    if len(sys.argv) != 3:
        sys.exit("usage: run_gui_test.py FILE Class.test | --list FILE")
    # The x86 tree's cases need a kernel that runs 32-bit programs; elsewhere they say so and skip.
    if winebox.tree_arch(gui_session.win_build_dir()) == "x86":
        reason = winebox.x86_unavailable()
        if reason:
            print("skipped: %s" % reason)
            return SKIPPED
    module = load(sys.argv[1])
    suite = unittest.TestLoader().loadTestsFromName(sys.argv[2], module)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    if result.wasSuccessful() and result.testsRun > 0 and len(result.skipped) == result.testsRun:
        for _, reason in result.skipped:
            print("skipped: %s" % reason)
        return SKIPPED
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
