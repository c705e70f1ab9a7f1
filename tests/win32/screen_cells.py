#!/usr/bin/env python3
"""Checks a screenshot of the console window (xwd of its client area)
against the cells the scenario runner painted: every cell's background
colour, ink in every cell holding a character, none in blank rows, black
past the grid. The cell size is measured on the blue banner at the top.

    screen_cells.py SHOT.xwd ATTRS.txt SCREEN.txt
"""
import struct
import sys

PALETTE = [(0, 0, 0), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
           (142, 0, 142), (68, 34, 34), (192, 192, 192), (128, 128, 128),
           (128, 128, 255), (128, 255, 128), (128, 255, 255), (255, 128, 128),
           (255, 128, 255), (255, 255, 0), (255, 255, 255)]


def read_xwd(path):
    data = open(path, 'rb').read()
    h = struct.unpack('>25I', data[:100])
    header_size, width, height = h[0], h[4], h[5]
    byte_order, bits_per_pixel, bytes_per_line, ncolors = h[7], h[11], h[12], h[19]
    if bits_per_pixel != 32:
        sys.exit('screen_cells: %d bits per pixel, 32 expected' % bits_per_pixel)
    pixels = data[header_size + ncolors * 12:]
    fmt = '<I' if byte_order == 0 else '>I'

    def pixel(x, y):
        v = struct.unpack_from(fmt, pixels, y * bytes_per_line + x * 4)[0]
        return ((v >> 16) & 255, (v >> 8) & 255, v & 255)
    return width, height, pixel


def main():
    width, height, pixel = read_xwd(sys.argv[1])
    attrs = [[int(line[i:i + 2], 16) for i in range(0, 160, 2)]
             for line in open(sys.argv[2]).read().splitlines()]
    screen = [line.ljust(80) for line in open(sys.argv[3], encoding='utf-8').read().splitlines()]
    screen += [' ' * 80] * (25 - len(screen))
    bg = lambda r, c: PALETTE[attrs[r][c] >> 4]
    banner_rows = next(r for r in range(25) if bg(r, 0) != bg(0, 0))
    banner_cols = next((c for c in range(80) if bg(0, c) != bg(0, 0)), 80)
    if bg(0, 0) == PALETTE[0]:
        sys.exit('screen_cells: the expected screen has no banner to measure')
    run_down = next(y for y in range(height) if pixel(0, y) != bg(0, 0))
    run_across = next((x for x in range(width) if pixel(x, 0) != bg(0, 0)), width)
    lh, cw = run_down // banner_rows, run_across // banner_cols
    if lh * banner_rows != run_down or cw * banner_cols != run_across or lh < 4 or cw < 2:
        sys.exit('screen_cells: no whole cells in the banner (%dx%d pixels)' % (run_across, run_down))
    if 80 * cw > width or 25 * lh > height:
        sys.exit('screen_cells: the grid (%dx%d) does not fit the window' % (cw, lh))
    errors = []
    for r in range(25):
        for c in range(80):
            x0, y0, want = c * cw, r * lh, bg(r, c)
            if pixel(x0, y0) != want:
                errors.append('cell %d,%d: background %s, expected %s' % (c, r, pixel(x0, y0), want))
                continue
            ink = any(pixel(x, y) != want for y in range(y0, y0 + lh) for x in range(x0, x0 + cw))
            if screen[r][c] != ' ' and not ink:
                errors.append('cell %d,%d: %r not drawn' % (c, r, screen[r][c]))
            if not screen[r].strip() and ink:
                errors.append('cell %d,%d: ink in a blank row' % (c, r))
    for x, y in ((80 * cw, 0), (width - 1, height - 1), (0, 25 * lh)):
        if x < width and y < height and pixel(x, y) != (0, 0, 0):
            errors.append('pixel %d,%d past the grid is not black' % (x, y))
    for e in errors[:20]:
        print(e, file=sys.stderr)
    print('screen_cells: cell %dx%d, %d differences' % (cw, lh, len(errors)))
    return 1 if errors else 0


if __name__ == '__main__':
    sys.exit(main())
