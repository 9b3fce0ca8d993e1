#!/usr/bin/env python3
"""Starts the real program under Wine on this X display, waits for its window,
takes a screenshot of the screen and checks painted pixels of the start screen:
the maximised window with its title strip, menu titles, caption buttons, the
welcome line centred on the canvas and the status strip.

Usage: screenshot_test.py WINE TILVO_EXE RESULTS_DIR
Writes RESULTS_DIR/app_screenshot.xml (GoogleTest-style report). Stops only
the Wine process it started.
"""
import os
import subprocess
import sys
import time
import xml.etree.ElementTree as ET

STRIP = (240, 240, 240)
CLOSE_RED = (232, 17, 35)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY_TITLE = (128, 128, 128)
STATUS_LINE = (160, 160, 160)


def read_ppm(data):
    """Parses a binary PPM (P6) into (width, height, rows of RGB tuples)."""
    parts = []
    pos = 0
    while len(parts) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        parts.append(data[pos:end])
        pos = end
    pos += 1
    if parts[0] != b'P6' or int(parts[3]) != 255:
        raise ValueError('not an 8-bit P6 image')
    width, height = int(parts[1]), int(parts[2])
    pixels = data[pos:pos + width * height * 3]
    return width, height, pixels


class Shot:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def count(self, left, top, right, bottom, colour):
        return sum(1 for y in range(top, bottom) for x in range(left, right) if self.at(x, y) == colour)

    def ink_glyphs(self, left, top, right, bottom):
        """The dark pixels of a band split into glyphs at blank columns: per
        glyph its first column and its column profile (dark rows per column)."""
        glyphs, current = [], None
        for x in range(left, right):
            dark = sum(1 for y in range(top, bottom) if sum(self.at(x, y)) < 3 * 128)
            if dark:
                if current is None:
                    current = (x, [])
                    glyphs.append(current)
                current[1].append(dark)
            else:
                current = None
        return glyphs

    def any_other(self, left, top, right, bottom, colour):
        return any(self.at(x, y) != colour for y in range(top, bottom) for x in range(left, right))


def wait_for_window(timeout):
    end = time.time() + timeout
    while time.time() < end:
        found = subprocess.run(['xdotool', 'search', '--onlyvisible', '--name', '^Tilvo$'],
                               capture_output=True, text=True)
        ids = found.stdout.split()
        if ids:
            return ids[0]
        time.sleep(0.2)
    return None


def main():
    wine, exe, results = sys.argv[1], sys.argv[2], sys.argv[3]
    cases = []  # (name, failure text or None)

    def check(name, ok, detail=''):
        cases.append((name, None if ok else detail or 'check failed'))

    proc = subprocess.Popen([wine, exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = wait_for_window(30)
        check('WindowAppears', window is not None, 'no visible window named "Tilvo" within 30 s')
        if window:
            time.sleep(1.5)  # let the first paints settle
            name = subprocess.run(['xdotool', 'getwindowname', window], capture_output=True, text=True).stdout.strip()
            check('WindowTextIsTilvo', name == 'Tilvo', 'window text %r' % name)
            ppm = subprocess.run(['import', '-window', 'root', '-depth', '8', 'ppm:-'], capture_output=True).stdout
            shot = Shot(*read_ppm(ppm))
            W, H = shot.width, shot.height
            geometry = subprocess.run(['xdotool', 'getwindowgeometry', window], capture_output=True,
                                      text=True).stdout
            check('WindowIsMaximised', 'Position: 0,0' in geometry and 'Geometry: %dx%d' % (W, H) in geometry,
                  geometry.strip())

            # Title strip: fill, icon, menu titles, caption buttons.
            check('TitleStripFill', shot.at(W - 300, 3) == STRIP, str(shot.at(W - 300, 3)))
            check('ApplicationIcon', shot.any_other(8, 8, 24, 24, STRIP) and shot.at(4, 4) == STRIP)
            check('FileTitleBlack', shot.count(32, 6, 70, 26, BLACK) > 5)
            check('DisabledTitlesGrey', shot.count(70, 6, 180, 26, GREY_TITLE) > 10)
            check('CloseButtonRed', shot.at(W - 3, 3) == CLOSE_RED and shot.at(W - 44, 30) == CLOSE_RED,
                  str(shot.at(W - 3, 3)))
            check('CloseGlyphWhite', shot.count(W - 31, 8, W - 15, 24, WHITE) > 10)
            check('MinimiseGlyph', shot.at(W - 135 + 22, 16) == BLACK, str(shot.at(W - 135 + 22, 16)))
            check('MinimiseButtonFill', shot.at(W - 133, 3) == STRIP)

            # Canvas with the welcome line centred on it.
            cx, cy = W // 2, (32 + H - 22) // 2
            check('CanvasWhite', shot.at(cx, 100) == WHITE and shot.at(20, H - 40) == WHITE)
            left = shot.count(cx - 200, cy - 45, cx, cy + 5, BLACK)
            right = shot.count(cx, cy - 45, cx + 200, cy + 5, BLACK)
            check('WelcomeCentred', left > 50 and right > 50 and abs(left - right) < max(left, right) // 2,
                  'left %d right %d' % (left, right))
            check('NothingBelowWelcome', shot.count(cx - 200, cy + 15, cx + 200, cy + 80, BLACK) == 0)

            # Status strip: top line, fill, status text on the left, version on the right.
            check('StatusLine', shot.at(cx, H - 22) == STATUS_LINE, str(shot.at(cx, H - 22)))
            check('StatusFill', shot.at(W - 117, H - 3) == STRIP, str(shot.at(W - 117, H - 3)))
            check('StatusText', shot.count(8, H - 21, 320, H, BLACK) > 50)
            check('VersionText', shot.count(W - 60, H - 21, W - 8, H, BLACK) > 10
                  and shot.count(W - 8, H - 21, W, H, BLACK) == 0)
            # "v1.0.0" whole: its last glyph is drawn like the other "0", not cut
            # off at the right edge of its box.
            glyphs = shot.ink_glyphs(W - 60, H - 21, W, H)
            check('VersionLastGlyphWhole', len(glyphs) >= 3 and glyphs[-1][1] == glyphs[-3][1],
                  'glyphs (first column, dark rows per column): %r' % [(x - W, p) for x, p in glyphs])
    finally:
        proc.terminate()
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()

    os.makedirs(results, exist_ok=True)
    suite = ET.Element('testsuites')
    group = ET.SubElement(suite, 'testsuite', name='AppScreenshot', tests=str(len(cases)))
    for name, failure in cases:
        case = ET.SubElement(group, 'testcase', name=name, classname='AppScreenshot', result='completed')
        if failure:
            ET.SubElement(case, 'failure', message=failure)
    ET.ElementTree(suite).write(os.path.join(results, 'app_screenshot.xml'))

    failed = [(n, f) for n, f in cases if f]
    for name, failure in failed:
        print('FAILED: %s: %s' % (name, failure))
    print('%d checks, %d failed' % (len(cases), len(failed)))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
