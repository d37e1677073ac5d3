#!/usr/bin/env python3
"""Finds the game's board in a screenshot and checks what a person sees at the start: nine
black grid lines each way 50 pixels apart, the four star points, white stones on D4 and E5 and
black ones on E4 and D5, and the rest of the squares empty (texture, no stone).
Usage: find_board.py SCREENSHOT.png   (exit 0 and the board's corner, or 1 and why)
       find_board.py SCREENSHOT.png --diagram   (the corner and the 64 squares, X O or -,
                                                A1..H1 first; no check of the position)"""
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

    def stone(x, y):
        # Black stones are dark and grey, white ones light; the textures lean green or teal.
        r, g, b = px(x, y)
        if max(r, g, b) > 150 and min(r, g, b) > 120:
            return "O"
        if max(r, g, b) < 90 and g - r < 25:
            return "X"
        return "-"

    for y0 in range(0, height - 401):
        for x0 in range(0, width - 401):
            if not dark(x0, y0) or not dark(x0 + 400, y0 + 400):
                continue
            grid = all(dark(x0 + 50 * k, y0 + 7) and dark(x0 + 50 * k, y0 + 393) and
                       dark(x0 + 7, y0 + 50 * k) and dark(x0 + 393, y0 + 50 * k) for k in range(9))
            if not grid or dark(x0 + 25, y0 + 25):
                continue
            centre = lambda c, r: (x0 + 50 * c + 25, y0 + 50 * r + 25)
            if "--diagram" in sys.argv:
                diagram = ""
                for r in range(8):
                    for c in range(8):
                        diagram += stone(*centre(c, r))
                print(x0, y0, diagram)
                return
            problems = []
            for (c, r), colour in {(3, 3): "O", (4, 4): "O", (4, 3): "X", (3, 4): "X"}.items():
                if stone(*centre(c, r)) != colour:
                    problems.append(f"{'ABCDEFGH'[c]}{r + 1} should be {colour}, is {px(*centre(c, r))}")
            for x, y in ((100, 100), (300, 100), (100, 300), (300, 300)):
                if not dark(x0 + x + 2, y0 + y + 2):
                    problems.append(f"no star point at {x},{y}")
            for c, r in ((0, 0), (7, 7), (2, 5), (6, 1)):
                if stone(*centre(c, r)) != "-":
                    problems.append(f"{'ABCDEFGH'[c]}{r + 1} should be empty, is {px(*centre(c, r))}")
            if problems:
                print("board found at", x0, y0, "but:", "; ".join(problems))
                sys.exit(1)
            print("board at", x0, y0)
            return
    print("no board in the screenshot")
    sys.exit(1)


main()
