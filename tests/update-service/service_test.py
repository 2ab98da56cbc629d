#!/usr/bin/env python3
"""The update service end to end: `orbita-tool service publish` makes a folder
from a program folder, `orbita-tool service serve` starts the real nginx on a
free loopback port, and every query the program sends is checked over a raw
socket (so that paths reach the server exactly as written). Exits with 77
(skipped) when nginx is not installed.

Usage: service_test.py ORBITA_TOOL
"""
import hashlib
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

TOOL = None
SKIPPED = 77


def nginx_installed():
    return shutil.which("nginx") is not None or os.access("/usr/sbin/nginx", os.X_OK)


def make_package(path, member, extra=()):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        if member:
            archive.writestr(member, "[Karnacja]\r\nNazwa=x\r\n")
        for name, data in extra:
            archive.writestr(name, data)


def read_bytes(path):
    with open(path, "rb") as source:
        return source.read()


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def request(port, target, method="GET"):
    """One HTTP/1.0 request with the target exactly as given; (status, headers, body)."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as connection:
        connection.sendall(("%s %s HTTP/1.0\r\nHost: 127.0.0.1\r\nUser-Agent: Orbita\r\n\r\n"
                            % (method, target)).encode("latin-1"))
        answer = b""
        while True:
            block = connection.recv(65536)
            if not block:
                break
            answer += block
    head, _, body = answer.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    return int(lines[0].split()[1]), headers, body


def query(port, text):
    return request(port, "/support_orb3?akcja=orbita&" + text)


def run_tool(*args):
    return subprocess.run([TOOL, "service", *args], capture_output=True, text=True, timeout=120)


class ServiceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        base = cls.temp.name
        # Started as root, nginx's workers read the folder as "nobody".
        os.chmod(base, 0o755)
        cls.program = os.path.join(base, "program")
        cls.published = os.path.join(base, "published")
        skins = os.path.join(cls.program, "KARNACJE")
        tests = os.path.join(cls.program, "TESTY")
        os.makedirs(skins)
        os.makedirs(tests)
        make_package(os.path.join(skins, "Niebieski.obs"), "ORBSKIN.INI")
        make_package(os.path.join(skins, "Zielony-2_a.obs"), "ORBSKIN.INI")
        make_package(os.path.join(skins, "\u017b\u00f3\u0142ty.obs"), "ORBSKIN.INI")  # Polish letters
        make_package(os.path.join(skins, "Bez definicji.obs"), "ORBSKIN.INI")  # a space
        make_package(os.path.join(skins, "Pusty.obs"), None, [("README.TXT", "x")])  # no ORBSKIN.INI
        with open(os.path.join(skins, "Zepsuty.obs"), "wb") as broken:
            broken.write(b"not an archive at all")
        make_package(os.path.join(tests, "Budowa_atomu.obt"), "TEST.TXT")
        make_package(os.path.join(tests, "Wielkie.OBT"), "TEST.TXT")  # the service names ".obt"
        with open(os.path.join(tests, "notatki.txt"), "w") as notes:
            notes.write("not a package")
        # The setup file of a new version: a program folder whose "orbita"
        # carries its version marker.
        cls.setup = os.path.join(base, "nowa.zip")
        with zipfile.ZipFile(cls.setup, "w", zipfile.ZIP_DEFLATED) as archive:
            archive.writestr("orbita", b"\x7fELF...ORBITA-FILEVERSION:3.6.12.0\x00...")
            archive.writestr("ORBITA.DAT", b"PK")
        cls.port = free_port()
        cls.base = "http://127.0.0.1:%d/support_orb3" % cls.port
        cls.publish = run_tool("publish", cls.published, "--from", cls.program, "--setup", cls.setup,
                               "--address", cls.base + "/")
        # Files the service must never hand out.
        with open(os.path.join(cls.published, "tajne.obs"), "w") as secret:
            secret.write("secret")
        os.symlink(os.path.join(cls.published, "tajne.obs"),
                   os.path.join(cls.published, "KARNACJE", "Odnosnik.obs"))
        for name in ("A" * 64 + ".obs", "B" * 65 + ".obs"):
            make_package(os.path.join(cls.published, "KARNACJE", name), "ORBSKIN.INI")
        cls.rundir = os.path.join(base, "run")
        environment = dict(os.environ, ORBITA_SERVICE_RUNDIR=cls.rundir)
        cls.server = subprocess.Popen([TOOL, "service", "serve", cls.published, "--port", str(cls.port)],
                                      env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        deadline = time.monotonic() + 30
        while True:
            if cls.server.poll() is not None:
                raise RuntimeError("the service ended: " + cls.server.stderr.read().decode())
            try:
                socket.create_connection(("127.0.0.1", cls.port), timeout=1).close()
                break
            except OSError:
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.1)

    @classmethod
    def tearDownClass(cls):
        cls.server.terminate()
        try:
            cls.server.wait(timeout=20)
        except subprocess.TimeoutExpired:
            cls.server.kill()
            cls.server.wait()
        cls.server.stderr.close()
        cls.temp.cleanup()

    def published_bytes(self, *parts):
        return read_bytes(os.path.join(self.published, *parts))

    def test_publish_lists_only_usable_packages(self):
        self.assertEqual(self.publish.returncode, 0, self.publish.stderr)
        self.assertEqual(self.published_bytes("skory.txt"), b"Niebieski.obs\nZielony-2_a.obs\n")
        self.assertEqual(self.published_bytes("testy.txt"), b"Budowa_atomu.obt\n")
        for skipped in ("\u017b\u00f3\u0142ty.obs", "Bez definicji.obs", "Pusty.obs", "Zepsuty.obs",
                        "Wielkie.OBT"):
            self.assertIn(skipped, self.publish.stderr)
            self.assertFalse(os.path.exists(os.path.join(self.published, "KARNACJE", skipped)))
        self.assertNotIn("notatki.txt", self.publish.stderr)
        self.assertEqual(self.published_bytes("KARNACJE", "Niebieski.obs"),
                         read_bytes(os.path.join(self.program, "KARNACJE", "Niebieski.obs")))

    def test_version_block_names_the_setup_file_and_its_digest(self):
        digest = hashlib.sha256(read_bytes(self.setup)).hexdigest()
        self.assertEqual(self.published_bytes("wersja.txt").decode().split("\n"),
                         ["Orbita", "3.6.12.0", self.base + "/orbita-3.6.12.zip", "sha256=" + digest, ""])
        status, _, body = query(self.port, "operacja=pokaz&parametr=wersja")
        self.assertEqual(status, 200)
        address = body.decode().split("\n")[2]
        status, _, setup = request(self.port, address[len("http://127.0.0.1:%d" % self.port):])
        self.assertEqual(status, 200)
        self.assertEqual(hashlib.sha256(setup).hexdigest(), digest)

    def test_lists_and_packages_are_served(self):
        for parameter, expected in (("skory", b"Niebieski.obs\nZielony-2_a.obs\n"),
                                    ("testy", b"Budowa_atomu.obt\n")):
            status, headers, body = query(self.port, "operacja=pokaz&parametr=" + parameter)
            self.assertEqual((status, body), (200, expected))
            self.assertEqual(headers["content-length"], str(len(expected)))  # the program insists on it
            self.assertTrue(headers["content-type"].startswith("text/plain"))
        status, headers, body = query(self.port, "operacja=pobierz_skore&parametr=Niebieski.obs")
        self.assertEqual((status, body), (200, self.published_bytes("KARNACJE", "Niebieski.obs")))
        self.assertEqual(headers["content-length"], str(len(body)))
        status, _, body = query(self.port, "operacja=pobierz_test&parametr=Budowa_atomu.obt")
        self.assertEqual((status, body), (200, self.published_bytes("TESTY", "Budowa_atomu.obt")))
        status, _, body = query(self.port, "operacja=pobierz_skore&parametr=" + "A" * 64 + ".obs")
        self.assertEqual(status, 200)

    def test_names_outside_the_rule_are_refused(self):
        secret = b"secret"
        for parameter in ("../tajne.obs", "..%2ftajne.obs", "%2e%2e%2ftajne.obs", "%2e%2e/tajne.obs",
                          "..%5ctajne.obs", "/tajne.obs", "Nie%20bieski.obs", "Niebieski.obs%00",
                          "Niebieski.obs%0a", "Niebieski", "Niebieski.OBS", "Niebieski.obt",
                          "Odnosnik.obs", "B" * 65 + ".obs", ".obs", ""):
            status, _, body = query(self.port, "operacja=pobierz_skore&parametr=" + parameter)
            self.assertEqual(status, 404, parameter)
            self.assertNotIn(secret, body)
        # The test packages are asked for with their own operation only.
        status, _, _ = query(self.port, "operacja=pobierz_test&parametr=Niebieski.obs")
        self.assertEqual(status, 404)
        # A raw space or control character breaks the request line itself.
        for parameter in ("Nie bieski.obs", "Niebieski.obs\t"):
            status, _, body = query(self.port, "operacja=pobierz_skore&parametr=" + parameter)
            self.assertIn(status, (400, 404), repr(parameter))
            self.assertNotIn(secret, body)

    def test_everything_else_is_not_found(self):
        for target in ("/", "/skory.txt", "/KARNACJE/Niebieski.obs", "/tajne.obs", "/run/access.log",
                       "/support_orb3", "/support_orb3/", "/support_orb3/../skory.txt",
                       "/support_orb3/skory.txt", "/support_orb3/orbita-3.6.12.zip/",
                       "/support_orb3/orbita-3.6.zip", "/support_orb3/../tajne.obs",
                       "/support_orb3?akcja=inna&operacja=pokaz&parametr=skory",
                       "/support_orb3?akcja=orbita&operacja=pokaz&parametr=karnacje",
                       "/support_orb3?akcja=orbita&operacja=pokaz",
                       "/support_orb3?operacja=pokaz&parametr=skory",
                       "/support_orb3?akcja=orbita&operacja=uruchomienie&parametr=x",
                       "/support_orb3?akcja=orbita&operacja=pobierz_skore&parametr=..&parametr=Niebieski.obs"):
            status, _, _ = request(self.port, target)
            self.assertEqual(status, 404, target)
        status, _, _ = request(self.port, "/support_orb3?akcja=orbita&operacja=pokaz&parametr=skory", "POST")
        self.assertEqual(status, 405)

    def test_start_notifications_are_answered_and_counted(self):
        for _ in range(3):
            status, _, body = query(self.port, "operacja=uruchomienie")
            self.assertEqual((status, body), (204, b""))
        # nginx writes the line after the answer: wait for it.
        deadline = time.monotonic() + 10
        while True:
            with open(os.path.join(self.rundir, "starts.log")) as starts:
                lines = starts.read().splitlines()
            if len(lines) >= 3 or time.monotonic() > deadline:
                break
            time.sleep(0.05)
        self.assertEqual(len(lines), 3)
        self.assertTrue(all("GET /support_orb3?akcja=orbita&operacja=uruchomienie HTTP/1.0\" 204" in line
                            and line.endswith('"Orbita"') for line in lines), lines)
        with open(os.path.join(self.rundir, "access.log")) as access:
            counted = [line for line in access if "operacja=uruchomienie HTTP/1.0\" 204" in line]
        self.assertEqual(len(counted), 3)

    def test_rate_limit_is_a_plain_size(self):
        # Without a limit nginx is told so; anything but digits and k or m
        # never reaches the configuration.
        with open(os.path.join(self.rundir, "nginx.conf")) as conf:
            self.assertIn("limit_rate 0;", conf.read())
        for rate in ("512k; return 200", "1g", "-1", "k", "1 m"):
            rundir = os.path.join(self.temp.name, "bad-rate")
            result = subprocess.run([TOOL, "service", "serve", self.published, "--port", str(free_port())],
                                    env=dict(os.environ, ORBITA_SERVICE_RUNDIR=rundir, ORBITA_SERVICE_RATE=rate),
                                    capture_output=True, text=True, timeout=60)
            self.assertEqual(result.returncode, 2, rate)
            self.assertIn("rate", result.stderr)
            self.assertFalse(os.path.exists(os.path.join(rundir, "nginx.conf")), rate)


class PublishTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.program = os.path.join(self.temp.name, "program")
        self.published = os.path.join(self.temp.name, "published")
        os.makedirs(os.path.join(self.program, "TESTY"))  # no KARNACJE: no skins
        for name in ("Jeden", "Dwa"):
            make_package(os.path.join(self.program, "TESTY", name + ".obt"), "TEST.TXT")

    def tearDown(self):
        self.temp.cleanup()

    def test_publishing_again_follows_the_program_folder(self):
        self.assertEqual(run_tool("publish", self.published, "--from", self.program).returncode, 0)
        with open(os.path.join(self.published, "testy.txt"), "rb") as tests:
            self.assertEqual(tests.read(), b"Dwa.obt\nJeden.obt\n")
        with open(os.path.join(self.published, "wersja.txt"), "w") as version:
            version.write("Orbita\n3.5.1.0\nhttps://x/orbita-3.5.1.zip\n")
        os.remove(os.path.join(self.program, "TESTY", "Dwa.obt"))
        make_package(os.path.join(self.program, "TESTY", "Trzy.obt"), "TEST.TXT")
        result = run_tool("publish", self.published, "--from", self.program)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(os.listdir(os.path.join(self.published, "TESTY"))), ["Jeden.obt", "Trzy.obt"])
        with open(os.path.join(self.published, "testy.txt"), "rb") as tests:
            self.assertEqual(tests.read(), b"Jeden.obt\nTrzy.obt\n")
        with open(os.path.join(self.published, "skory.txt"), "rb") as skins:
            self.assertEqual(skins.read(), b"")
        # Without a new setup file the version block stays.
        with open(os.path.join(self.published, "wersja.txt")) as version:
            self.assertEqual(version.read(), "Orbita\n3.5.1.0\nhttps://x/orbita-3.5.1.zip\n")

    def test_refuses_what_it_cannot_publish(self):
        setup = os.path.join(self.temp.name, "bez_programu.zip")
        make_package(setup, "ORBITA.DAT")
        no_version = os.path.join(self.temp.name, "bez_wersji.zip")
        with zipfile.ZipFile(no_version, "w") as archive:
            archive.writestr("orbita", b"\x7fELF no marker")
        for args, code in ((["--setup", setup], 2),  # no address
                           (["--address", "http://127.0.0.1/support_orb3"], 2),  # no setup
                           (["--setup", setup, "--address", "ftp://127.0.0.1/x"], 2),
                           (["--setup", setup, "--address", "http://127.0.0.1/support_orb3"], 1),
                           (["--setup", no_version, "--address", "http://127.0.0.1/support_orb3"], 1),
                           (["--unknown"], 2)):
            result = run_tool("publish", self.published, "--from", self.program, *args)
            self.assertEqual(result.returncode, code, args)
        self.assertFalse(os.path.exists(os.path.join(self.published, "wersja.txt")))
        result = run_tool("publish", self.published, "--from", os.path.join(self.temp.name, "none"))
        self.assertEqual(result.returncode, 1)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    TOOL = sys.argv.pop(1)
    if not nginx_installed():
        print("nginx is not installed: the update service is not tested")
        sys.exit(SKIPPED)
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
