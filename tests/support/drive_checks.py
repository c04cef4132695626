"""Checks of a scanned machine from Linux: manifests of the drives and the count a whole scan must reach."""
import hashlib
import os
import stat

# Longest path the ANSI file functions take (the walk of the 9x line), and the longest the NT line's
# wide functions take after the "\\?\" prefix.
MAX_PATH_CHARS = 259
MAX_WIDE_PATH_CHARS = 32767 - 4


def manifest(session, letters="cdef"):
    """Every file below each drive's folder, keyed by its Windows path: SHA-256 of its bytes, its
    permission bits and the DOS attributes Wine keeps beside it. Links are not followed and
    nothing but a regular file is opened (a pipe would never answer)."""
    out = {}
    for letter in letters:
        top = session.prefix.drive_folder(letter)
        for root, dirs, files in os.walk(top):
            for name in files:
                path = os.path.join(root, name)
                key = letter.upper() + ":\\" + os.path.relpath(path, top).replace("/", "\\")
                info = os.lstat(path)
                if not stat.S_ISREG(info.st_mode):
                    out[key] = ("not a regular file", stat.S_IFMT(info.st_mode))
                    continue
                with open(path, "rb") as f:
                    digest = hashlib.file_digest(f, "sha256").hexdigest()
                try:
                    attributes = os.getxattr(path, "user.DOSATTRIB")
                except OSError:
                    attributes = None
                out[key] = (digest, stat.S_IMODE(info.st_mode), attributes)
    return out


def manifest_difference(before, after):
    """Human-readable list of what was removed, added or changed between two manifests."""
    lines = []
    for path in sorted(set(before) | set(after)):
        if path not in after:
            lines.append("removed " + path)
        elif path not in before:
            lines.append("added " + path)
        elif before[path] != after[path]:
            lines.append("changed " + path)
    return lines


def _list(linux_folder):
    """(name, is_directory, is_link) of every entry Wine lists in a folder; a folder that cannot be
    listed has none. Wine leaves out links that lead nowhere."""
    try:
        entries = list(os.scandir(linux_folder))
    except OSError:
        return []
    out = []
    for entry in entries:
        try:
            is_dir = entry.is_dir(follow_symlinks=True)
            if entry.is_symlink():
                os.stat(entry.path)
        except OSError:
            continue
        out.append((entry.name, is_dir, entry.is_symlink()))
    return out


def walk_count(linux_folder, windows_folder, state, max_path=MAX_PATH_CHARS):
    """Files one walk of windows_folder\\*.* offers to the checkers: entries whose path fits, the
    subfolders whose search pattern fits, recursively. A folder link (Wine shows it as a reparse
    point) is not entered; a link to a file looks like a file under Wine and counts as one."""
    count = 0
    entries = _list(linux_folder)
    for name, is_dir, _ in entries:
        if is_dir or len(windows_folder) + 1 + len(name) > max_path:
            continue
        count += 1
    for name, is_dir, is_link in sorted(entries, key=lambda e: e[0].upper()):
        if not is_dir or is_link:
            continue
        child = windows_folder + "\\" + name
        if len(child) + 4 > max_path:
            continue
        if "\\Program Files\\" in child + "\\":
            state["program_files_seen"] = True
        count += walk_count(os.path.join(linux_folder, name), child, state, max_path)
    return count


def expected_files_scanned(prefix, letters, max_path=MAX_PATH_CHARS):
    """The "Total files scanned" a full scan of the fixed drives `letters` (in letter order) must
    report: every file once, a folder link never followed. Includes the extra walk of a Program
    Files folder that no walk entered."""
    state = {"program_files_seen": False}
    total = 0
    for letter in letters:
        folder = os.path.join(prefix.path, "dosdevices", letter.lower() + ":")
        root = letter.upper() + ":"
        total += walk_count(folder, root, state, max_path)
        program_files = os.path.join(folder, "Program Files")
        if os.path.isdir(program_files) and not state["program_files_seen"]:
            total += walk_count(program_files, root + "\\Program Files", state, max_path)
    return total
