#!/usr/bin/python3
"""The pages of build-web/site in headless Chromium (over the DevTools protocol) and Firefox.

- Each program's page, opened with a fixed clock in a view the size of its canvas, is typed keys
  that practise a problem with a wrong answer (the cross and the first worked step appear); its
  canvas must then match, thresholded, the desktop's headless screenshot after the same keys:
  glyph edges may differ in grey level, lit pixels may not.
- The page takes the keyboard when it opens and again on a click, and keeps F1, F3, F5 and F11
  from the browser.
- An answer typed through the input-method path (composition, then commit) is taken as typed:
  the page then shows what the desktop shows after the right answer typed as keys. Text being
  composed is not typed, and the Enter that confirms a composition does not confirm the answer.
- A waiting page runs no script.
- "end" in the menu leaves a closing text with a link back to the list.
- A phone held upright (390 x 844) shows the whole canvas, aspect kept, centred, one canvas pixel
  to each device pixel; at device pixel ratio 2 the canvas is drawn at twice the resolution.
- Firefox's picture of a page shows its contents screen.
- The checked pages (build-web/checked: the same programs with the runtime's assertions, which trap
  when a wait passes through a function not instrumented for it) come through practice, the
  look-through and a walk of random keys with every program without an error, waiting again.

Usage: browser_test.py SITE_DIR BIN_DIR
"""
import base64, json, os, random, shutil, struct, subprocess, sys, tempfile, time, urllib.request

import websocket  # Debian's python3-websocket

from devtools import Session, free_port, wait_http as wait_for

site, bindir = sys.argv[1], sys.argv[2]
PROGRAMS = os.environ.get('DRILLS_BROWSER_PROGRAMS', 'halvard morvane quillon brenwick').split()
KEYS = '11\rx=0\r'  # as the key script "11{Enter}x=0{Enter}"
CLOCK = '12:34:56'
work = tempfile.mkdtemp()
procs = []
failures = []


def check(ok, what, detail=''):
    print(f'browser test: {"ok" if ok else "FAIL"}: {what}{": " + str(detail) if detail != "" else ""}', flush=True)
    if not ok:
        failures.append(what)
    return ok


def wait_http(url):
    return wait_for(url, 'browser test: FAIL')


def png_size(path):
    with open(path, 'rb') as f:
        return struct.unpack('>II', f.read(24)[16:24])


def desktop_shot(prog, script, name):
    path = f'{work}/{prog}-{name}.png'
    subprocess.run([f'{bindir}/{prog}', '--headless', '--keys', script, '--clock', CLOCK, '--screenshot', path],
                   check=True)
    return path


class Tab(Session):
    def __init__(self, port):
        tabs = json.loads(wait_http(f'http://127.0.0.1:{port}/json'))
        page = next(t for t in tabs if t['type'] == 'page')
        super().__init__(page['webSocketDebuggerUrl'], 'browser test: FAIL')

    def open(self, url, width, height, ratio=1):
        self.call('Emulation.setDeviceMetricsOverride', width=width, height=height, deviceScaleFactor=ratio,
                  mobile=False)
        self.call('Page.navigate', url=url)
        # Ready once the program waits for its first key with the contents screen drawn.
        for _ in range(300):
            if self.evaluate('typeof Module !== "undefined" && Module.drillsWake !== null'
                             ' && typeof Module.drillsWake === "function"'):
                return True
            time.sleep(0.1)
        return False

    def key(self, key, code, vk, text=None):
        down = {'type': 'keyDown', 'key': key, 'code': code, 'windowsVirtualKeyCode': vk}
        if text:
            down['text'] = text
        self.call('Input.dispatchKeyEvent', **down)
        self.call('Input.dispatchKeyEvent', type='keyUp', key=key, code=code, windowsVirtualKeyCode=vk)

    def type(self, keys):
        for k in keys:
            if k == '\r':
                self.key('Enter', 'Enter', 13, '\r')
            else:
                self.key(k, '', ord(k.upper()) if k.isalnum() else 0, k)
            self.settle()

    def settle(self):
        # Until the program has taken every queued event and waits again.
        for _ in range(100):
            if self.evaluate('Module.drillsQueue.length === 0 && typeof Module.drillsWake === "function"'):
                return
            time.sleep(0.02)

    def canvas(self):
        return self.evaluate('document.getElementById("canvas").toDataURL()')


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

# Lit pixels of the canvas, its backing store and where it lies in the view (CSS pixels).
GEOMETRY = '''(() => { const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
  const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let lit = 0, ink = 0;
  for (let i = 0; i < d.length; i += 4) { const v = d[i] + d[i + 1] + d[i + 2]; if (v > 384) lit++; ink += v; }
  return {w: c.width, h: c.height, left: r.left, top: r.top, right: r.right, bottom: r.bottom,
          vw: innerWidth, vh: innerHeight, ratio: devicePixelRatio, lit, ink}; })()'''


def same_as(tab, png_path):
    png = open(png_path, 'rb').read()
    return tab.evaluate(COMPARE.replace('REF', json.dumps('data:image/png;base64,' + base64.b64encode(png).decode())))


def matches(got):
    return got.get('diff') == 0 and got.get('lit', 0) > 1000


def plain_server(tab, port):
    # A server that does not know what a .wasm file is (it says application/octet-stream): the
    # page still starts, and draws what it draws from a server that does.
    own = free_port()
    serve = ('import http.server as s, sys\n'
             "s.SimpleHTTPRequestHandler.extensions_map['.wasm'] = 'application/octet-stream'\n"
             f"s.test(HandlerClass=s.SimpleHTTPRequestHandler, port={own}, bind='127.0.0.1')")
    procs.append(subprocess.Popen([sys.executable, '-c', serve], cwd=site,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_http(f'http://127.0.0.1:{own}/index.html')
    said = urllib.request.urlopen(f'http://127.0.0.1:{own}/{PROGRAMS[0]}.wasm').headers['Content-Type']
    ready = tab.open(f'http://127.0.0.1:{port}/{PROGRAMS[0]}.html?clock={CLOCK}', 1280, 800)
    usual = tab.evaluate(GEOMETRY) if ready else None
    ready_plain = tab.open(f'http://127.0.0.1:{own}/{PROGRAMS[0]}.html?clock={CLOCK}', 1280, 800)
    plain = tab.evaluate(GEOMETRY) if ready_plain else None
    check(said == 'application/octet-stream' and ready and ready_plain and plain == usual and plain['lit'] > 1000,
          'a server that calls the program application/octet-stream serves the same page', (said, usual, plain))


def pictures(tab, port):
    for prog in PROGRAMS:
        ref = desktop_shot(prog, '11{Enter}x=0{Enter}', 'wrong')
        width, height = png_size(ref)
        ready = tab.open(f'http://127.0.0.1:{port}/{prog}.html?clock={CLOCK}', width, height)
        # The first picture is handed to the canvas in parts: together they are the whole screen.
        got = same_as(tab, desktop_shot(prog, '', 'contents'))
        check(ready and matches(got), f"{prog}: the first picture is the desktop's contents screen", got)
        tab.type(KEYS)
        got = same_as(tab, ref)
        check(ready and matches(got), f'{prog}: the page draws what the desktop draws after the same keys', got)


def input_method(tab, port):
    # Halvard's problem 1 with this clock is 6x+7=37, so x=5 is right: the page must end up with
    # the desktop's picture of that answer, which differs from a wrong answer's.
    prog = 'halvard'
    right = desktop_shot(prog, '11{Enter}x=5{Enter}', 'right')
    before_answer = desktop_shot(prog, '11{Enter}', 'asked')
    width, height = png_size(right)
    tab.open(f'http://127.0.0.1:{port}/{prog}.html?clock={CLOCK}', width, height)
    check(tab.evaluate('document.activeElement.id') == 'keys', 'the page takes the keyboard when it opens')
    tab.evaluate('document.activeElement.blur()')
    for kind in ('mousePressed', 'mouseReleased'):
        tab.call('Input.dispatchMouseEvent', type=kind, x=width // 2, y=height // 2, button='left', clickCount=1)
    check(tab.evaluate('document.activeElement.id') == 'keys', 'a click on the canvas gives it the keyboard again')
    # The browser's own function keys stay with the page.
    tab.evaluate('window.__kept = []; addEventListener("keydown", e => __kept.push(e.defaultPrevented)); 1')
    for n, vk in ((1, 112), (3, 114), (5, 116), (11, 122)):
        tab.key(f'F{n}', f'F{n}', vk)
    kept = tab.evaluate('__kept')
    check(kept == [True] * 4, 'F1, F3, F5 and F11 are kept from the browser', kept)
    tab.open(f'http://127.0.0.1:{port}/{prog}.html?clock={CLOCK}', width, height)
    tab.type('11\r')
    check(matches(same_as(tab, before_answer)), 'input method: the problem is asked')
    # "ｘ＝" composed, then confirmed with Enter: the composition is not typed, and its Enter is
    # the input method's.
    tab.call('Input.imeSetComposition', text='ｘ', selectionStart=1, selectionEnd=1)
    tab.call('Input.imeSetComposition', text='ｘ＝', selectionStart=2, selectionEnd=2)
    tab.settle()
    check(matches(same_as(tab, before_answer)), 'input method: text being composed is not typed')
    tab.key('Enter', 'Enter', 13, '\r')
    tab.call('Input.insertText', text='ｘ＝')
    tab.settle()
    time.sleep(0.2)  # a person's next key
    tab.call('Input.imeSetComposition', text='５', selectionStart=1, selectionEnd=1)
    tab.key('Enter', 'Enter', 13, '\r')
    tab.call('Input.insertText', text='５')
    tab.settle()
    time.sleep(0.2)
    tab.key('Enter', 'Enter', 13, '\r')  # now the answer's own Enter
    tab.settle()
    got = same_as(tab, right)
    check(matches(got), 'input method: "ｘ＝５" composed and confirmed is taken as x=5, marked right', got)
    # No caret blinks in the field while the page waits: it holds a selection, not a cursor.
    field = tab.evaluate('(() => { const k = document.getElementById("keys");'
                         ' return [document.activeElement === k, k.selectionStart, k.selectionEnd]; })()')
    check(field[0] and field[1] < field[2], 'the waiting field has no blinking caret', field)
    wrong = desktop_shot(prog, '11{Enter}x=4{Enter}', 'other')
    check(not matches(same_as(tab, wrong)), 'input method: the right answer does not look like a wrong one')


def idle(tab, port):
    tab.open(f'http://127.0.0.1:{port}/morvane.html?clock={CLOCK}', 1280, 960)
    tab.call('Performance.enable')
    time.sleep(0.5)

    def script_seconds():
        return next(m['value'] for m in tab.call('Performance.getMetrics')['metrics'] if m['name'] == 'ScriptDuration')

    start = script_seconds()
    time.sleep(3)
    spent = script_seconds() - start
    check(spent < 0.005, 'a waiting page runs no script', f'{spent * 1000:.1f} ms in 3 s')
    tab.call('Performance.disable')


def end(tab, port):
    tab.open(f'http://127.0.0.1:{port}/quillon.html?clock={CLOCK}', 1280, 960)
    tab.type('3')
    time.sleep(0.5)
    shown = tab.evaluate('''(() => { const e = document.getElementById('end'), a = e.querySelector('a');
      return {shown: getComputedStyle(e).display !== 'none', text: e.innerText,
              canvas: getComputedStyle(document.getElementById('canvas')).display,
              link: a && a.href}; })()''')
    ok = shown['shown'] and shown['canvas'] == 'none' and shown['link'] == f'http://127.0.0.1:{port}/index.html'
    check(ok, '"end" leaves a closing text with a link back to the list', shown)
    listed = wait_http(shown['link'] or f'http://127.0.0.1:{port}/index.html').decode()
    check(all(f'href="{p}.html"' in listed for p in PROGRAMS), 'the list links every program')


def viewports(tab, port):
    ref = desktop_shot('halvard', '', 'contents')
    width, height = png_size(ref)
    tab.open(f'http://127.0.0.1:{port}/halvard.html?clock={CLOCK}', 390, 844)
    g = tab.evaluate(GEOMETRY)
    inside = g['left'] >= 0 and g['top'] >= 0 and g['right'] <= g['vw'] + 0.5 and g['bottom'] <= g['vh'] + 0.5
    full_width = abs((g['right'] - g['left']) - g['vw']) <= 1
    centred = abs(g['top'] - (g['vh'] - g['bottom'])) <= 1
    aspect = abs(g['w'] / g['h'] - width / height) < 0.01
    sharp = abs((g['right'] - g['left']) * g['ratio'] - g['w']) <= 1
    # The whole picture at about a quarter of its size: its ink (the sum of its brightness) about
    # a sixteenth of the desktop's, as the ink of a smaller drawing is.
    scale = g['w'] / width
    ink = png_ink(ref) * scale * scale
    drawn = 0.6 * ink < g['ink'] < 1.6 * ink
    check(inside and full_width and centred and aspect and sharp and drawn,
          'a phone held upright shows the whole canvas, aspect kept, centred, sharp', g)

    tab.open(f'http://127.0.0.1:{port}/halvard.html?clock={CLOCK}', width, height, ratio=2)
    g = tab.evaluate(GEOMETRY)
    double = g['w'] == 2 * width and g['h'] == 2 * height
    css = abs(g['right'] - g['left'] - width) <= 0.5 and abs(g['bottom'] - g['top'] - height) <= 0.5
    drawn = 3 * png_ink(ref) < g['ink'] < 5 * png_ink(ref)
    check(double and css and drawn, 'at device pixel ratio 2 the canvas is drawn at the device resolution', g)


def png_ink(path):
    """The sum of the brightness of a PNG's pixels."""
    return tab_global.evaluate(INK.replace('REF', json.dumps(
        'data:image/png;base64,' + base64.b64encode(open(path, 'rb').read()).decode())))


tab_global = None
INK = '''new Promise(done => { const img = new Image(); img.onload = () => {
  const c = document.createElement('canvas'); c.width = img.width; c.height = img.height;
  const g = c.getContext('2d'); g.drawImage(img, 0, 0); const d = g.getImageData(0, 0, c.width, c.height).data;
  let ink = 0; for (let i = 0; i < d.length; i += 4) ink += d[i] + d[i + 1] + d[i + 2]; done(ink); };
  img.src = REF; })'''


def firefox(tab, port):
    # Firefox's own --screenshot takes its picture as soon as the address is committed, before a
    # page's scripts have run, so it never shows what a program draws; its WebDriver BiDi
    # protocol waits for the program to draw and then takes the picture.
    if not shutil.which('firefox-esr'):
        check(False, 'Firefox: firefox-esr is installed (bash tools/build-web.sh installs it)')
        return
    ref = desktop_shot('brenwick', '', 'contents')
    width, height = png_size(ref)
    bidi = free_port()
    procs.append(subprocess.Popen(['firefox-esr', '--headless', '--no-remote', '--profile', mkdir(f'{work}/firefox'),
                                   f'--remote-debugging-port={bidi}', 'about:blank'],
                                  env=dict(os.environ, HOME=work, MOZ_HEADLESS='1'),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    for _ in range(300):
        try:
            ws = websocket.create_connection(f'ws://127.0.0.1:{bidi}/session', suppress_origin=True)
            break
        except OSError:
            time.sleep(0.1)
    else:
        check(False, 'Firefox: its WebDriver BiDi port answers')
        return
    n = 0

    def call(method, **params):
        nonlocal n
        n += 1
        ws.send(json.dumps({'id': n, 'method': method, 'params': params}))
        while True:
            m = json.loads(ws.recv())
            if m.get('id') == n:
                if m.get('type') == 'error':
                    raise SystemExit(f'browser test: FAIL: Firefox: {method}: {m}')
                return m['result']

    call('session.new', capabilities={})
    context = call('browsingContext.getTree')['contexts'][0]['context']
    call('browsingContext.setViewport', context=context, viewport={'width': width, 'height': height})
    call('browsingContext.navigate', context=context, url=f'http://127.0.0.1:{port}/brenwick.html?clock={CLOCK}',
         wait='complete')
    for _ in range(300):
        r = call('script.evaluate', expression='typeof Module !== "undefined" && typeof Module.drillsWake === "function"',
                 target={'context': context}, awaitPromise=False)
        if r.get('result', {}).get('value') is True:
            break
        time.sleep(0.1)
    shot = f'{work}/firefox.png'
    with open(shot, 'wb') as f:
        f.write(base64.b64decode(call('browsingContext.captureScreenshot', context=context)['data']))
    ws.close()
    got = same_as_png(tab, shot, ref)
    ok = got.get('lit', 0) > 1000 and got.get('diff', 1 << 30) < got['lit'] * 0.02
    check(ok, 'Firefox: a page shows its contents screen', got)


# Keys for the walk through the checked pages: digits, signs, letters, Enter, Backspace and the
# function keys, so each program's editors, prompts and menus are reached.
WALK_KEYS = [(c, '', ord(c.upper()) if c.isalnum() else 0, c) for c in '0123456789x=-+/.: '] + \
    [('Enter', 'Enter', 13, '\r')] * 6 + [('Backspace', 'Backspace', 8, None)] * 2 + \
    [(f'F{n}', f'F{n}', 111 + n, None) for n in range(1, 13)]


def checked(tab, port):
    pages = os.path.join(os.path.dirname(os.path.abspath(site)), 'checked')
    if not all(os.path.exists(f'{pages}/{p}.wasm') for p in PROGRAMS):
        check(False, 'checked pages: build-web/checked holds every program (tools/build-web.sh builds them)')
        return
    own = free_port()
    procs.append(subprocess.Popen([sys.executable, '-m', 'http.server', '--bind', '127.0.0.1', '-d', pages, str(own)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_http(f'http://127.0.0.1:{own}/{PROGRAMS[0]}.html')
    # Kept for every page the tab opens from here on.
    tab.call('Page.addScriptToEvaluateOnNewDocument', source='''window.__errors = [];
      addEventListener('error', e => __errors.push(String(e.error && e.error.stack || e.message)));
      addEventListener('unhandledrejection', e => __errors.push(String(e.reason && e.reason.stack || e.reason)));''')
    # exit() leaves main by an exception that the trampolines of the calls it passes through catch
    # and throw on; under the assertions each one reports that it ran after the runtime ended.
    state = ('(() => { const ended = getComputedStyle(document.getElementById("end")).display !== "none";'
             ' return {ended, waiting: typeof Module.drillsWake === "function",'
             ' errors: __errors.filter(e => !(ended && e.includes("called after runtime exit")))}; })()')
    walk = random.Random(19)
    for prog in PROGRAMS:
        flows = [('practice', KEYS + '\r\r'), ('look-through', '2' + '\r' * 6)] + \
            [(f'walk {i}', start) for i, start in enumerate(['1', '2', '12\r', '13\r'])]
        for name, start in flows:
            ready = tab.open(f'http://127.0.0.1:{own}/{prog}.html?clock={CLOCK}', 1280, 960)
            tab.type(start)
            got = tab.evaluate(state)
            for _ in range(40 if name.startswith('walk') else 0):
                if got['errors'] or got['ended']:
                    break
                key, code, vk, text = walk.choice(WALK_KEYS)
                tab.key(key, code, vk, text)
                tab.settle()
                got = tab.evaluate(state)
            check(ready and not got['errors'] and (got['waiting'] or got['ended']),
                  f'checked page: {prog}, {name}, waits without an error', got['errors'][:1])
    tab.open(f'http://127.0.0.1:{own}/{PROGRAMS[0]}.html?clock={CLOCK}', 1280, 960)
    tab.type('3')
    time.sleep(0.3)
    got = tab.evaluate(state)
    check(got['ended'] and not got['errors'], 'checked page: "end" ends without an error', got['errors'][:1])


def mkdir(path):
    os.makedirs(path, exist_ok=True)
    return path


# Two PNGs compared, thresholded, at the size of the second (the first may be larger).
COMPARE_PNGS = '''(GOT, REF) => Promise.all([GOT, REF].map(src => new Promise(ok => { const i = new Image(); i.onload = () => ok(i);
  i.onerror = () => ok(null); i.src = src; }))).then(([a, b]) => {
  if (!a || !b) return {error: 'unreadable'};
  const grab = (img) => { const c = document.createElement('canvas'); c.width = b.width; c.height = b.height;
    const g = c.getContext('2d'); g.fillStyle = '#fff'; g.fillRect(0, 0, c.width, c.height); g.drawImage(img, 0, 0);
    return g.getImageData(0, 0, c.width, c.height).data; };
  const x = grab(a), y = grab(b), on = (d, i) => d[i] + d[i + 1] + d[i + 2] > 384;
  let lit = 0, diff = 0;
  for (let i = 0; i < y.length; i += 4) { if (on(y, i)) lit++; if (on(x, i) !== on(y, i)) diff++; }
  return {size: [a.width, a.height], lit, diff}; })'''


def same_as_png(tab, got, ref):
    url = lambda p: json.dumps('data:image/png;base64,' + base64.b64encode(open(p, 'rb').read()).decode())
    return tab.evaluate(f'({COMPARE_PNGS})({url(got)}, {url(ref)})')


def main():
    global tab_global
    port = free_port()
    procs.append(subprocess.Popen([sys.executable, '-m', 'http.server', '--bind', '127.0.0.1', '-d', site, str(port)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_http(f'http://127.0.0.1:{port}/index.html')
    devtools = free_port()
    procs.append(subprocess.Popen(['chromium', '--headless=new', '--no-sandbox', '--disable-gpu',
                                   '--no-first-run', f'--remote-debugging-port={devtools}',
                                   f'--user-data-dir={work}/profile', 'about:blank'],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    tab = tab_global = Tab(devtools)
    tab.call('Page.enable')
    only = os.environ.get('DRILLS_BROWSER_ONLY', '').split(',')
    for part in (pictures, plain_server, input_method, idle, end, viewports, checked, firefox):
        if only == [''] or part.__name__ in only:
            part(tab, port)
    print(f'browser test: {len(failures)} failed' + (f': {failures}' if failures else ''))
    return 1 if failures else 0


try:
    status = main()
finally:
    for p in procs:
        p.kill()
        p.wait()
    shutil.rmtree(work, ignore_errors=True)
sys.exit(status)
