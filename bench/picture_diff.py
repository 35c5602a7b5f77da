#!/usr/bin/env python3
"""Compares two folders of frames saved by `frame_bench --pictures`, frame by
frame: how many pixels differ, by how much at most, and the mean difference
per channel. Exits 1 when any frame differs by more than the allowed
largest channel step (0 unless given).

Usage: picture_diff.py FOLDER_A FOLDER_B [largest_step]
"""
import os
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at + 1:at + 1 + width * height * 3]


def main():
    a, b = sys.argv[1], sys.argv[2]
    allowed = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    names = sorted(n for n in os.listdir(a) if n.endswith(".ppm"))
    if not names:
        print("no frames in", a)
        return 1
    worst = 0
    for name in names:
        if not os.path.exists(os.path.join(b, name)):
            print("%s: missing in %s" % (name, b))
            return 1
        wa, ha, pa = read_ppm(os.path.join(a, name))
        wb, hb, pb = read_ppm(os.path.join(b, name))
        if (wa, ha) != (wb, hb):
            print("%s: sizes differ" % name)
            return 1
        differing, largest, total = 0, 0, 0
        for i in range(0, len(pa), 3):
            d = max(abs(pa[i] - pb[i]), abs(pa[i + 1] - pb[i + 1]), abs(pa[i + 2] - pb[i + 2]))
            if d:
                differing += 1
                largest = max(largest, d)
                total += abs(pa[i] - pb[i]) + abs(pa[i + 1] - pb[i + 1]) + abs(pa[i + 2] - pb[i + 2])
        worst = max(worst, largest)
        print("%s: %6d pixels differ, largest step %3d, mean %.5f %%" %
              (name, differing, largest, 100.0 * total / (255.0 * len(pa))))
    print("%d frames, largest step %d" % (len(names), worst))
    return 0 if worst <= allowed else 1


if __name__ == "__main__":
    sys.exit(main())
