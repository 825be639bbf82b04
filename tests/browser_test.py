#!/usr/bin/python3
"""The pages of build-web/site in headless Chromium, driven over the DevTools protocol.

For each program the page is opened with a fixed clock in a view the size of its canvas, keys
are typed that practise the first problem with a wrong answer (the cross and the first worked
step appear), and the canvas is compared, thresholded, with the desktop's headless screenshot
after the same keys: glyph edges may differ in grey level, lit pixels may not.

Usage: browser_test.py SITE_DIR BIN_DIR
"""
import base64, json, os, shutil, socket, struct, subprocess, sys, tempfile, time, urllib.request

import websocket  # Debian's python3-websocket

site, bindir = sys.argv[1], sys.argv[2]
PROGRAMS = ['halvard', 'morvane', 'quillon', 'brenwick']
KEYS = '11\rx=0\r'  # as the key script "11{Enter}x=0{Enter}"
CLOCK = '12:34:56'
work = tempfile.mkdtemp()
procs = []


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def wait_http(url):
    for _ in range(200):
        try:
            return urllib.request.urlopen(url).read()
        except OSError:
            time.sleep(0.1)
    raise SystemExit(f'browser test: FAIL: nothing answers at {url}')


class Tab:
    def __init__(self, port):
        tabs = json.loads(wait_http(f'http://127.0.0.1:{port}/json'))
        page = next(t for t in tabs if t['type'] == 'page')
        self.ws = websocket.create_connection(page['webSocketDebuggerUrl'], suppress_origin=True)
        self.n = 0

    def call(self, method, **params):
        self.n += 1
        self.ws.send(json.dumps({'id': self.n, 'method': method, 'params': params}))
        while True:
            m = json.loads(self.ws.recv())
            if m.get('id') == self.n:
                if 'error' in m:
                    raise SystemExit(f'browser test: FAIL: {method}: {m["error"]}')
                return m['result']

    def evaluate(self, expression):
        r = self.call('Runtime.evaluate', expression=expression, awaitPromise=True, returnByValue=True)
        if 'exceptionDetails' in r:
            raise SystemExit(f'browser test: FAIL: {r["exceptionDetails"]}')
        return r['result'].get('value')

    def type(self, keys):
        for k in keys:
            if k == '\r':
                self.call('Input.dispatchKeyEvent', type='rawKeyDown', key='Enter', code='Enter',
                          windowsVirtualKeyCode=13)
                self.call('Input.dispatchKeyEvent', type='char', key='Enter', text='\r')
                self.call('Input.dispatchKeyEvent', type='keyUp', key='Enter', code='Enter',
                          windowsVirtualKeyCode=13)
            else:
                self.call('Input.dispatchKeyEvent', type='keyDown', key=k, text=k)
                self.call('Input.dispatchKeyEvent', type='keyUp', key=k)
            time.sleep(0.1)


# Compares the page's canvas with a PNG (a data URL), both thresholded at half brightness.
COMPARE = '''new Promise(done => { const img = new Image(); img.onload = () => {
  const grab = (src, w, h) => { const c = document.createElement('canvas'); c.width = w; c.height = h;
    const g = c.getContext('2d'); g.drawImage(src, 0, 0); return g.getImageData(0, 0, w, h).data; };
  const cv = document.getElementById('canvas');
  if (cv.width !== img.width || cv.height !== img.height) { done({size: [cv.width, cv.height]}); return; }
  const a = grab(img, img.width, img.height), b = grab(cv, cv.width, cv.height);
  const on = (d, i) => d[i] + d[i + 1] + d[i + 2] > 384;
  let lit = 0, diff = 0;
  for (let i = 0; i < a.length; i += 4) { if (on(a, i)) lit++; if (on(a, i) !== on(b, i)) diff++; }
  done({size: [cv.width, cv.height], lit, diff});
}; img.onerror = () => done({error: 'reference'}); img.src = REF; })'''


def main():
    port = free_port()
    procs.append(subprocess.Popen([sys.executable, '-m', 'http.server', '--bind', '127.0.0.1', '-d', site, str(port)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_http(f'http://127.0.0.1:{port}/index.html')
    devtools = free_port()
    procs.append(subprocess.Popen(['chromium', '--headless=new', '--no-sandbox', '--disable-gpu',
                                   '--no-first-run', f'--remote-debugging-port={devtools}',
                                   f'--user-data-dir={work}/profile', 'about:blank'],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    tab = Tab(devtools)
    tab.call('Page.enable')
    failed = 0
    for prog in PROGRAMS:
        ref = f'{work}/{prog}.png'
        subprocess.run([f'{bindir}/{prog}', '--headless', '--keys', '11{Enter}x=0{Enter}', '--clock', CLOCK,
                        '--screenshot', ref], check=True)
        png = open(ref, 'rb').read()
        width, height = struct.unpack('>II', png[16:24])
        tab.call('Emulation.setDeviceMetricsOverride', width=width, height=height, deviceScaleFactor=1, mobile=False)
        tab.call('Page.navigate', url=f'http://127.0.0.1:{port}/{prog}.html?clock={CLOCK}')
        # The page is ready once the program has drawn its contents screen.
        for _ in range(100):
            if tab.evaluate('typeof Module !== "undefined" && Module.calledRun === true'):
                break
            time.sleep(0.1)
        time.sleep(1)
        tab.type(KEYS)
        time.sleep(1)
        got = tab.evaluate(COMPARE.replace('REF', json.dumps('data:image/png;base64,' + base64.b64encode(png).decode())))
        ok = got.get('diff') == 0 and got.get('lit', 0) > 1000
        print(f'browser test: {prog}: {"ok" if ok else "FAIL"}: {got}')
        failed += not ok
    print(f'{len(PROGRAMS) - failed} passed, {failed} failed')
    return 1 if failed else 0


try:
    status = main()
finally:
    for p in procs:
        p.kill()
        p.wait()
    shutil.rmtree(work, ignore_errors=True)
sys.exit(status)
