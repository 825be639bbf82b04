"""Talking to headless Chromium over its DevTools protocol, for the browser test and the web
benchmark: a free port, a wait for a server to answer, and a session with one target."""
import json, socket, time, urllib.request

import websocket  # Debian's python3-websocket


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def wait_http(url, who):
    """The body at url once something answers there; ends the run, naming who, when nothing does."""
    for _ in range(300):
        try:
            return urllib.request.urlopen(url).read()
        except OSError:
            time.sleep(0.1)
    raise SystemExit(f'{who}: nothing answers at {url}')


class Session:
    """One DevTools target (the browser or a page) by its WebSocket address."""

    def __init__(self, url, who):
        self.ws = websocket.create_connection(url, suppress_origin=True, timeout=120)
        self.who = who
        self.n = 0

    def call(self, method, **params):
        self.n += 1
        self.ws.send(json.dumps({'id': self.n, 'method': method, 'params': params}))
        while True:
            m = json.loads(self.ws.recv())
            if m.get('id') == self.n:
                if 'error' in m:
                    raise SystemExit(f'{self.who}: {method}: {m["error"]}')
                return m['result']

    def evaluate(self, expression):
        r = self.call('Runtime.evaluate', expression=expression, awaitPromise=True, returnByValue=True)
        if 'exceptionDetails' in r:
            raise SystemExit(f'{self.who}: {r["exceptionDetails"]}')
        return r['result'].get('value')
