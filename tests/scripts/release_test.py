"""scripts/release on the built program: the signed programs pass
`osslsigncode verify`, and their descriptions pass the client's checks."""

import os
import pathlib
import subprocess
import tempfile
import unittest

TOP = pathlib.Path(__file__).resolve().parents[2]
NATIVE_BIN = pathlib.Path(os.environ.get("CORVANE_NATIVE_BIN", TOP / "build" / "native" / "bin"))
PROGRAM = pathlib.Path(os.environ.get("CORVANE_WIN_BIN", TOP / "build" / "win" / "bin")) / "corvane.exe"
CTRLBLOCK = NATIVE_BIN / "ctrlblock"
UPDATESIGN = NATIVE_BIN / "updatesign"


def run(*args, **kw):
    return subprocess.run([str(a) for a in args], capture_output=True, text=True, **kw)


class ReleaseTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = pathlib.Path(self.tmp.name)
        self.env = dict(os.environ, RELEASE_DIR=str(self.dir / "out"), CTRLBLOCK=str(CTRLBLOCK),
                        UPDATESIGN=str(UPDATESIGN), PROGRAM=str(PROGRAM))

    def tearDown(self):
        self.tmp.cleanup()

    def release(self, *profiles):
        return run(TOP / "scripts" / "release", *profiles, env=self.env)

    def profile(self, name, extra):
        path = self.dir / f"{name}.build"
        path.write_text((TOP / "res" / "builds" / "reference.build").read_text(encoding="utf-8") + extra,
                        encoding="utf-8")
        return path

    def test_signed_programs_that_installed_clients_take(self):
        released = self.release(self.profile("next", "ClientVersion=3.0.0.2\n"))
        self.assertEqual(released.returncode, 0, released.stderr)
        out = self.dir / "out"
        program, description = out / "next" / "Doln2.exe", out / "next" / "Doln2.json"
        verified = run("osslsigncode", "verify", "-CAfile", out / "test-cert.pem", "-in", program)
        self.assertEqual(verified.returncode, 0, verified.stdout + verified.stderr)
        self.assertFalse((out / "next" / ".work").exists())

        # An installed reference build that trusts the release key takes it.
        public = run(UPDATESIGN, "pubkey", out / "update-key.pem").stdout.strip()
        installed = self.dir / "installed.exe"
        self.assertEqual(run(CTRLBLOCK, "set", PROGRAM, "-o", installed, "UpdateKey=" + public).returncode, 0)
        verdict = run(UPDATESIGN, "verify", description, program, installed)
        self.assertEqual(verdict.returncode, 0, verdict.stderr)
        self.assertIn("http://127.0.0.1:7251/update/next/Doln2.exe", description.read_text())

        # One that trusts no key, or runs the same version, does not.
        self.assertEqual(run(UPDATESIGN, "verify", description, program, PROGRAM).returncode, 1)
        self.assertEqual(run(UPDATESIGN, "verify", description, program, program).returncode, 1)

        # A second release keeps the key and the certificate it made.
        key = (out / "update-key.pem").read_bytes()
        self.assertEqual(self.release(self.profile("next", "ClientVersion=3.0.0.3\n")).returncode, 0)
        self.assertEqual((out / "update-key.pem").read_bytes(), key)

    def test_a_profile_naming_another_key_is_refused(self):
        other = run(UPDATESIGN, "keygen", self.dir / "other.pem").stdout.strip()
        refused = self.release(self.profile("bad", f"UpdateKey={other}\n"))
        self.assertEqual(refused.returncode, 1)
        self.assertIn("UpdateKey", refused.stderr)
        self.assertFalse((self.dir / "out" / "bad" / "Doln2.exe").exists())


if __name__ == "__main__":
    unittest.main()
