#!/usr/bin/env python3
"""Writes the golden game files of the tests straight from the file layout, independently of
the game's own writer: a 133-byte header (the notice in code page 932, zeros, version 100 at
the odd offset 129), then the record: two 1025-byte names, 48 reserved bytes, 65 entries of
536 bytes (side, square, value, time, nodes as little-endian int32, a 516-byte comment).

The sides are written out by hand (X black, O white) from the rules, passes included; the C++
test checks that the game's reader accepts each file and that its writer makes the same bytes.
Usage: make_golden_games.py OUTPUT_DIR"""
import struct
import sys

NOTICE = "編集した場合の動作は保証できません 編集しないでください".encode("cp932")
assert len(NOTICE) == 55

GAMES = {
    # No move at all: names only.
    "empty.tvk": ("黒の人", "白の人", "", ""),
    # A whole game of 60 moves; black has no move before 59 and 60, so white plays three in a row.
    "full_with_pass.tvk": (
        "Black", "Tavik",
        "d3 c3 b3 e3 f3 c5 f6 g2 b5 c6 f4 a5 h1 f5 d6 e7 d7 e6 d8 c4 c7 b7 a8 b6 a4 f8 g4 b4 e8 a3 "
        "a7 g5 g8 c2 h4 g3 a2 h3 c1 d1 d2 e1 f1 f7 a6 h6 e2 b8 g7 c8 h5 g6 h2 h7 h8 g1 b2 f2 a1 b1",
        "XOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOOO"),
    # 59 moves and over: H1 stays empty, nobody can take it; black passes before the last move.
    "ends_with_empty_square.tvk": (
        "Tavik", "White",
        "f5 f4 c3 g6 f3 c5 d6 f2 b5 c4 g3 a6 f6 c2 e3 g4 b3 g7 d3 h4 b1 c7 e7 d2 b8 e6 a5 e2 f7 d7 "
        "b4 b2 f8 d8 e1 b7 h2 b6 h5 a4 h7 d1 a3 h6 e8 f1 a7 g8 h8 g2 g5 c6 a2 a8 h3 a1 c8 g1 c1",
        "XOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOXOO"),
}


def name_field(text):
    raw = text.encode("cp932")
    assert len(raw) <= 1024
    return raw + bytes(1025 - len(raw))


def game_file(black, white, transcript, sides):
    moves = transcript.split()
    assert len(moves) == len(sides) <= 60
    out = NOTICE + bytes(129 - len(NOTICE)) + struct.pack("<i", 100)
    out += name_field(black) + name_field(white) + bytes(48)
    for i in range(65):
        if i < len(moves):
            m = moves[i]
            square = 10 + 9 * (int(m[1]) - 1) + "abcdefgh".index(m[0])
            side = 1 if sides[i] == "X" else -1
            # Figures as a computer move would leave them: value, think time (ms), nodes.
            out += struct.pack("<5i", side, square, 0 if side == 1 else i - 30, 10 * i, 1000 * i)
            out += bytes(516)
        else:
            out += bytes(536)
    assert len(out) == 37071
    return out


if __name__ == "__main__":
    for file_name, game in GAMES.items():
        with open(f"{sys.argv[1]}/{file_name}", "wb") as f:
            f.write(game_file(*game))
