#!/usr/bin/env python3
"""Finds the list of a study window in a screenshot: the largest block of white (the list
view's background) at least 120 pixels wide and 150 high, and in its left 60 pixels the bands
of dark text, one per line: the column header first, then one per row.
Usage: list_rows.py SCREENSHOT.png   (exit 0 and "X Y1 Y2 ...": a point's x inside the first
column and the middle of each band from the top; exit 1 and why when there is no list)"""
import subprocess
import sys


def main():
    path = sys.argv[1]
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True,
                          check=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout

    def white(x, y):
        i = 3 * (y * width + x)
        return raw[i] == raw[i + 1] == raw[i + 2] == 255

    def dark(x, y):
        i = 3 * (y * width + x)
        return max(raw[i], raw[i + 1], raw[i + 2]) < 100

    best = None
    for x in range(0, width, 4):
        y = 0
        while y < height:
            if not white(x, y):
                y += 1
                continue
            top = y
            while y < height and white(x, y):
                y += 1
            if y - top >= 150:
                middle = (top + y) // 2
                left = x
                while left > 0 and white(left - 1, middle):
                    left -= 1
                right = x
                while right + 1 < width and white(right + 1, middle):
                    right += 1
                if right - left >= 120 and (best is None or (right - left) * (y - top) > best[4]):
                    best = (left, top, right, y, (right - left) * (y - top))
        if best and x > best[2]:
            break
    if best is None:
        print("no list in the screenshot")
        sys.exit(1)
    left, top, right, bottom, _ = best
    bands, start = [], None
    # Wine draws the column header on the list's white as well: its text is the first band.
    for y in range(top, bottom):
        has_text = any(dark(x, y) for x in range(left + 2, min(right, left + 60)))
        if has_text and start is None:
            start = y
        elif not has_text and start is not None:
            bands.append((start + y - 1) // 2)
            start = None
    print(left + 20, *bands)


main()
