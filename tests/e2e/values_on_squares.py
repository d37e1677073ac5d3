#!/usr/bin/env python3
"""Compares two screenshots of the board, before and after the move values were turned on: the
squares named must each have changed (a box with text drawn on them, light text pixels among
the changes), and every other square must look as it did.
Usage: values_on_squares.py BEFORE.png AFTER.png X0 Y0 SQUARE...   (squares like D3; exit 0 or
1 and why)"""
import subprocess
import sys


def load(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True,
                          check=True).stdout.split()
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                         check=True).stdout
    return int(size[0]), raw


def main():
    width, before = load(sys.argv[1])
    _, after = load(sys.argv[2])
    x0, y0 = int(sys.argv[3]), int(sys.argv[4])
    wanted = {name.upper() for name in sys.argv[5:]}
    problems = []
    for row in range(8):
        for column in range(8):
            name = "ABCDEFGH"[column] + str(row + 1)
            changed = light = 0
            # The square's inside, clear of the grid lines.
            for y in range(y0 + 50 * row + 3, y0 + 50 * row + 48):
                for x in range(x0 + 50 * column + 3, x0 + 50 * column + 48):
                    i = 3 * (y * width + x)
                    a, b = before[i:i + 3], after[i:i + 3]
                    if max(abs(a[k] - b[k]) for k in range(3)) > 40:
                        changed += 1
                        light += b[0] + b[1] + b[2] > 450  # white, or the best move's gold
            if name in wanted and (changed < 80 or light < 8):
                problems.append(f"{name}: no value drawn ({changed} pixels changed, {light} light)")
            if name not in wanted and changed > 4:
                problems.append(f"{name}: changed ({changed} pixels) but it is no legal move")
    if problems:
        print("\n".join(problems))
        return 1
    print("values drawn on " + " ".join(sorted(wanted)) + ", every other square as it was")
    return 0


if __name__ == "__main__":
    sys.exit(main())
