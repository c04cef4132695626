"""The benchmark's deterministic tree of files: planned here, written from Linux straight into a drive folder.

Most files are small and of sizes no signature record is keyed to. A few hundred lie a byte or
three beside a record's size, a few have a record's exact size without being executables, and the
samples (written afterwards by bench_samples.exe from the sample builder) are exact matches, exact
sizes with one probe byte flipped, and matches one byte too long or too short.
"""
import os

ROOT = "tree"                 # top folder of the tree on its drive
FILES_PER_LEAF = 100
NEAR_SIZE_LIMIT = 400 * 1024  # near-size files only beside records up to this size (disk and time)
EXTENSIONS = (".dat", ".txt", ".dll", ".exe", ".ini", ".log", ".bmp", ".hlp")

# Samples written by bench_samples.exe: (kind, record index). Only "match" may be flagged.
SAMPLES = ([("match", i) for i in (0, 7, 18, 32, 41, 50, 58, 69)] +
           [("flip", i) for i in (1, 18, 32, 44, 62, 69)] +
           [("plus", i) for i in (3, 32, 55, 69)] +
           [("minus", i) for i in (5, 18, 47, 66)])
EXACT_SIZE_TEXTS = (2, 9, 16, 23, 30, 37, 44, 51, 60, 68)  # records whose size a non-executable file gets


class Lcg:
    """Numbers that are the same on every machine and every Python."""

    def __init__(self, seed=20240611):
        self.state = seed

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state >> 8


def record_sizes(ldb_text):
    """The file size of each record, in table order, from the logical-signature database."""
    sizes = []
    for line in ldb_text.splitlines():
        for arg in line.split(";")[1].split(","):
            if arg.startswith("FileSize:"):
                sizes.append(int(arg.split(":")[1].split("-")[0]))
    return sizes


def leaf_folder(j):
    return os.path.join(ROOT, "d%02d" % (j // 50), "sub%d" % (j // 5 % 10), "leaf%d" % (j % 5))


class Plan:
    """Every file of the tree as (relative path, size); samples as (kind, index, relative path)."""

    def __init__(self, files, sizes):
        self.files = []
        self.samples = []
        keyed = set(sizes)
        leaves = max(1, files // FILES_PER_LEAF)
        self.leaves = [leaf_folder(j) for j in range(leaves)]
        special = []
        for i, size in enumerate(sizes):
            if size <= NEAR_SIZE_LIMIT:
                for delta in (-3, -1, 1, 2):
                    if size + delta not in keyed:
                        special.append(("near%02d_%d.exe" % (i, delta + 3), size + delta))
        for i in EXACT_SIZE_TEXTS:
            special.append(("keyed%02d.txt" % i, sizes[i]))
        for n, (kind, index) in enumerate(SAMPLES):
            leaf = self.leaves[(n * 397 + 101) % leaves]
            self.samples.append((kind, index, os.path.join(leaf, "setup_%s%02d.exe" % (kind, index))))
        plain = files - len(special) - len(self.samples)
        random = Lcg()
        for k in range(plain):
            name = "file%06d%s" % (k, EXTENSIONS[random.next() % len(EXTENSIONS)])
            # Below the smallest keyed size: a plain file never reaches a record.
            self.files.append((os.path.join(self.leaves[k % leaves], name), random.next() % 4096))
        for k, (name, size) in enumerate(special):
            self.files.append((os.path.join(self.leaves[(k * 131 + 7) % leaves], name), size))

    def matches(self):
        return sorted(path for kind, _, path in self.samples if kind == "match")

    def total(self):
        return len(self.files) + len(self.samples)


def write(drive_folder, plan):
    """Writes the plan's plain files under drive_folder; returns the number written."""
    filler = bytes((i * 37 + (i >> 7)) & 0xFF for i in range(8192)) * 64  # 512 KiB of fixed bytes
    made = set()
    for rel, size in plan.files:
        folder = os.path.join(drive_folder, os.path.dirname(rel))
        if folder not in made:
            os.makedirs(folder, exist_ok=True)
            made.add(folder)
        fd = os.open(os.path.join(drive_folder, rel), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        try:
            if size <= len(filler):
                os.write(fd, filler[:size])
            else:
                # Larger files: the filler once, then zeros up to the size.
                os.write(fd, filler)
                os.ftruncate(fd, size)
        finally:
            os.close(fd)
    for _, _, rel in plan.samples:
        os.makedirs(os.path.join(drive_folder, os.path.dirname(rel)), exist_ok=True)
    return len(plan.files)


def windows_path(letter, rel):
    return "%s:\\%s" % (letter.upper(), rel.replace("/", "\\"))
