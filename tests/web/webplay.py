#!/usr/bin/python3
"""The web build, served from ZIP on 127.0.0.1, played in a headless Chromium over DevTools and
judged against the desktop program's pictures. Usage: webplay.py ZIP DESKTOP_GAME_DIR [unittest args]"""
import os, shutil, subprocess, sys, tempfile, time, unittest

import numpy

import chromium
from chromium import STEP, wait_for

ZIP, DESKTOP = sys.argv[1], sys.argv[2]
CW, CH = 1024 / 120, 768 / 36
MISSED = 'Duck::out(): duck missed'
SHUT_DOWN = 'GameManager::shutDown(): All managers are shutting down.'
SHOTS = os.environ.get('LK_WEB_SHOTS', tempfile.gettempdir())  # where screenshots are kept
COLORS = ['black', 'blue', 'green', 'cyan', 'red', 'magenta', 'yellow', 'white']


def soften(a):  # a 3 x 3 box blur
    a = a.astype(float)  # a copy, whose inside takes the means of the original's
    a[1:-1, 1:-1] = sum(a[1 + dy:a.shape[0] - 1 + dy, 1 + dx:a.shape[1] - 1 + dx] for dy in (-1, 0, 1) for dx in (-1, 0, 1)) / 9
    return a


def correlation(a, b):
    a, b = a - a.mean(), b - b.mean()
    norm = numpy.sqrt((a * a).sum() * (b * b).sum())
    return (a * b).sum() / norm if norm else 0


class Picture:
    """A 1024 x 768 screenshot, read cell by cell."""

    def __init__(self, png):
        rgb = subprocess.run(['convert', 'png:-', '-crop', '1024x768+0+0', '-depth', '8', 'rgb:-'],
                             input=png, capture_output=True, check=True).stdout
        self.png, self.rgb = png, numpy.frombuffer(rgb, numpy.uint8).reshape(768, 1024, 3).astype(int)
        self.bright = self.rgb.max(axis=2)

    @staticmethod
    def area(col, row):  # the pixels whose centres fall in the cell's background rectangle
        edge = lambda at: max(0, int(numpy.ceil(at - 0.5)))
        return slice(edge(CH * (row - 0.2)), edge(CH * (row + 0.8))), slice(edge(CW * (col - 0.1)), edge(CW * (col + 0.9)))

    def color(self, col, row):  # the engine colour nearest the mean of the cell's lit pixels
        pixels = self.rgb[self.area(col, row)][self.bright[self.area(col, row)] >= 160]
        if len(pixels) == 0:
            return 'black'
        sums = pixels.sum(axis=0)  # red, green, blue: 4, 2, 1 in COLORS
        return COLORS[sum(w for w, s in zip((4, 2, 1), sums) if 2 * s > sums.max())]

    def likeness(self, col, row, other, other_col, other_row):
        """The softened cells' correlation at the best shift, a pixel across or two up or down: the
        canvas rasterises glyphs otherwise than SFML, at a size up to a pixel larger."""
        a, b = soften(self.bright[self.area(col, row)]), soften(other.bright[other.area(other_col, other_row)])
        h, w = min(a.shape[0], b.shape[0]) - 4, min(a.shape[1], b.shape[1]) - 4
        return max(correlation(a[2:2 + h, 2:2 + w], b[2 + dy:2 + dy + h, 2 + dx:2 + dx + w])
                   for dy in range(-2, 3) for dx in (-1, 0, 1))

    def same(self, col, row, other):  # both blank, or ink of one colour and much the same shape
        color = self.color(col, row)
        return color == other.color(col, row) and (color == 'black' or self.likeness(col, row, other, col, row) >= 0.85)

    def count(self, color, rows):  # cells of the colour in columns 10 to 109
        return sum(self.color(c, r) == color for c in range(10, 110) for r in rows)

    def title(self):  # the yellow title fills the screen
        return self.count('yellow', range(4, 13)) > 150

    def end_screen(self):  # the red end screen: a band in the middle
        return self.count('red', range(14, 23)) > 150


class Hud:
    """The desktop program's boxed HUD at the start of a game."""
    BOXES = (('Ducks Missed:', 20), ('ROUND', 60), ('Points:', 100))

    def __init__(self, picture):
        self.picture = picture

    @staticmethod
    def box(label, value, centre):  # (first column, the three rows of text)
        text = ' %s %d ' % (label, value)
        rule = '-' * (len(text) + 2)
        return centre - len(text) // 2 - 1, (rule, '|' + text + '|', rule)

    def at_start(self, picture):  # cell by cell as the desktop's
        boxes = [self.box(label, int(label == 'ROUND'), centre) for label, centre in self.BOXES]
        return all(picture.same(first + i, row, self.picture) for first, rows in boxes for row in range(3) for i in range(len(rows[row])))

    def points(self, picture, value):
        """The points box holds `value`: yellow ink just where the text has characters, each digit
        more like the desktop's own than like the other it drew (0 and 1)."""
        first, rows = self.box('Points:', value, 100)
        if not all(picture.color(first + i, row) == ('black' if c == ' ' else 'yellow') for row, line in enumerate(rows) for i, c in enumerate(line)):
            return False
        digits = {'0': (104, 1), '1': (63, 1)}  # where the desktop drew them
        like = lambda i, d: picture.likeness(first + i, 1, self.picture, *digits[d])
        return all(max(digits, key=lambda d: like(i, d)) == c for i, c in enumerate(rows[1]) if c in digits)


def desktop_references():
    """The desktop program's title (both frames) and its HUD at the start of a game."""
    parts = lambda folder, names: [n for n in names if folder == DESKTOP and n not in ('bin', 'sprites', 'sounds', 'lk-font.ttf')]
    game = shutil.copytree(DESKTOP, tempfile.mkdtemp(prefix='lk-desktop-') + '/game', ignore=parts)
    read, write = os.pipe()
    xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                            pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    env = dict(os.environ, DISPLAY=':' + os.read(read, 16).decode().strip(), ALSOFT_DRIVERS='null')
    program = subprocess.Popen(['./fowlshot'], cwd=os.path.join(game, 'bin'), env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    xdotool = lambda *a: subprocess.run(['xdotool'] + list(a), env=env, capture_output=True, text=True, timeout=180).stdout
    try:
        window = xdotool('search', '--sync', '--name', '^Fowlshot Lark$').split()[0]
        shot = lambda: Picture(subprocess.run(['import', '-window', window, 'png:-'], env=env, capture_output=True).stdout)
        titles = []
        while len(titles) < 2:  # the two frames of the title sprite
            picture = shot()
            if picture.title() and all((t.bright != picture.bright).any() for t in titles):
                titles.append(picture)
        xdotool('windowfocus', '--sync', window, 'key', '1')
        play = wait_for(lambda: (lambda p: p if p.color(60, 1) == 'white' and p.color(100, 1) == 'yellow' else None)(shot()), 60)
        return titles, Hud(play)
    finally:
        program.kill(), xvfb.kill(), program.wait(), xvfb.wait()
        shutil.rmtree(os.path.dirname(game), ignore_errors=True)


class Browser(chromium.Browser):
    """The shared driver, with what the tests look at: cells on screenshots, steps and log lines."""

    def count(self, line):
        return self.lines().count(line)

    def wait_step(self, step):
        return wait_for(lambda: self.last_step() >= step, 60)

    def wait_count(self, line, n):
        return wait_for(lambda: self.count(line) >= n, 90, 0.05)

    def click(self, col, row):
        x, y = int(col * CW), int(row * CH)
        self.call('Input.dispatchMouseEvent', type='mouseMoved', x=x, y=y)
        for kind in ('mousePressed', 'mouseReleased'):
            self.call('Input.dispatchMouseEvent', type=kind, x=x, y=y, button='left', clickCount=1)

    def picture(self):
        return Picture(self.screenshot())

    def see(self, name, condition, seconds=60):  # screenshots until one does; the last kept
        last = []
        seen = wait_for(lambda: (last.append(self.picture()), condition(last[-1]))[1], seconds, 0.05)
        with open(os.path.join(SHOTS, name + ('.png' if seen else '-timeout.png')), 'wb') as f:
            f.write(last[-1].png)
        return seen

    def played(self, sound):  # how often the page started the sound
        return self.evaluate("window.lark.audio.played['../sounds/%s'] || 0" % sound)

    def status(self):
        return self.evaluate("document.getElementById('status').textContent")


class Ducks:
    """Where the ducks fly: the game never seeds rand(), so this replays musl's and the flight rules."""
    seed = 0

    def rand(self):
        self.seed = (6364136223846793005 * self.seed + 1) % 2 ** 64
        return self.seed >> 33

    def next(self, level):
        f = lambda v: float(numpy.float32(v))  # the game computes in single precision
        rightwards, y = self.rand() % 2 == 1, f(self.rand() % 5 + 5)
        x = f(self.rand() % 60) if rightwards else f(float(self.rand() % 60) + 180.0)
        dx, dy = f(120 - x), f(f(self.rand() % 5 + 5) - y)
        length, speed = f((dx * dx + dy * dy) ** 0.5), f(f(level * f(0.05)) + 2)
        vx, vy = f(speed * f(dx / length)), f(speed * f(dy / length))
        path, inside = [], lambda: x - 7 <= 240 and x + 7 >= 0 and y - 2.5 <= 36 and y + 2.5 >= 0
        for k in range(2001):
            was_in = inside()
            if k > 0:
                vy = f(vy + f(0.005))
                x, y = f(x + vx), f(y + vy)
            path.append((x - 60, y))
            if was_in and not inside():
                return path, k
        return path, -1


TITLES, HUD = None, None
KEY_1, KEY_Q = ('Digit1', '1', 49), ('KeyQ', 'q', 81)


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        global TITLES, HUD
        if TITLES is None:
            TITLES, HUD = desktop_references()

    def start(self, before_load=None):
        self.server, self.browser = chromium.Server(ZIP), Browser(before_load)
        self.addCleanup(self.server.close), self.addCleanup(self.browser.close)
        self.browser.open(self.server.url)

    def in_play(self, picture):  # the ROUND box, which needs no asset
        return all(picture.same(c, r, HUD.picture) for c in range(55, 66) for r in range(3))

    def quit(self):  # Q on the title ends the program, its shut-down line last; the page says so
        self.browser.key(*KEY_Q)
        self.assertTrue(wait_for(lambda: self.browser.evaluate('window.lark.state') == 'ended', 60))
        self.assertEqual(self.browser.evaluate('window.lark.exitStatus'), 0)
        self.assertEqual([l for l in self.browser.lines() if l][-1], SHUT_DOWN)
        self.assertEqual(self.browser.status(), 'The game has ended. Reload the page to play again.')


class Play(Page):
    def test_a_shot_hits_a_duck_and_three_misses_end_the_game(self):
        """The desktop's title, cell by cell; sound after the first key; its HUD; two escapes, a
        predicted hit, the third escape ends the game; a fresh game, ended by Q; Q ends the program."""
        b = self.browser
        self.assertTrue(b.see('title', Picture.title))
        self.assertEqual(b.status(), 'Click or press a key to start the sound.')
        self.assertEqual(b.evaluate('window.lark.audio.state'), 'suspended')
        title = b.picture()
        wrong = min(sum(not title.same(c, r, t) for c in range(120) for r in range(36)) for t in TITLES)
        self.assertEqual(wrong, 0, 'cells unlike the desktop title')
        first = b.last_step() + 1
        self.assertTrue(b.wait_step(first + 90))
        # The median step interval, from the browser's times: a frame to two (late steps are not made up).
        times = {int(m.group(1)): t for t, m in ((t, STEP.match(l)) for t, l in b.lines(True)) if m}
        intervals = sorted(times[n + 1] - times[n] for n in range(first, first + 90))
        print('\nsteps a second: %.2f (median interval %.1f ms)' % (90 / (times[first + 90] - times[first]), intervals[45] * 1000))
        self.assertTrue(0.032 <= intervals[45] <= 0.067, intervals)

        ducks = Ducks()
        escaping, target, other = [ducks.next(1), ducks.next(1)], ducks.next(1), ducks.next(1)
        key_step = b.last_step()
        b.key(*KEY_1)
        key_sent = b.last_step()
        self.assertTrue(b.see('play', HUD.at_start))
        self.assertEqual(b.status(), '')
        self.assertEqual(b.evaluate('window.lark.audio.state'), 'running')
        self.assertTrue(wait_for(lambda: b.evaluate('window.lark.audio.level()') > 0.05, 10), 'no quacking sounds')
        # The key that starts the sound stops the title's music, which may have sounded a moment.
        title_music = b.played('start-music.wav')
        self.assertIn(title_music, (0, 1))

        self.assertTrue(b.wait_count(MISSED, 2), 'the first two ducks never left')
        misses = self.steps_of(MISSED)
        start = misses[0] - min(e for _, e in escaping) + 1
        self.assertEqual(misses[1] - max(e for _, e in escaping) + 1, start)
        self.assertTrue(key_step < start <= key_sent + 5)
        launch = misses[1]
        # Aim two steps ahead (the bullet lives three), nearest the middle, away from the other duck.
        (path, exit_move), (other_path, _) = target, other
        clear = [k for k in range(b.last_step() - launch + 8, exit_move - 3) if 7 <= path[k][0] <= 113 and 6.5 <= path[k][1] <= 24.5 and all(
            abs(other_path[j][0] - path[k][0]) >= 9 or abs(other_path[j][1] - path[k][1]) >= 4.5 for j in range(k - 3, min(k + 5, len(other_path))))]
        self.assertTrue(clear, 'the predicted duck never flies in the open')
        aim = min(clear, key=lambda k: abs(path[k][0] - 60))
        self.assertTrue(b.wait_step(launch + aim - 2))
        shots = b.played('gun-shot.wav')
        b.click(*path[aim])
        self.assertTrue(b.see('hit', lambda p: HUD.points(p, 100)), 'no hit')
        self.assertGreater(b.played('gun-shot.wav'), shots, 'no shot sound')

        self.assertTrue(b.wait_count(MISSED, 3))
        self.assertEqual(self.steps_of(MISSED)[-1], launch + other[1])
        self.assertTrue(b.see('end', Picture.end_screen))
        self.assertTrue(b.see('title-again', Picture.title))
        self.assertEqual(b.played('start-music.wav'), title_music + 1)
        self.assertEqual(b.played('ducks-quacking.wav'), 1)
        b.key(*KEY_1)
        self.assertTrue(b.see('play-again', HUD.at_start))
        b.key(*KEY_Q)
        self.assertTrue(b.see('end-again', Picture.end_screen))
        self.assertTrue(b.see('title-last', Picture.title))
        self.quit()
        self.assertEqual(sorted(b.evaluate('window.lark.audio.decoded')), [
            '../sounds/ducks-quacking.wav', '../sounds/gun-shot.wav', '../sounds/new-round.mp3', '../sounds/start-music.wav'])

    def test_a_hidden_page_pauses_the_game(self):
        """Another tab in front pauses the game: no escape, no sound; back in front, it goes on."""
        b = self.browser
        self.assertTrue(b.see('title', Picture.title))
        b.key(*KEY_1)
        self.assertTrue(b.see('play', HUD.at_start))
        tab = b.call('Target.createTarget', url='about:blank')['targetId']
        self.assertTrue(b.wait_count('GameManager::setPaused(): The game is paused.', 1))
        time.sleep(1)
        self.assertEqual(b.evaluate('window.lark.audio.level()'), 0)
        time.sleep(5)  # the first ducks leave the world within four seconds of play
        self.assertEqual(b.count(MISSED), 0)
        b.call('Target.closeTarget', targetId=tab), b.call('Page.bringToFront')
        self.assertTrue(b.wait_count('GameManager::setPaused(): The game goes on.', 1))
        self.assertTrue(b.wait_count(MISSED, 1))

    def setUp(self):
        self.start()

    def steps_of(self, line):  # the step that wrote each console line equal to `line`
        steps, last = [], -1
        for l in self.browser.lines():
            last = int(m.group(1)) if (m := STEP.match(l)) else last
            steps += [last + 1] if l == line else []
        return steps


class Assets(Page):
    def test_missing_sprite_and_broken_sound_are_named_and_the_game_plays_on(self):
        self.start('window.lark = {beforeMain: function(fs) {'
                   "  fs.unlink('/game/sprites/ground-spr.txt');"
                   "  fs.writeFile('/game/sounds/new-round.mp3', new Uint8Array(4000).map((_, i) => (i * 7919) % 251));"
                   '}};')
        b = self.browser
        self.assertTrue(b.see('title', Picture.title))
        lines = b.lines()
        self.assertIn('ResourceManager::loadSprite(): Sprite file ../sprites/ground-spr.txt could not be opened.', lines)
        self.assertIn('ResourceManager::loadSound(): Unable to load sound from file ../sounds/new-round.mp3.', lines)
        b.key(*KEY_1)
        self.assertTrue(b.see('play', self.in_play))
        started = b.last_step()
        b.click(60, 14)
        self.assertTrue(b.wait_step(started + 60))
        b.key(*KEY_Q)
        self.assertTrue(b.see('title', lambda p: p.title() and not self.in_play(p)))
        self.quit()


class Round(Page):
    def test_the_end_of_a_round_plays_the_mp3_sound(self):
        """Ducks of 200 x 40 cells never leave and cover the middle, where a shot hits both of a wave:
        four shots end the round, whose banner plays the MP3 sound once."""
        frame = '\\n'.join(['@' * 200] * 19 + ['@' * 99 + '<' + '@' * 100] + ['@' * 200] * 20)
        self.start('window.lark = {beforeMain: function(fs) {'
                   "  for (const side of ['left', 'right'])"
                   "    fs.writeFile('/game/sprites/duck-fly' + side + '-spr.txt', '1\\n200\\n40\\n1\\nyellow\\n%s\\n');"
                   '}};' % frame)
        b = self.browser
        self.assertTrue(b.see('title', Picture.title))
        b.key(*KEY_1)
        self.assertEqual(b.played('new-round.mp3'), 0)
        # A shot every 10 steps, past the gun's cool-down of 8.
        ended = lambda: b.played('new-round.mp3') > 0 or (b.click(60, 14), b.wait_step(b.last_step() + 10), False)[2]
        self.assertTrue(wait_for(ended, 60, 0), 'no round ended with its sound')
        self.assertIn('../sounds/new-round.mp3', b.evaluate('window.lark.audio.decoded'))
        self.assertEqual(b.count(MISSED), 0)
        self.assertEqual(b.played('new-round.mp3'), 1)


class Failures(unittest.TestCase):
    def test_the_page_says_what_is_wrong(self):
        """From a file, without WebAssembly, without a canvas: one sentence, no game."""
        cases = [(None, 'file://%s/index.html', 'This page was opened as a file'),
                 ('delete window.WebAssembly;', None, 'This browser cannot run WebAssembly'),
                 ('HTMLCanvasElement.prototype.getContext = () => null;', None, 'This browser gives the page no canvas')]
        for script, url, sentence in cases:
            server, browser = chromium.Server(ZIP), Browser(script)
            try:
                browser.open(url % server.root if url else server.url)
                said = wait_for(lambda: browser.evaluate("window.lark && window.lark.state") == 'failed' and browser.status(), 30)
                self.assertTrue(said and said.startswith(sentence), said)
                self.assertFalse(browser.evaluate("document.getElementById('canvas').offsetWidth"))
            finally:
                browser.close(), server.close()


if __name__ == '__main__':
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])
