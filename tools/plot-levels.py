#!/usr/bin/env python3
"""plot-levels: draws the level bot's results as a PNG: win rate and median time per level.

Reads the output of `levelbot` (lines "level N won W/S median_frames F ...") and writes a picture
with two panels sharing the level axis: the win rate with the 40-95 % band the levels are tuned into,
and the median game length in seconds (25 frames a second). A second output, from another bot setting,
is drawn beside the first in lighter colours. Uses only the standard library: the pixels are drawn
here and packed with zlib.

usage: plot-levels.py BOT_OUTPUT.txt [SECOND_OUTPUT.txt] OUT.png
"""
import struct
import sys
import zlib

FRAMES_PER_SECOND = 25
WIDTH, HEIGHT = 960, 600
LEFT, RIGHT = 70, 20
TOP_PANEL = (40, 290)  # y of the top and bottom edge of the win-rate panel
TIME_PANEL = (340, 550)

WHITE = (255, 255, 255)
INK = (40, 40, 40)
GRID = (225, 225, 225)
BAND = (222, 240, 222)
STAGE_LINE = (190, 190, 190)
WIN = (31, 119, 180)
TIME = (214, 110, 30)
WIN_LIGHT = (150, 190, 225)
TIME_LIGHT = (235, 180, 130)

# A 5x7 pixel font, one string of 7 rows of 5 bits per character.
FONT = {
    '0': "01110 10001 10011 10101 11001 10001 01110", '1': "00100 01100 00100 00100 00100 00100 01110",
    '2': "01110 10001 00001 00010 00100 01000 11111", '3': "11110 00001 00001 01110 00001 00001 11110",
    '4': "00010 00110 01010 10010 11111 00010 00010", '5': "11111 10000 11110 00001 00001 10001 01110",
    '6': "00110 01000 10000 11110 10001 10001 01110", '7': "11111 00001 00010 00100 01000 01000 01000",
    '8': "01110 10001 10001 01110 10001 10001 01110", '9': "01110 10001 10001 01111 00001 00010 01100",
    'A': "01110 10001 10001 11111 10001 10001 10001", 'B': "11110 10001 10001 11110 10001 10001 11110",
    'C': "01110 10001 10000 10000 10000 10001 01110", 'D': "11110 10001 10001 10001 10001 10001 11110",
    'E': "11111 10000 10000 11110 10000 10000 11111", 'G': "01110 10001 10000 10111 10001 10001 01111",
    'I': "01110 00100 00100 00100 00100 00100 01110", 'L': "10000 10000 10000 10000 10000 10000 11111",
    'M': "10001 11011 10101 10101 10001 10001 10001", 'N': "10001 11001 10101 10011 10001 10001 10001",
    'O': "01110 10001 10001 10001 10001 10001 01110", 'P': "11110 10001 10001 11110 10000 10000 10000",
    'R': "11110 10001 10001 11110 10100 10010 10001", 'S': "01111 10000 10000 01110 00001 00001 11110",
    'T': "11111 00100 00100 00100 00100 00100 00100", 'U': "10001 10001 10001 10001 10001 10001 01110",
    'V': "10001 10001 10001 10001 10001 01010 00100", 'W': "10001 10001 10001 10101 10101 10101 01010",
    'F': "11111 10000 10000 11110 10000 10000 10000", 'H': "10001 10001 10001 11111 10001 10001 10001",
    '%': "11001 11010 00010 00100 01000 01011 10011", '-': "00000 00000 00000 11111 00000 00000 00000",
    ':': "00000 01100 01100 00000 01100 01100 00000", '(': "00010 00100 01000 01000 01000 00100 00010", ')': "01000 00100 00010 00010 00010 00100 01000",
    '.': "00000 00000 00000 00000 00000 01100 01100", ',': "00000 00000 00000 00000 01100 00100 01000",
    'Y': "10001 10001 01010 00100 00100 00100 00100", 'K': "10001 10010 10100 11000 10100 10010 10001", ' ': "00000 00000 00000 00000 00000 00000 00000",
}


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = bytearray(WHITE * (width * height))

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = (y * self.width + x) * 3
            self.pixels[i:i + 3] = bytes(colour)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.dot(x, y, colour)

    def line(self, x0, y0, x1, y1, colour, thick=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for s in range(steps + 1):
            x = round(x0 + (x1 - x0) * s / steps)
            y = round(y0 + (y1 - y0) * s / steps)
            self.rect(x - thick // 2, y - thick // 2, x - thick // 2 + thick, y - thick // 2 + thick, colour)

    def text(self, x, y, words, colour=INK, scale=2):
        for ch in words.upper():
            rows = FONT.get(ch, FONT[' ']).split()
            for ry, row in enumerate(rows):
                for rx, bit in enumerate(row):
                    if bit == '1':
                        self.rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale, y + (ry + 1) * scale, colour)
            x += 6 * scale

    def png(self):
        raw = b''.join(b'\0' + bytes(self.pixels[y * self.width * 3:(y + 1) * self.width * 3])
                       for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)

        header = struct.pack('>IIBBBBB', self.width, self.height, 8, 2, 0, 0, 0)
        return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) +
                chunk(b'IEND', b''))


def read_results(path):
    results = {}
    try:
        f = open(path, encoding='utf-8')
    except OSError as e:
        sys.exit(f'{path}: cannot be opened: {e.strerror}')
    with f:
        for number, line in enumerate(f, 1):
            words = line.split()
            if not words or words[0] != 'level':
                continue
            try:
                won, seeds = (int(v) for v in words[3].split('/'))
                results[int(words[1])] = (100.0 * won / seeds, int(words[5]) / FRAMES_PER_SECOND)
            except (IndexError, ValueError):
                sys.exit(f'{path}: line {number}: not a levelbot result line: {line.strip()}')
    regular = {level: v for level, v in results.items() if 1 <= level <= 60}
    if not regular:
        sys.exit(f'{path}: no results for levels 1-60')
    return regular


def plot(results, out_path, second=None):
    c = Canvas(WIDTH, HEIGHT)
    levels = sorted(results)
    first, last = levels[0], levels[-1]
    span = max(1, last - first)

    def x_of(level):
        return round(LEFT + (WIDTH - LEFT - RIGHT) * (level - first) / span)

    def y_in(panel, value, top_value):
        top, bottom = panel
        return round(bottom - (bottom - top) * value / top_value)

    longest = max(t for r in (results, second or {}) for _, t in r.values())
    time_top = max(10, -(-longest // 50) * 50)
    # Band, grid and stage lines first, the curves over them.
    c.rect(LEFT, y_in(TOP_PANEL, 95, 100), WIDTH - RIGHT, y_in(TOP_PANEL, 40, 100), BAND)
    for value in range(0, 101, 20):
        y = y_in(TOP_PANEL, value, 100)
        c.line(LEFT, y, WIDTH - RIGHT, y, GRID)
        c.text(LEFT - 44, y - 6, f'{value:>3}')
    for step in range(0, 6):
        value = time_top * step / 5
        y = y_in(TIME_PANEL, value, time_top)
        c.line(LEFT, y, WIDTH - RIGHT, y, GRID)
        c.text(LEFT - 56, y - 6, f'{int(value):>4}')
    for level in range(first, last + 1):
        if level % 5 == 0 and level < last:
            x = (x_of(level) + x_of(level + 1)) // 2
            for panel in (TOP_PANEL, TIME_PANEL):
                c.line(x, panel[0], x, panel[1], STAGE_LINE)
        if level % 5 == 0 or level == first:
            c.text(x_of(level) - 6, TIME_PANEL[1] + 10, str(level))
    for panel in (TOP_PANEL, TIME_PANEL):
        c.line(LEFT, panel[0], LEFT, panel[1], INK)
        c.line(LEFT, panel[1], WIDTH - RIGHT, panel[1], INK)
    curves = [(TOP_PANEL, 0, WIN, 100, results), (TIME_PANEL, 1, TIME, time_top, results)]
    if second:
        curves[:0] = [(TOP_PANEL, 0, WIN_LIGHT, 100, second), (TIME_PANEL, 1, TIME_LIGHT, time_top, second)]
    for panel, index, colour, top_value, data in curves:
        points = [(x_of(level), y_in(panel, data[level][index], top_value)) for level in levels if level in data]
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            c.line(x0, y0, x1, y1, colour, thick=2)
        for x, y in points:
            c.rect(x - 3, y - 3, x + 4, y + 4, colour)
    c.text(LEFT, 12, 'WIN RATE %  (BAND 40-95, STAGE LINES EVERY 5 LEVELS)', WIN)
    c.text(LEFT, TIME_PANEL[0] - 28, 'MEDIAN TIME S', TIME)
    c.text(WIDTH // 2 - 30, HEIGHT - 22, 'LEVEL')
    if second:
        c.text(WIDTH - RIGHT - 300, TIME_PANEL[0] - 28, 'LIGHT LINES: SECOND FILE', WIN_LIGHT)
    with open(out_path, 'wb') as f:
        f.write(c.png())


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit('usage: plot-levels.py BOT_OUTPUT.txt [SECOND_OUTPUT.txt] OUT.png')
    second = read_results(sys.argv[2]) if len(sys.argv) == 4 else None
    plot(read_results(sys.argv[1]), sys.argv[-1], second)


if __name__ == '__main__':
    main()
