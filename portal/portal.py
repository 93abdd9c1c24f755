#!/usr/bin/env python3
"""The demo portal: plays the operator's web services on 127.0.0.1 for demos
and end-to-end tests. The client never knows it is talking to it.

Every request is answered and, with --log, appended to a JSON-lines log that
end-to-end tests read (method, path, query, headers). Statistics beacons get an
empty 200 (or a 1x1 GIF for the device and event beacons); the address probe
gets "ok"; the reference build's login page and the game page are served from
portal/pages/. The desktop-icon description (/webStatic/index.php?_c=client&
_a=getIconInfo&game=G) names each known game's shortcut and its icon, which is
served from /webStatic/icons/<game>.ico.

With --update FILE (a newer build) the update description (/webStatic/
index.php?_c=client&_a=getUpdateInfo&game=G&aid=A&ver=V) answers the
description `updatesign describe` wrote for FILE (--update-info, by default
FILE with ".json" for its extension), and FILE is served at the path of the
description's "url"; without it the description answers {"code": 1}, which
clients take for "no update".

The login services behind the page (any account logs in; there are no
passwords to check):
  /user/login?account=A        sets the "Pauth" and "ptusertype" cookies and
                               answers "ok|<account text>|<login game id>"
  /user/check                  the same answer for the account of a valid
                               Pauth cookie, else "no"
  /user/?_a=autoLogin&pauth=T&url=U
                               the client's auto-login address: sets Pauth
                               to T and redirects to U (http or https only)
Partner login, for P in qzone, weibo, weixin:
  /P/redirectToAuthorize.do?params=X
                               redirects to the provider's page
  /P/authorize                 the provider's stand-in: a form that returns
                               to /P/callback.do with a nickname
  /P/callback.do, /P/extAutoBind.do, /P/extLoginBind.do
                               set Pauth (and ptusertype) for "P_<nickname>"
The account text is "<user id>|<account>|<token>", the form the login page
hands to the client with "setpauth"; the Pauth cookie holds the token.
"""
import argparse
import html
import json
import os
import secrets
import struct
import threading
import time
from http.cookies import SimpleCookie
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, quote, urlsplit

HERE = os.path.dirname(os.path.abspath(__file__))
PAGES = os.path.join(HERE, "pages")

# The smallest transparent GIF: what statistics pixels answer.
PIXEL = bytes.fromhex("47494638396101000100800000000000ffffff21f90401000000002c000000000100010000020144003b")

PARTNERS = {"qzone": ("QQ", "1"), "weibo": ("新浪微博", "2"), "weixin": ("微信", "3")}
PARTNER_DONE = ("callback.do", "extAutoBind.do", "extLoginBind.do")

# Accounts are made on first login and live as long as the process.
ACCOUNT_MAX = 32


class Accounts:
    def __init__(self):
        self.lock = threading.Lock()
        self.by_token = {}
        self.ids = {}

    def login(self, account):
        with self.lock:
            uid = self.ids.setdefault(account, len(self.ids) + 1)
            token = f"u{uid}{secrets.token_hex(8)}"
            self.by_token[token] = account
            return uid, token

    def find(self, token):
        with self.lock:
            account = self.by_token.get(token)
            return (self.ids[account], account) if account else (None, None)


ACCOUNTS = Accounts()

CONTENT_TYPES = {".html": "text/html; charset=utf-8", ".htm": "text/html; charset=utf-8",
                 ".js": "application/javascript", ".css": "text/css", ".png": "image/png",
                 ".json": "application/json", ".gif": "image/gif"}


# The provider's login page, reduced to one field: the partner window shows it.
PARTNER_FORM = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>{name}登录</title></head>
<body style="font-family:sans-serif;padding:30px">
<h3>{name}账号登录（演示）</h3>
<form action="/{folder}/callback.do" method="get">
<input type="hidden" name="state" value="{state}">
<p>昵称 <input name="nick" value="demo"></p>
<p><input type="submit" value="授权并登录"></p>
</form></body></html>
"""

PARTNER_DONE_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>登录成功</title></head>
<body style="font-family:sans-serif;padding:30px"><p>{name}账号登录成功，正在返回游戏登录页……</p></body></html>
"""


# Desktop shortcut names and icon colours (BGR) the portal publishes per game.
ICON_GAMES = {"doln": ("梦幻大陆", (0x20, 0x60, 0xE0))}
ICON_DESCRIPTION = "/webStatic/index.php"
ICON_FOLDER = "/webStatic/icons/"


def icon_file(bgr):
    """A one-image 32x32, 32-bit .ico: a filled disc on a transparent ground."""
    size = 32
    header = struct.pack("<HHH", 0, 1, 1)
    pixels = bytearray()
    for y in range(size):
        for x in range(size):
            inside = (x - 15.5) ** 2 + (y - 15.5) ** 2 <= 15 ** 2
            pixels += bytes((*bgr, 0xFF)) if inside else bytes(4)
    mask = bytes(size * 4)  # rows of 32 bits; the alpha channel does the cutting
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = info + bytes(pixels) + mask
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return header + entry + image


class Update:
    """A newer build and its signed description, read once at start."""

    def __init__(self, program, info):
        with open(info, "rb") as f:
            self.description = f.read()
        url = json.loads(self.description)["url"]
        self.path = urlsplit(url).path
        if not url.startswith("http://") or not self.path.startswith("/") or self.path == ICON_DESCRIPTION:
            raise ValueError(f"{info}: the url {url!r} names no file path of this portal")
        with open(program, "rb") as f:
            self.program = f.read()


class Portal(BaseHTTPRequestHandler):
    server_version = "DemoPortal/1.0"
    log_lock = threading.Lock()
    log_path = None
    icon_time = "20261201"
    update = None
    update_seconds = 0.0

    def record(self):
        if not Portal.log_path:
            return
        parts = urlsplit(self.path)
        entry = {"method": self.command, "path": parts.path, "query": parts.query,
                 "headers": {k: v for k, v in self.headers.items()}}
        with Portal.log_lock, open(Portal.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps(entry, ensure_ascii=False) + "\n")

    def answer(self, status, body, content_type="text/plain; charset=utf-8", head_only=False, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        if not head_only:
            self.wfile.write(body)
        return True

    def page(self, path):
        # Only files inside portal/pages are served; a folder by its index.html.
        if path.endswith("/"):
            path += "index.html"
        full = os.path.realpath(os.path.join(PAGES, path.lstrip("/")))
        if not full.startswith(os.path.realpath(PAGES) + os.sep) or not os.path.isfile(full):
            return None
        with open(full, "rb") as f:
            return f.read(), CONTENT_TYPES.get(os.path.splitext(full)[1], "application/octet-stream")

    def cookie(self, name):
        jar = SimpleCookie()
        try:
            jar.load(self.headers.get("Cookie") or "")
        except Exception:
            return ""
        return jar[name].value if name in jar else ""

    @staticmethod
    def login_cookies(token, user_type):
        # Root path: the client reads them from the portal's root address.
        return [("Set-Cookie", f"Pauth={token}; Path=/"), ("Set-Cookie", f"ptusertype={user_type}; Path=/")]

    def services(self, path, query, head_only):
        """The login and partner-login services; None for other paths."""
        def arg(name):
            return query.get(name, [""])[0]

        def text(body, status=200, headers=()):
            return self.answer(status, body.encode("utf-8"), head_only=head_only, headers=headers)

        if path == "/user/login":
            account = arg("account").strip()
            if not account or len(account) > ACCOUNT_MAX or "|" in account or "-" in account:
                return text("fail|账号须为 1 到 32 个字符，不含“|”和“-”")
            uid, token = ACCOUNTS.login(account)
            return text(f"ok|{uid}|{account}|{token}|{7251 + uid}", headers=self.login_cookies(token, "0"))
        if path == "/user/check":
            uid, account = ACCOUNTS.find(self.cookie("Pauth"))
            return text(f"ok|{uid}|{account}|{self.cookie('Pauth')}|{7251 + uid}" if account else "no")
        if path in ("/user/", "/user") and arg("_a") == "autoLogin":
            target = arg("url")
            if urlsplit(target).scheme not in ("http", "https"):
                return text("bad url", 400)
            headers = [("Location", target)] + self.login_cookies(arg("pauth"), arg("ptusertype") or "0")
            return text("", 302, headers)
        folder, _, page = path.lstrip("/").partition("/")
        if folder not in PARTNERS:
            return None
        name, user_type = PARTNERS[folder]
        if page == "redirectToAuthorize.do":
            location = f"/{folder}/authorize?state={quote(arg('params'))}"
            return text("", 302, [("Location", location)])
        if page == "authorize":
            body = PARTNER_FORM.format(name=html.escape(name), folder=folder, state=html.escape(arg("state")))
            return self.answer(200, body.encode("utf-8"), CONTENT_TYPES[".html"], head_only)
        if page in PARTNER_DONE:
            nick = arg("nick").strip()[:ACCOUNT_MAX] or "guest"
            if "|" in nick or "-" in nick:
                return text("fail", 400)
            _, token = ACCOUNTS.login(f"{folder}_{nick}")
            body = PARTNER_DONE_PAGE.format(name=html.escape(name)).encode("utf-8")
            return self.answer(200, body, CONTENT_TYPES[".html"], head_only, self.login_cookies(token, user_type))
        return None

    def respond(self, head_only=False):
        self.record()
        parts = urlsplit(self.path)
        path = parts.path
        handled = self.services(path, parse_qs(parts.query), head_only)
        if handled:
            return
        if path == "/":
            return self.answer(200, b"ok", head_only=head_only)
        if path == ICON_DESCRIPTION and parse_qs(parts.query).get("_a") == ["getUpdateInfo"]:
            return self.update_description(head_only)
        if path == ICON_DESCRIPTION:
            return self.icon_description(head_only)
        if Portal.update and path == Portal.update.path:
            return self.update_file(head_only)
        if path.startswith(ICON_FOLDER) and path.endswith(".ico"):
            game = ICON_GAMES.get(path[len(ICON_FOLDER):-len(".ico")])
            if game:
                return self.answer(200, icon_file(game[1]), "image/x-icon", head_only)
        if path.endswith(".gif") and path.startswith("/_"):
            return self.answer(200, PIXEL, "image/gif", head_only)
        if path in ("/install.htm", "/active.htm", "/uninstall.htm", "/login.htm"):
            return self.answer(200, b"", head_only=head_only)
        found = self.page(path)
        if found:
            return self.answer(200, found[0], found[1], head_only)
        return self.answer(404, b"not found", head_only=head_only)

    def icon_description(self, head_only):
        query = parse_qs(urlsplit(self.path).query)
        game = (query.get("game") or [""])[0]
        if query.get("_a") != ["getIconInfo"] or game not in ICON_GAMES:
            body = {"code": 1}
        else:
            host = self.headers.get("Host") or "127.0.0.1"
            body = {"code": 0, "time": Portal.icon_time, "iconName": ICON_GAMES[game][0],
                    "iconUrl": f"http://{host}{ICON_FOLDER}{game}.ico"}
        self.answer(200, json.dumps(body, ensure_ascii=False).encode("utf-8"),
                    "application/json; charset=utf-8", head_only)

    def update_file(self, head_only):
        program = Portal.update.program
        if Portal.update_seconds <= 0 or head_only:
            return self.answer(200, program, "application/octet-stream", head_only)
        # Spread over the time asked for, so that a demo on this machine
        # shows the client's progress dialog rather than a flash of it.
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(program)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        pieces = 50
        step = -(-len(program) // pieces) or 1
        for at in range(0, len(program), step):
            self.wfile.write(program[at:at + step])
            time.sleep(Portal.update_seconds / pieces)
        return True

    def update_description(self, head_only):
        body = Portal.update.description if Portal.update else b'{"code": 1}'
        self.answer(200, body, "application/json; charset=utf-8", head_only)

    def do_GET(self):
        self.respond()

    def do_HEAD(self):
        self.respond(head_only=True)

    def do_POST(self):
        length = min(int(self.headers.get("Content-Length") or 0), 1 << 20)
        self.rfile.read(length)
        self.respond()

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser(description="demo portal")
    parser.add_argument("--port", type=int, default=7251)
    parser.add_argument("--log", help="append every request to this JSON-lines file")
    parser.add_argument("--icon-time", default=Portal.icon_time,
                        help="the desktop-icon description's time; a new one makes clients refresh")
    parser.add_argument("--update", metavar="FILE", help="a newer build to offer to clients")
    parser.add_argument("--update-info", metavar="FILE",
                        help="its description from `updatesign describe` (default: FILE with .json)")
    parser.add_argument("--update-seconds", type=float, default=0.0, metavar="S",
                        help="spread the update file's download over S seconds")
    args = parser.parse_args()
    if args.update_info and not args.update:
        parser.error("--update-info needs --update")
    if args.update:
        info = args.update_info or os.path.splitext(args.update)[0] + ".json"
        try:
            Portal.update = Update(args.update, info)
        except (OSError, ValueError, KeyError, TypeError) as e:
            parser.error(f"no update to offer: {e}")
    Portal.log_path = args.log
    Portal.update_seconds = args.update_seconds
    Portal.icon_time = args.icon_time
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Portal)
    print(f"portal: http://127.0.0.1:{args.port}/", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
