#!/usr/bin/env python3
"""The demo portal's login services, partner-login pages and request log,
and the login page's side of the client's command bridge."""
import http.client
import json
import os
import re
import socket
import subprocess
import sys
import tempfile
import time
import unittest
from urllib.parse import urlsplit

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
LOGIN_PAGE = os.path.join(TOP, "portal", "pages", "doln", "clients", "doln-gwb2-zddl", "reg.html")
COMMAND_WORDS = {"loadgame", "exitgame", "minimize", "redrict:", "autorun0", "autorun1", "saveinfo",
                 "readinfo", "setupkey", "read_key", "loginnum", "setpauth"}


def reference_slot(name):
    with open(os.path.join(TOP, "res", "builds", "reference.build"), encoding="utf-8") as f:
        for line in f:
            if line.startswith(name + "="):
                return line.rstrip("\n").split("=", 1)[1]
    raise KeyError(name)


def start_portal(*args):
    """A portal on a free port; returns (process, port)."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    proc = subprocess.Popen([sys.executable, os.path.join(TOP, "portal", "portal.py"), "--port", str(port), *args],
                            stdout=subprocess.DEVNULL)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), 0.1).close()
            break
        except OSError:
            time.sleep(0.05)
    return proc, port


UPDATE_INFO = "/webStatic/index.php?_c=client&_a=getUpdateInfo&game=doln&aid=2&ver=3.0.0.1"


class PortalCase(unittest.TestCase):
    port = None

    def get(self, path, cookie=None, raw=False):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        conn.request("GET", path, headers={"Cookie": cookie} if cookie else {})
        response = conn.getresponse()
        body = response.read()
        body = body if raw else body.decode("utf-8")
        conn.close()
        cookies = {}
        for header in response.headers.get_all("Set-Cookie") or []:
            name, _, rest = header.partition("=")
            value, _, attributes = rest.partition(";")
            self.assertIn("Path=/", attributes)
            cookies[name] = value
        return response.status, body, cookies, response.headers


class PortalTest(PortalCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.log = os.path.join(cls.tmp.name, "portal.log")
        cls.proc, cls.port = start_portal("--log", cls.log)

    @classmethod
    def tearDownClass(cls):
        cls.proc.terminate()
        cls.proc.wait()
        cls.tmp.cleanup()

    def test_login_page_at_the_reference_address_and_logged(self):
        params = "agid=0&cid=3000&aid=2&game=doln&did=1&vid=2&mac=3&toAd=1&autorun=0"
        path = urlsplit(reference_slot("LoginPageUrl"))
        status, body, _, _ = self.get(path.path + "?" + path.query + params)
        self.assertEqual(status, 200)
        self.assertIn("check_login", body)
        with open(self.log, encoding="utf-8") as f:
            entries = [json.loads(line) for line in f]
        self.assertIn(path.query + params, [e["query"] for e in entries if e["path"] == path.path])

    def test_login_sets_cookies_that_fit_the_client_and_check_finds_the_account(self):
        status, body, cookies, _ = self.get("/user/login?account=%E5%BC%A0%E4%B8%89")
        fields = body.split("|")
        self.assertEqual((status, fields[0], fields[2]), (200, "ok", "张三"))
        self.assertEqual(fields[3], cookies["Pauth"])
        self.assertEqual(cookies["ptusertype"], "0")
        # The client refuses a cookie of more than 255 characters with its name.
        self.assertLessEqual(len("Pauth=" + cookies["Pauth"]), 255)
        _, again, _, _ = self.get("/user/check", "Pauth=" + cookies["Pauth"])
        self.assertEqual(again.split("|")[:3], fields[:3])
        self.assertEqual(self.get("/user/check")[1], "no")
        self.assertEqual(self.get("/user/check", "Pauth=forged")[1], "no")
        for bad in ("", "a%7Cb", "a-b", "x" * 33):
            self.assertTrue(self.get("/user/login?account=" + bad)[1].startswith("fail|"), bad)

    def test_partner_login_runs_from_start_to_a_completion_page_that_sets_pauth(self):
        for provider, user_type in (("qzone", "1"), ("weibo", "2"), ("weixin", "3")):
            status, _, _, headers = self.get(f"/{provider}/redirectToAuthorize.do?params=from%3Dclient")
            self.assertEqual(status, 302)
            status, form, _, _ = self.get(urlsplit(headers["Location"]).path + "?" + urlsplit(headers["Location"]).query)
            self.assertEqual(status, 200)
            self.assertIn(f'action="/{provider}/callback.do"', form)
            for page in ("callback.do", "extAutoBind.do", "extLoginBind.do"):
                status, _, cookies, _ = self.get(f"/{provider}/{page}?nick=Li&state=x")
                self.assertEqual((status, cookies.get("ptusertype")), (200, user_type), page)
                account = self.get("/user/check", "Pauth=" + cookies["Pauth"])[1].split("|")[2]
                self.assertEqual(account, f"{provider}_Li")

    def test_auto_login_redirects_only_to_web_addresses(self):
        status, _, cookies, headers = self.get("/user/?_c=hallClient&_a=autoLogin&pauth=T1&url=http%3A%2F%2Fx%2Fpay%2F"
                                               "&ptusertype=0")
        self.assertEqual((status, headers["Location"], cookies["Pauth"]), (302, "http://x/pay/", "T1"))
        self.assertEqual(self.get("/user/?_a=autoLogin&pauth=T&url=javascript%3Aalert(1)")[0], 400)

    def test_no_update_without_one_to_offer(self):
        status, body, _, _ = self.get(UPDATE_INFO)
        self.assertEqual((status, json.loads(body)), (200, {"code": 1}))

    def test_pages_and_nothing_outside_them(self):
        self.assertEqual(self.get("/game/play.html?server=12&account=a")[0], 200)
        self.assertEqual(self.get("/pay/")[0], 200)
        self.assertEqual(self.get("/../portal.py")[0], 404)
        self.assertEqual(self.get("/%2E%2E/portal.py")[0], 404)


class UpdatePortalTest(PortalCase):
    """--update: the description as the release tool wrote it, and the file at its address."""

    def test_serves_the_description_and_the_file_it_names(self):
        with tempfile.TemporaryDirectory() as tmp:
            program = os.path.join(tmp, "Doln2.exe")
            with open(program, "wb") as f:
                f.write(b"MZ" + bytes(range(256)) * 40)
            description = json.dumps({"version": "3.0.0.2", "url": "http://127.0.0.1:7251/update/Doln2.exe"}).encode()
            with open(os.path.join(tmp, "Doln2.json"), "wb") as f:
                f.write(description)
            # At once, and spread over half a second for a demo to watch.
            for extra, least in (((), 0.0), (("--update-seconds", "0.5"), 0.4)):
                proc, port = start_portal("--update", program, *extra)
                try:
                    self.port = port
                    self.assertEqual(self.get(UPDATE_INFO, raw=True)[:2], (200, description))
                    started = time.monotonic()
                    status, body, _, headers = self.get("/update/Doln2.exe", raw=True)
                    self.assertGreaterEqual(time.monotonic() - started, least)
                    self.assertEqual((status, body, headers["Content-Length"]), (200, open(program, "rb").read(),
                                                                                  str(os.path.getsize(program))))
                    self.assertEqual(self.get("/update/other.exe")[0], 404)
                finally:
                    proc.terminate()
                    proc.wait()
            # A description that names no file of the portal is refused at start.
            with open(os.path.join(tmp, "bad.json"), "w") as f:
                json.dump({"url": "ftp://x/y"}, f)
            refused = subprocess.run([sys.executable, os.path.join(TOP, "portal", "portal.py"), "--update", program,
                                      "--update-info", os.path.join(tmp, "bad.json")], capture_output=True)
            self.assertEqual(refused.returncode, 2)
            self.assertIn(b"no update", refused.stderr)


class LoginPageTest(unittest.TestCase):
    def test_every_command_is_one_the_client_knows_and_every_answer_is_defined(self):
        with open(LOGIN_PAGE, encoding="utf-8") as f:
            page = f.read()
        # The client reads the word at positions 6 to 13 of "app:" + two characters + word.
        words = set(re.findall(r"app://(.{8})", page))
        self.assertEqual(words - COMMAND_WORDS, set())
        self.assertGreaterEqual(len(words), 10)
        for name in ("postDataUrl", "getTheKey", "getlogin", "check_login"):
            self.assertRegex(page, r"function %s\(" % name)
        # Positions 14 to 18 of "saveinfo" and "setupkey" are skipped: five characters.
        self.assertIn("app://saveinfo?url=", page)
        self.assertIn("app://setupkey?key=", page)


if __name__ == "__main__":
    unittest.main()
