#!/usr/bin/python3
# Prints the rows of the built-in signature table (pasted once into src/core/signature_table.cpp).
#
# Five rows are fixed by the worm samples we hold; the other 65 are filled from a fixed seed so the
# output never changes. Run: /usr/bin/python3 tools/gen_signature_table.py > rows.txt
import random

SEED = 20030917
COUNT = 70
WORM = "W32/Vorlex.Ih.Worm"
DROPPER = "W32/Vorlex.Bj.Dl.Trojan"

MIN_SIZE, MAX_SIZE = 16304, 4227072
MIN_OFFSET1, MAX_OFFSET1 = -87998, -11352
MIN_OFFSET2, MAX_OFFSET2 = -164, 445
# The test sample builder lays both probes out linearly behind the headers, so every file must hold
# the headers plus the stretch from the first probe to the end of the second.
HEADER_ROOM = 2048
# Sizes shared by several variants (each with its own signatures).
SHARED_SIZES = {162060: 4, 87600: 2, 157680: 2, 159140: 2, 168509: 2}

FIXED = {
    0: (WORM, -77446, "3a010f8ef40c0ea3412b27bfad8a8dfe6514fe51", 137,
        "8b1e83eefc11db11c901db73ef75098b1e83eefc", 157951),
    18: (WORM, -11864, "ff8fb0ff35ac5100105933d98d9c1b8f8eb23bff", -164,
         "0e3905b85301107e2eff0db85301108b0d804000", 170505),
    32: (DROPPER, -12559, "acdf6da8e9f71100000fafd18a0db4510110d3ea", 138,
         "08575653ffd089450c8b450c5f5e5b5dc20c00ff", 16304),
    50: (WORM, -77387, "2df0b6b961b1595bc82e7db859df872cc82b960b", 301,
         "900100958a074708c074dc89f979070fb7074750", 4227072),
    69: (WORM, -11352, "10ff25e861011001f85051ff153c400010ff354c", 146,
         "0c8b450c5f5e5b5dc20c00ff2584400010ff25c8", 32777),
}


def fits(size, offset1, offset2):
    return size >= HEADER_ROOM + (-offset1) + max(offset2, 0) + 20


def pick_sizes(rng):
    taken = {row[5] for row in FIXED.values()}
    sizes = [s for s, n in SHARED_SIZES.items() for _ in range(n)]
    taken |= set(SHARED_SIZES)
    bands = [(20000, 400000, 40), (400000, 1500000, 8), (1500000, 4100000, 5)]
    for low, high, count in bands:
        made = 0
        while made < count:
            size = int(round(low * (high / low) ** rng.random()))
            # Distinct sizes stay well apart, so a sample one byte off never meets another row.
            if any(abs(size - t) < 16 for t in taken):
                continue
            taken.add(size)
            sizes.append(size)
            made += 1
    rng.shuffle(sizes)
    return sizes


def make_rows(rng):
    sizes = pick_sizes(rng)
    rows = [None] * COUNT
    free = [i for i in range(COUNT) if i not in FIXED]
    for i, size in zip(free, sizes):
        while True:
            offset1 = rng.randint(MIN_OFFSET1, MAX_OFFSET1)
            offset2 = rng.randint(MIN_OFFSET2, MAX_OFFSET2)
            if fits(size, offset1, offset2):
                break
        rows[i] = [WORM, offset1, rng.randbytes(20).hex(), offset2, rng.randbytes(20).hex(), size]
    for i, row in FIXED.items():
        rows[i] = list(row)
    # Both range ends occur in the table.
    big = next(i for i in free if rows[i][5] >= HEADER_ROOM + 87998 + 445 + 20)
    rows[big][1] = MIN_OFFSET1
    far = next(i for i in free if i != big)
    rows[far][3] = MAX_OFFSET2
    return rows


def shared_groups_are_usable(rows):
    # Variants of one size must keep their probes apart, so a file can carry two of them at once.
    for size in SHARED_SIZES:
        group = [r for r in rows if r[5] == size]
        for a in range(len(group)):
            for b in range(a + 1, len(group)):
                if abs(group[a][1] - group[b][1]) < 32 or abs(group[a][3] - group[b][3]) < 32:
                    return False
    # In the largest group an earlier row reaches further back than a later one (by > 2 KB).
    idx = [i for i, r in enumerate(rows) if r[5] == 162060]
    return any(rows[a][1] < rows[b][1] - 2048 for a in idx for b in idx if a < b)


def check(rows):
    assert len(rows) == COUNT
    assert all(fits(r[5], r[1], r[3]) for r in rows)
    assert min(r[1] for r in rows) == MIN_OFFSET1 and max(r[1] for r in rows) == MAX_OFFSET1
    assert min(r[3] for r in rows) == MIN_OFFSET2 and max(r[3] for r in rows) == MAX_OFFSET2
    assert min(r[5] for r in rows) == MIN_SIZE and max(r[5] for r in rows) == MAX_SIZE
    sigs = [r[2] for r in rows] + [r[4] for r in rows]
    assert len(set(sigs)) == len(sigs)


def c_bytes(hexstr):
    return "{" + ", ".join("0x" + hexstr[i:i + 2] for i in range(0, 40, 2)) + "}"


def main():
    rng = random.Random(SEED)
    while True:
        rows = make_rows(rng)
        if shared_groups_are_usable(rows):
            break
    check(rows)
    for i, (name, offset1, sig1, offset2, sig2, size) in enumerate(rows):
        print(f"    // {i}")
        print(f'    {{"{name}", {offset1},')
        print(f"     {c_bytes(sig1)},")
        print(f"     {offset2},")
        print(f"     {c_bytes(sig2)},")
        print(f"     {size}, 1}},")


if __name__ == "__main__":
    main()
