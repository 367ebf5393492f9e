"""Debian's headless Chromium driven over the DevTools protocol, and a static
server on 127.0.0.1: what the web build's tests (webplay.py) and its
benchmark (bench/webbench.py) open the page with."""
import base64, http.server, json, os, re, shutil, subprocess, tempfile, threading, time, urllib.request
import zipfile

import websocket

STEP = re.compile(r'GameManager::run\(\): \(step #(\d+)\) loop_time = (\d+) microseconds, sleep_time = (\d+) milliseconds\.')


def read_text(path):
    with open(path) as f:
        return f.read()


def wait_for(condition, seconds=60, poll=0.02):
    end = time.time() + seconds
    while time.time() < end:
        value = condition()
        if value:
            return value
        time.sleep(poll)
    return None


class Browser:
    """Debian's Chromium, headless with a fresh profile, on one page, driven over its DevTools socket."""

    def __init__(self, before_load=None):
        self.profile = tempfile.mkdtemp(prefix='lk-chromium-')
        self.process = subprocess.Popen(
            ['chromium', '--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
             '--disable-component-update', '--disable-sync', '--user-data-dir=' + self.profile, '--remote-debugging-port=0',
             'about:blank'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, 'DevToolsActivePort')
        text = lambda: read_text(port_file) if os.path.exists(port_file) else ''
        port = wait_for(lambda: '\n' in text() and text().split()[0], 60)
        assert port, 'Chromium did not start'
        page = wait_for(lambda: [t for t in self.targets(port) if t['type'] == 'page'], 30)[0]
        self.socket = websocket.create_connection(page['webSocketDebuggerUrl'], timeout=60)
        self.next_id, self.console = 0, []
        self.call('Runtime.enable')
        self.call('Page.enable')
        # The canvas at its own size, the status line below it.
        self.call('Emulation.setDeviceMetricsOverride', width=1024, height=800, deviceScaleFactor=1, mobile=False)
        if before_load:
            self.call('Page.addScriptToEvaluateOnNewDocument', source=before_load)

    @staticmethod
    def targets(port):
        try:
            return json.load(urllib.request.urlopen('http://127.0.0.1:%s/json' % port, timeout=5))
        except OSError:
            return []

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({'id': self.next_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get('id') == self.next_id:
                assert 'error' not in message, (method, message['error'])
                return message.get('result', {})
            self.event(message)

    def event(self, message):
        if message.get('method') == 'Runtime.consoleAPICalled':
            p = message['params']
            text = ' '.join(str(a.get('value', '')) for a in p['args'])
            self.console.append((p['timestamp'] / 1000, re.sub(r'^\d\d:\d\d:\d\d\s+', '', text)))

    def lines(self, timed=False):
        """The console's lines so far (without the log's time stamps), with the
        browser's time of each when `timed`."""
        self.socket.settimeout(0.005)
        try:
            while True:
                self.event(json.loads(self.socket.recv()))
        except websocket.WebSocketTimeoutException:
            pass
        self.socket.settimeout(60)
        return list(self.console) if timed else [t for _, t in self.console]

    def last_step(self):
        steps = [int(m.group(1)) for m in map(STEP.match, self.lines()) if m]
        return steps[-1] if steps else -1

    def open(self, url):
        self.call('Page.navigate', url=url)
        assert wait_for(lambda: self.evaluate('location.href') == url and self.evaluate('document.readyState') == 'complete', 30)

    def evaluate(self, expression):
        return self.call('Runtime.evaluate', expression=expression, returnByValue=True)['result'].get('value')

    def key(self, code, key, vk):
        for kind in ('keyDown', 'keyUp'):
            self.call('Input.dispatchKeyEvent', type=kind, code=code, key=key, windowsVirtualKeyCode=vk,
                      text=key if kind == 'keyDown' and len(key) == 1 else '')

    def screenshot(self):
        """The page's top-left 1024 x 768 pixels as PNG."""
        png = self.call('Page.captureScreenshot', format='png', clip={'x': 0, 'y': 0, 'width': 1024, 'height': 768, 'scale': 1})
        return base64.b64decode(png['data'])

    def close(self):
        self.process.kill()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{'.wasm': 'application/wasm'})

    def log_message(self, *args):
        pass


class Server:
    """The files of a zip, or of a folder, served on 127.0.0.1."""

    def __init__(self, path):
        self.unpacked = not os.path.isdir(path)
        self.root = tempfile.mkdtemp(prefix='lk-web-') if self.unpacked else path
        if self.unpacked:
            with zipfile.ZipFile(path) as z:
                z.extractall(self.root)
        self.httpd = http.server.ThreadingHTTPServer(('127.0.0.1', 0), lambda *a: Quiet(*a, directory=self.root))
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()
        self.url = 'http://127.0.0.1:%d/index.html' % self.httpd.server_address[1]

    def close(self):
        self.httpd.shutdown()
        if self.unpacked:
            shutil.rmtree(self.root, ignore_errors=True)
