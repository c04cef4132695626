#!/bin/sh
# Regenerates the fuzz seeds of fuzz_pe_probe with the host tree's make_sample (the 16304-byte row).
# Usage: tools/make_pe_probe_seeds.sh build/host/tests/host/make_sample
set -e
tool=$1
seeds=$(dirname "$0")/../tests/fuzz/seeds/pe_probe
"$tool" match 32 "$seeds/match_16304"
"$tool" uniform 32 "$seeds/uniform_16304"
for kind in SizePlusOne SizeMinusOne ProbeByteFlipped BrokenPe TwentyOneSections; do
    "$tool" nearmiss 32 "$kind" "$seeds/nearmiss_$kind"
done
head -c 61 "$seeds/match_16304" > "$seeds/short_61"
printf 'Dear friend, this is just a text file.\r\n' > "$seeds/text"
