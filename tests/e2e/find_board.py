#!/usr/bin/env python3
"""Finds the game's board in a screenshot and checks what a person sees at the start: nine
black grid lines each way 50 pixels apart, the four star points, white stones on D4 and E5 and
black ones on E4 and D5, and the rest of the squares empty (texture, no stone).
Usage: find_board.py SCREENSHOT.png   (exit 0 and the board's corner, or 1 and why)"""
import subprocess
import sys


def load(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True,
                          check=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                         check=True).stdout
    return width, height, raw


def main():
    width, height, raw = load(sys.argv[1])

    def px(x, y):
        i = 3 * (y * width + x)
        return raw[i], raw[i + 1], raw[i + 2]

    def dark(x, y):
        return max(px(x, y)) < 40

    def brightness(x, y):
        return sum(px(x, y)) / 3

    for y0 in range(0, height - 401):
        for x0 in range(0, width - 401):
            if not dark(x0, y0) or not dark(x0 + 400, y0 + 400):
                continue
            grid = all(dark(x0 + 50 * k, y0 + 7) and dark(x0 + 50 * k, y0 + 393) and
                       dark(x0 + 7, y0 + 50 * k) and dark(x0 + 393, y0 + 50 * k) for k in range(9))
            if not grid or dark(x0 + 25, y0 + 25):
                continue
            centre = lambda c, r: (x0 + 50 * c + 25, y0 + 50 * r + 25)
            problems = []
            for (c, r), colour in {(3, 3): "white", (4, 4): "white", (4, 3): "black", (3, 4): "black"}.items():
                b = brightness(*centre(c, r))
                if (colour == "white") != (b > 150):
                    problems.append(f"{'ABCDEFGH'[c]}{r + 1} should be {colour} (brightness {b:.0f})")
            for x, y in ((100, 100), (300, 100), (100, 300), (300, 300)):
                if not dark(x0 + x + 2, y0 + y + 2):
                    problems.append(f"no star point at {x},{y}")
            for c, r in ((0, 0), (7, 7), (2, 5), (6, 1)):
                b = brightness(*centre(c, r))
                if b < 15 or b > 150:
                    problems.append(f"{'ABCDEFGH'[c]}{r + 1} should be empty (brightness {b:.0f})")
            if problems:
                print("board found at", x0, y0, "but:", "; ".join(problems))
                sys.exit(1)
            print("board at", x0, y0)
            return
    print("no board in the screenshot")
    sys.exit(1)


main()
