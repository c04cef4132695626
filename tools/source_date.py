#!/usr/bin/python3
"""The release's date in seconds since 1970: SOURCE_DATE_EPOCH when set, else the last commit's time.

Usage: source_date.py                 prints it
       source_date.py --update FILE   writes it to FILE, leaving FILE untouched when it holds it already
                                      (so a build that depends on FILE relinks only for a new date)

Everything that would otherwise stamp the build time into the program (the linker, strip) takes
this date instead, so two builds of one commit are the same bytes whenever and wherever they run.
"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def source_date():
    given = os.environ.get("SOURCE_DATE_EPOCH", "").strip()
    if given:
        if not given.isdigit():
            raise ValueError("SOURCE_DATE_EPOCH must be a whole number of seconds, not %r" % given)
        return int(given)
    done = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True)
    if done.returncode != 0 or not done.stdout.strip().isdigit():
        raise ValueError("no commit to date the build from (%s); set SOURCE_DATE_EPOCH" %
                         (done.stderr.strip() or "git gave no date"))
    return int(done.stdout.strip())


def main(argv):
    try:
        date = source_date()
    except ValueError as e:
        print("source_date.py: %s" % e, file=sys.stderr)
        return 1
    if not argv:
        print(date)
        return 0
    if len(argv) != 2 or argv[0] != "--update":
        print(__doc__, file=sys.stderr)
        return 2
    text = "%d\n" % date
    try:
        with open(argv[1]) as f:
            if f.read() == text:
                return 0
    except OSError:
        pass
    with open(argv[1], "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
