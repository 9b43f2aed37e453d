#!/usr/bin/env bash
# Makes a tree for the digest benchmark under FOLDER: about SIZE_MIB MiB (default 2048) in about
# FILES files (default 20,000) in 100 folders, sizes spread from a few bytes to about 1 MiB
# (mean about 100 KiB), random content; about a fifth of the files are copies of others, in
# groups of two to five.
#   bench/make_dupes.sh FOLDER [FILES] [SIZE_MIB]
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: $0 FOLDER [FILES] [SIZE_MIB]" >&2
  exit 2
fi
exec python3 - "$1" "${2:-20000}" "${3:-2048}" <<'PY'
import os, random, sys

root, total, size_mib = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(1321)
copies = total // 5
originals = total - copies
mean = size_mib * 1024 * 1024 // total
# Exponential sizes around the mean, capped so one file never dominates.
sizes = [min(int(rng.expovariate(1 / mean)) + 1, 10 * mean) for _ in range(originals)]
scale = (size_mib * 1024 * 1024 - sum(sizes[:copies])) / sum(sizes)
sizes = [max(1, int(s * scale)) for s in sizes]
os.makedirs(root, exist_ok=True)
paths = []
for i, size in enumerate(sizes):
    folder = os.path.join(root, "d%02d" % (i % 100))
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "f%05d.bin" % i)
    with open(path, "wb") as out:
        out.write(os.urandom(size))
    paths.append(path)
made = 0
while made < copies:
    source = paths[rng.randrange(len(paths))]
    for k in range(min(rng.randint(1, 4), copies - made)):
        folder = os.path.join(root, "d%02d" % rng.randrange(100))
        target = os.path.join(folder, "copy%05d-%s" % (made, os.path.basename(source)))
        with open(source, "rb") as src, open(target, "wb") as out:
            out.write(src.read())
        made += 1
total_bytes = sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(root) for f in fs)
print("%d files, %.0f MiB under %s" % (originals + copies, total_bytes / 2**20, root))
PY
