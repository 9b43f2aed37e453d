#!/usr/bin/env bash
# Makes a tree of N empty files (default 1,000,000) in about N/100 folders under FOLDER, for the
# scan benchmark: 100 top folders, each with about N/10,000 subfolders of 100 files, with a mix
# of extensions (known types, unknown ones, capitals, none) and name lengths.
#   bench/make_tree.sh FOLDER [N]
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: $0 FOLDER [FILES]" >&2
  exit 2
fi
exec python3 - "$1" "${2:-1000000}" <<'PY'
import os, sys

root, total = sys.argv[1], int(sys.argv[2])
exts = [".jpg", ".txt", ".dat", ".c", ".h", "", ".JPG", ".tar.gz", ".pdf", ".mp3", ".cfg", ".png"]
per_folder = 100
folders = max(1, (total + per_folder - 1) // per_folder)
tops = min(100, folders)
flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_CLOEXEC
made = 0
os.makedirs(root, exist_ok=True)
for f in range(folders):
    folder = os.path.join(root, "top%03d" % (f % tops), "folder%05d" % f)
    os.makedirs(folder, exist_ok=True)
    for i in range(min(per_folder, total - made)):
        name = "file-%d-%s%s" % (i, "x" * (i % 17), exts[(f + i) % len(exts)])
        os.close(os.open(os.path.join(folder, name), flags, 0o644))
    made += min(per_folder, total - made)
print("%d files in %d folders under %s" % (made, folders + tops, root))
PY
