#!/usr/bin/python3
"""The web build's benchmark, in the headless Chromium the web tests use.

Usage: webbench.py ZIP BENCH_PAGE_DIR DESKTOP_TIMINGS [--frames N] [--step-seconds S]

- the frames of the benchmark page (bench/WebFrameBench.cpp): its console
  lines, each frame set against the desktop benchmark's same frame, read from
  lk_bench's summary lines in DESKTOP_TIMINGS;
- the game page (the zip's files, served on 127.0.0.1): from the navigation's
  start to the first title frame on screen (the median of 3 fresh starts),
  the zip's size, and the step rate from the step lines on the console over
  S seconds (0: not measured).
Ends with one line per figure and the targets, each line starting "web ".
"""
import argparse, os, re, sys, time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
import chromium  # noqa: E402
from chromium import STEP, wait_for  # noqa: E402

FRAMES = (('full-screen', 'full-screen frame', 12.0), ('title', 'title frame', None), ('play', 'play frame', 4.0))
ZIP_TARGET_MB = 1.5
FIRST_FRAME_TARGET_MS = 1500
KEY_1 = ('Digit1', '1', 49)
BENCH_LINE = re.compile(r'web-bench: ([a-z-]+): ([0-9.]+) ms \(drawing ([0-9.]+) ms, read-back ([0-9.]+) ms\) median of (\d+) frames')

# Injected before the page's own scripts: the moments (performance.now(),
# from the navigation's start) of the first console line the program writes,
# of its first step line (the first frame is drawn then) and of the next
# animation frame, when the browser shows that frame.
FIRST_FRAME_PROBE = r'''
(function() {
  var log = console.log, seen = {};
  window.lkStart = {};
  console.log = function(text) {
    var now = performance.now();
    if (!seen.program && /::startUp\(\)/.test(text)) { seen.program = true; window.lkStart.program = now; }
    if (!seen.drawn && /\(step #0\)/.test(text)) {
      seen.drawn = true;
      window.lkStart.drawn = now;
      requestAnimationFrame(function() { window.lkStart.shown = performance.now(); });
    }
    return log.apply(console, arguments);
  };
})();
'''


def desktop_frames(path):
    """The desktop benchmark's frame times by label, from its summary lines."""
    frames = {}
    with open(path) as f:
        for line in f:
            m = re.match(r'(full-screen frame|title frame|play frame): ([0-9.]+) ms', line)
            if m:
                frames[m.group(1)] = float(m.group(2))
    return frames


def frame_figures(page_dir, frames):
    """{case: (total, drawing, read-back)} from the benchmark page's console."""
    folder, browser = chromium.Server(page_dir), chromium.Browser()
    try:
        browser.call('Page.navigate', url=folder.url + '?frames=%d' % frames)
        finished = lambda: [l for l in browser.lines() if l.startswith('web-bench: done') or 'did not start' in l
                            or 'sprites are not' in l]
        end = wait_for(finished, 600, 0.2)
        figures = {}
        for line in browser.lines():
            m = BENCH_LINE.match(line)
            if m:
                figures[m.group(1)] = tuple(float(m.group(i)) for i in (2, 3, 4))
                print(line)
        if not end or end[0] != 'web-bench: done':
            print('web-bench: the benchmark page did not finish: %s' % (end[0] if end else 'timed out'))
        return figures
    finally:
        browser.close(), folder.close()


def game_figures(zip_path, step_seconds, starts=3):
    """Navigation to the first title frame in ms, with its parts: of
    `starts` starts, each in a fresh browser and profile, the one of median
    time; and the step rate over step_seconds (steps/s, or None) on the last."""
    server, found, rate = chromium.Server(zip_path), [], None
    try:
        for n in range(starts):
            browser = chromium.Browser(FIRST_FRAME_PROBE)
            try:
                browser.call('Page.navigate', url=server.url)
                start = wait_for(lambda: browser.evaluate('window.lkStart && window.lkStart.shown && window.lkStart'), 60)
                if not start:
                    continue
                resources = browser.evaluate(
                    "Object.fromEntries(performance.getEntriesByType('resource').filter(e => !e.name.endsWith('/favicon.ico'))"
                    ".map(e => [e.name.split('/').pop(), e.responseEnd]))")
                start['files'] = max(resources.values()) if resources else None
                found.append(start)
                if n == starts - 1 and step_seconds > 0:
                    rate = step_rate(browser, step_seconds)
            finally:
                browser.close()
    finally:
        server.close()
    found.sort(key=lambda s: s['shown'])
    return (found[len(found) // 2] if found else None), rate


def step_rate(browser, seconds):
    """Steps a second: the slope of a straight line through the step lines'
    numbers against the console's times of them over `seconds` of play. The
    key 1 starts a game, and again every 2 s (a new game whenever the last
    has ended), as scripts/step-rate does on the desktop."""
    browser.key(*KEY_1)
    time.sleep(2)
    begin = time.time()
    while time.time() - begin < seconds:
        time.sleep(min(2, seconds - (time.time() - begin)))
        browser.key(*KEY_1)
    points = [(t, int(m.group(1))) for t, m in ((t, STEP.match(l)) for t, l in browser.lines(True)) if m]
    first = points[-1][0] - seconds
    points = [(t, n) for t, n in points if t >= first]
    if len(points) < 2:
        return None
    mt = sum(t for t, _ in points) / len(points)
    mn = sum(n for _, n in points) / len(points)
    return sum((t - mt) * (n - mn) for t, n in points) / sum((t - mt) ** 2 for t, _ in points)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('zip')
    parser.add_argument('page')
    parser.add_argument('desktop')
    parser.add_argument('--frames', type=int, default=100)
    parser.add_argument('--step-seconds', type=float, default=30)
    args = parser.parse_args()

    frames = frame_figures(args.page, args.frames)
    start, rate = game_figures(args.zip, args.step_seconds)
    desktop = desktop_frames(args.desktop)

    lines, targets = [], []
    met = lambda ok: 'met' if ok else 'MISSED'
    for case, label, target in FRAMES:
        if case not in frames:
            lines.append('web %s: not measured' % label)
            if target:
                targets.append('web target: %s at most %g ms: MISSED (not measured)' % (label, target))
            continue
        total, drawing, read_back = frames[case]
        line = 'web %s: %.2f ms (drawing %.2f, read-back %.2f)' % (label, total, drawing, read_back)
        line += ' (desktop %.2f ms, x%.1f)' % (desktop[label], total / desktop[label]) if label in desktop else ' (desktop not measured)'
        lines.append(line)
        if target:
            targets.append('web target: %s at most %g ms: %s' % (label, target, met(total <= target)))
    if start:
        lines.append('web navigation to first title frame: %.0f ms (median of 3 starts; files loaded %.0f, program started %.0f, '
                     'first frame drawn %.0f)' % (start['shown'], start['files'] or 0, start.get('program', 0), start['drawn']))
        targets.append('web target: navigation to first title frame at most %d ms: %s'
                       % (FIRST_FRAME_TARGET_MS, met(start['shown'] <= FIRST_FRAME_TARGET_MS)))
    else:
        lines.append('web navigation to first title frame: not measured (no step line within 60 s of any start)')
        targets.append('web target: navigation to first title frame at most %d ms: MISSED (not measured)' % FIRST_FRAME_TARGET_MS)
    size = os.path.getsize(args.zip)
    lines.append('web zip: %d bytes (%.2f MB)' % (size, size / 1e6))
    targets.append('web target: zip at most %g MB: %s' % (ZIP_TARGET_MB, met(size <= ZIP_TARGET_MB * 1e6)))
    if args.step_seconds > 0:
        if rate is None:
            lines.append('web step rate: not measured')
            targets.append('web target: step rate 30 steps/s within 2%: MISSED (not measured)')
        else:
            lines.append('web step rate: %.2f steps/s over %g s' % (rate, args.step_seconds))
            targets.append('web target: step rate 30 steps/s within 2%%: %s' % met(29.4 <= rate <= 30.6))
    print()
    print('\n'.join(lines + targets))


if __name__ == '__main__':
    main()
