#!/usr/bin/env bash
# Measures the pages in build-web/site (build them first with tools/build-web.sh) and prints a
# table: each page's files raw and gzip-compressed; first frame in headless Chromium, the median
# of 20 cold loads from 127.0.0.1 (when the first picture is asked for and when all of it is
# drawn), beside a bare page that draws one line of the same font on a 2D canvas (the anchor,
# measured in the same run), once as a pupil's browser loads a page and once with DevTools
# recording the network; key-to-canvas latency; CPU of the waiting tab; and wake-ups per second
# of a waiting desktop program in a window under Xvfb.
# Targets: a page and everything it loads < 1.5 MB compressed; first frame within 1.5x the bare
# page; idle CPU < 1% of a core; no desktop wake-ups.
# Usage: tools/web_benchmark.sh [SITE_DIR] [BIN_DIR]
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
site=${1:-$repo/build-web/site}
bin=${2:-$repo/build/bin}
font=$(dirname "$site")/drills-gothic.ttf
[ -f "$site/halvard.wasm" ] && [ -f "$font" ] || { echo "web_benchmark: build the pages first (tools/build-web.sh)" >&2; exit 1; }
work=$(mktemp -d)
trap 'kill ${app:-} ${wm:-} ${xvfb:-} 2>/dev/null; rm -rf "$work"' EXIT
programs=(halvard morvane quillon brenwick)

echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| page | files | raw bytes | gzip -9 bytes | under 1.5 MB compressed |"
echo "|---|---|---:|---:|---|"
for p in "${programs[@]}"; do
  raw=0 gz=0
  for f in "$p.html" "$p.wasm"; do
    raw=$((raw + $(stat -c %s "$site/$f")))
    gz=$((gz + $(gzip -9c "$site/$f" | wc -c)))
  done
  echo "| $p | $p.html .wasm | $raw | $gz | $([ "$gz" -lt 1500000 ] && echo yes || echo NO) |"
done
for f in "${programs[0]}.wasm" "${programs[0]}.html" index.html; do
  echo "| ($f alone) | | $(stat -c %s "$site/$f") | $(gzip -9c "$site/$f" | wc -c) | |"
done
echo

# The bare page: one line of the same font drawn on a 2D canvas once the font has loaded.
mkdir -p "$work/site"
cp -r "$site"/. "$work/site/"
cp "$font" "$work/site/bare-font.ttf"
cat >"$work/site/bare.html" <<'HTML'
<!DOCTYPE html><html><head><meta charset="utf-8"><title>bare</title></head>
<body style="margin:0;background:#000"><canvas id="c" width="1440" height="900"></canvas><script>
new FontFace('Bare', 'url(bare-font.ttf)').load().then(f => {
  document.fonts.add(f);
  const g = document.getElementById('c').getContext('2d');
  g.fillStyle = '#fff'; g.font = '16px Bare';
  g.fillText('次の方程式を解きなさい。 ６χ＋７＝３７', 20, 40);
});
</script></body></html>
HTML

# Every load is a cold one: the server forbids caching, so the browser fetches and compiles all
# of a page each time, with nothing kept from the last load.
cat >"$work/serve.py" <<'PY'
import functools, http.server, sys

class NoStore(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        self.send_header('Cache-Control', 'no-store')
        super().end_headers()

    def log_message(self, *args):
        pass

http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[2])),
                                functools.partial(NoStore, directory=sys.argv[1])).serve_forever()
PY

/usr/bin/python3 - "$work/site" "$work" "$repo/tests" <<'PY'
import json, statistics, subprocess, sys, time

site, work = sys.argv[1], sys.argv[2]
sys.path.insert(0, sys.argv[3])
from devtools import Session, free_port, wait_http

def fetch(url):
    return wait_http(url, 'web_benchmark')

port, devtools = free_port(), free_port()
procs = [subprocess.Popen([sys.executable, f'{work}/serve.py', site, str(port)],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]
fetch(f'http://127.0.0.1:{port}/bare.html')
procs.append(subprocess.Popen(['chromium', '--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run',
                               f'--remote-debugging-port={devtools}', f'--user-data-dir={work}/profile', 'about:blank'],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
try:
    browser = Session(json.loads(fetch(f'http://127.0.0.1:{devtools}/json/version'))['webSocketDebuggerUrl'], 'web_benchmark')
    page = next(t for t in json.loads(fetch(f'http://127.0.0.1:{devtools}/json')) if t['type'] == 'page')
    tab = Session(page['webSocketDebuggerUrl'], 'web_benchmark')
    tab.call('Page.enable')
    tab.call('Emulation.setDeviceMetricsOverride', width=1920, height=1080, deviceScaleFactor=1, mobile=False)
    # The first drawing on any 2D canvas, in ms since navigation: when it is asked for, and when
    # the script that asked is done with it (so a picture handed over in parts counts once all of
    # it is); then the first drawing after each key.
    tab.call('Page.addScriptToEvaluateOnNewDocument', source='''
      window.__first = null; window.__done = null; window.__keyAt = null; window.__lat = [];
      for (const name of ['putImageData', 'fillText']) {
        const f = CanvasRenderingContext2D.prototype[name];
        CanvasRenderingContext2D.prototype[name] = function (...a) {
          const t = performance.now();
          if (window.__first === null) {
            window.__first = t;
            queueMicrotask(() => { window.__done = performance.now(); });
          }
          if (window.__keyAt !== null) { window.__lat.push(t - window.__keyAt); window.__keyAt = null; }
          return f.apply(this, a);
        };
      }
      addEventListener('keydown', e => { window.__keyAt = performance.now(); }, true);''')

    def first_frame(path):
        tab.call('Page.navigate', url=f'http://127.0.0.1:{port}/{path}')
        for _ in range(600):
            t = tab.evaluate('window.__done === null ? null : [window.__first, window.__done]')
            if t is not None:
                return t
            time.sleep(0.01)
        raise SystemExit(f'{path}: nothing drawn')

    def first_frames(title):
        programs = ['halvard', 'morvane', 'quillon', 'brenwick']
        paths = ['bare.html'] + [f'{prog}.html?clock=12:34:56' for prog in programs]
        for path in paths:
            first_frame(path)  # once to warm the server and the browser's own start-up
        # Round after round of every page, the anchor included, so that a change of the machine's
        # speed during the run touches them all alike.
        times = {path: [] for path in paths}
        for _ in range(20):
            for path in paths:
                times[path].append(first_frame(path))
        bare = times['bare.html']
        rows = [(prog, times[f'{prog}.html?clock=12:34:56']) for prog in programs]
        median = lambda times, i: statistics.median(t[i] for t in times)
        print(f'| {title} | asked, ms | drawn, ms | × bare page (drawn) | within 1.5× |')
        print('|---|---:|---:|---:|---|')
        print(f'| bare page: one line of the font on a 2D canvas (median of {len(bare)}) | '
              f'{median(bare, 0):.0f} | {median(bare, 1):.0f} | 1.00 | |')
        for name, times in rows:
            ratio = median(times, 1) / median(bare, 1)
            print(f'| {name} | {median(times, 0):.0f} | {median(times, 1):.0f} | {ratio:.2f} | '
                  f'{"yes" if ratio <= 1.5 else "NO"} |')
        print()

    first_frames('first picture, median of 20, loaded as a pupil\'s browser loads it')
    # The same with DevTools recording the network, as a developer watching it would load it: the
    # recording itself costs the page time for every byte it loads.
    tab.call('Network.enable')
    tab.call('Network.setCacheDisabled', cacheDisabled=True)
    first_frames('the same with DevTools recording the network')
    tab.call('Network.disable')

    # Key-to-canvas: digits typed at the start-number prompt, each until its drawing.
    tab.call('Page.navigate', url=f'http://127.0.0.1:{port}/halvard.html?clock=12:34:56')
    while not tab.evaluate('typeof Module !== "undefined" && typeof Module.drillsWake === "function"'):
        time.sleep(0.05)
    lat = []
    for k in '1' + '1\r' + 'x=12345' + '\x08' * 5 + '6789' + '\x08' * 4 + '12345' + '\x08' * 5 + '678':
        key = {'\r': ('Enter', 13, '\r'), '\x08': ('Backspace', 8, '')}.get(k, (k, ord(k.upper()), k))
        down = {'type': 'keyDown', 'key': key[0], 'windowsVirtualKeyCode': key[1]}
        if key[2]:
            down['text'] = key[2]
        tab.call('Input.dispatchKeyEvent', **down)
        tab.call('Input.dispatchKeyEvent', type='keyUp', key=key[0], windowsVirtualKeyCode=key[1])
        time.sleep(0.15)
        lat += tab.evaluate('window.__lat.splice(0)')
    print('| key to canvas (halvard, answer line) | ms |')
    print('|---|---:|')
    print(f'| median of {len(lat)} keys that drew | {statistics.median(lat):.1f} |')
    print(f'| slowest | {max(lat):.1f} |')
    print()

    # The waiting tab: CPU time of its renderer process (and of all Chromium's) over 20 s, beside
    # the bare page left open as long, for what Chromium itself spends on an open tab.
    def cpu():
        info = browser.call('SystemInfo.getProcessInfo')['processInfo']
        return ({p['id']: p['cpuTime'] for p in info if p['type'] == 'renderer'}, sum(p['cpuTime'] for p in info))

    def idle():
        time.sleep(2)
        r0, a0 = cpu()
        time.sleep(20)
        r1, a1 = cpu()
        return max(r1[i] - r0.get(i, 0) for i in r1) / 20 * 100, (a1 - a0) / 20 * 100

    page_cpu = idle()
    tab.call('Page.navigate', url=f'http://127.0.0.1:{port}/bare.html')
    bare_cpu = idle()
    print('| open tab, 20 s | renderer, % of a core | all Chromium, % of a core | under 1% |')
    print('|---|---:|---:|---|')
    print(f'| halvard waiting on its answer line | {page_cpu[0]:.2f} | {page_cpu[1]:.2f} | {"yes" if page_cpu[0] < 1 else "NO"} |')
    print(f'| bare page (anchor) | {bare_cpu[0]:.2f} | {bare_cpu[1]:.2f} | |')
    print()
finally:
    for p in procs:
        p.kill()
        p.wait()
PY

# The desktop program waiting in a window: voluntary context switches over 10 s.
if command -v Xvfb >/dev/null && command -v openbox >/dev/null && [ -x "$bin/halvard" ]; then
  . "$repo/tools/x_display.sh"
  start_display 1600x1000
  "$bin/halvard" --clock 12:34:56 --no-results >/dev/null 2>&1 &
  app=$!
  sleep 3
  switches() { cat /proc/"$app"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'; }
  w0=$(switches); sleep 10; w1=$(switches)
  echo "| desktop halvard waiting in a window (Xvfb, openbox), 10 s | wake-ups per second |"
  echo "|---|---:|"
  echo "| voluntary context switches of all its threads | $(awk -v d=$((w1 - w0)) 'BEGIN { printf "%.1f", d / 10 }') |"
fi
echo
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
