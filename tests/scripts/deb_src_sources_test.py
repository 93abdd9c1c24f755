"""scripts/deb-src-sources against made-up apt configurations."""

import os
import pathlib
import subprocess
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "deb-src-sources"

ONE_LINE = """\
# deb http://commented.example/debian bookworm main
deb http://mirror.example/debian bookworm main contrib
deb-src http://mirror.example/debian bookworm main
  deb [arch=amd64 signed-by=/k.gpg] https://other.example/apt stable main
"""

DEB822 = """\
Types: deb
# a note
URIs: http://mirror.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://sources-only.example/debian
Suites: bookworm
Components: main

types: deb deb-src
URIs: http://both.example/debian
Suites: bookworm-security
Components: main
Enabled: no
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 -----END PGP PUBLIC KEY BLOCK-----
"""

DEB822_OUT = """\
Types: deb-src
URIs: http://mirror.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://both.example/debian
Suites: bookworm-security
Components: main
Enabled: no
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 -----END PGP PUBLIC KEY BLOCK-----

"""


class DebSrcSources(unittest.TestCase):
    def run_on(self, files):
        """Runs the script on an apt folder holding `files`; (status, list, parts)."""
        with tempfile.TemporaryDirectory() as top:
            etc = pathlib.Path(top, "apt")
            for name, text in files.items():
                path = etc / name
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text(text)
            out = pathlib.Path(top, "out")
            done = subprocess.run([str(SCRIPT), str(etc), str(out)], capture_output=True, text=True)
            read = lambda p: p.read_text() if p.exists() else None
            return done.returncode, read(out / "sources.list"), read(out / "sources.list.d" / "machine.sources")

    def test_entries_keep_their_sources_with_the_type_changed(self):
        cases = [
            ("one-line file", {"sources.list": ONE_LINE},
             "deb-src http://mirror.example/debian bookworm main contrib\n"
             "deb-src [arch=amd64 signed-by=/k.gpg] https://other.example/apt stable main\n", ""),
            ("deb822 file", {"sources.list.d/debian.sources": DEB822}, "", DEB822_OUT),
            ("both kinds; other extensions are not apt's",
             {"sources.list.d/extra.list": "deb http://extra.example/d sid main\n",
              "sources.list.d/debian.sources": DEB822,
              "sources.list.d/old.list.disabled": "deb http://off.example/d sid main\n",
              "sources.list.d/old.sources.disabled": DEB822.replace("mirror", "off")},
             "deb-src http://extra.example/d sid main\n", DEB822_OUT),
        ]
        for what, files, want_list, want_parts in cases:
            with self.subTest(what):
                status, got_list, got_parts = self.run_on(files)
                self.assertEqual(status, 0)
                self.assertEqual(got_list, want_list)
                self.assertEqual(got_parts, want_parts)

    def test_no_binary_entry_is_an_error(self):
        for what, files in [
            ("no files", {}),
            ("only source and commented entries",
             {"sources.list": "# deb http://x.example/d sid main\ndeb-src http://x.example/d sid main\n",
              "sources.list.d/s.sources": "Types: deb-src\nURIs: http://x.example/d\nSuites: sid\n"}),
        ]:
            with self.subTest(what):
                status, _, _ = self.run_on(files)
                self.assertEqual(status, 1)


if __name__ == "__main__":
    unittest.main()
