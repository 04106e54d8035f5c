#!/usr/bin/env python3
"""Tests of packaging/package.py: which files a definition brings along, the
refusals that keep a broken or unsafe package from being made, Windows line
ends, and a zip that depends only on the files' contents.

    python3 tests/package/package_test.py [-v]
"""
import os
import sys
import tempfile
import unittest
import zipfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging"))
import package  # noqa: E402


def definition(help_file="", active="", inactive="", root="DRUVDevice"):
    def element(name, text):
        return f"<{name}>{text}</{name}>" if text else f"<{name}/>"
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n<{root}>\n  <Company>A &amp; B</Company>\n'
            f"  {element('ActivePNGFile', active)}\n  {element('InactivePNGFile', inactive)}\n"
            f"  {element('HelpFile', help_file)}\n</{root}>\n")


class Folder:
    """A temporary folder with files written into it."""

    def __init__(self, test):
        self._temporary = tempfile.TemporaryDirectory()
        test.addCleanup(self._temporary.cleanup)
        self.path = self._temporary.name

    def write(self, name, content):
        path = os.path.join(self.path, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(content.encode() if isinstance(content, str) else content)
        return path


class NamedFilesTest(unittest.TestCase):
    def test_names_outside_the_definitions_folder_are_refused(self):
        cases = [
            ("absolute Unix path", "/etc/passwd"),
            ("absolute Windows path", "C:\\Help\\dx7.txt"),
            ("drive-relative path", "C:dx7.txt"),
            ("network path", "\\\\server\\share\\dx7.txt"),
            ("parent folder", "..\\dx7.txt"),
            ("parent folder further in", "help/../../dx7.txt"),
            ("current folder", "./dx7.txt"),
            ("empty component", "help//dx7.txt"),
        ]
        for label, name in cases:
            with self.subTest(label):
                folder = Folder(self)
                path = folder.write("a.druv", definition(help_file=name))
                with self.assertRaises(package.PackageError) as raised:
                    package.named_files(path)
                self.assertIn("HelpFile", str(raised.exception))

    def test_files_that_are_no_definitions_are_refused(self):
        cases = [
            ("not XML", "this is not a definition"),
            ("cut short", definition()[:60]),
            ("another root element", definition(root="Device")),
            ("empty", ""),
        ]
        for label, content in cases:
            with self.subTest(label):
                folder = Folder(self)
                with self.assertRaises(package.PackageError):
                    package.named_files(folder.write("a.druv", content))

    def test_names_are_read_as_the_definition_gives_them(self):
        cases = [
            ("none", {}, []),
            ("help file only", {"help_file": "dx7.txt"}, [("HelpFile", "dx7.txt")]),
            ("all three, in field order", {"help_file": "h.txt", "active": "on.png", "inactive": "off.png"},
             [("HelpFile", "h.txt"), ("ActivePNGFile", "on.png"), ("InactivePNGFile", "off.png")]),
            ("Windows separator in a subfolder", {"active": "pictures\\on.png"}, [("ActivePNGFile", "pictures/on.png")]),
            ("blanks around the name", {"help_file": "  dx7 help.txt \n"}, [("HelpFile", "dx7 help.txt")]),
        ]
        for label, fields, expected in cases:
            with self.subTest(label):
                folder = Folder(self)
                self.assertEqual(expected, package.named_files(folder.write("a.druv", definition(**fields))))


class DeviceFilesTest(unittest.TestCase):
    def test_a_named_file_that_is_missing_fails_the_package(self):
        cases = [
            ("help file", {"help_file": "dx7.txt"}, {}, "dx7.txt"),
            ("active picture", {"active": "on.png"}, {}, "on.png"),
            ("inactive picture", {"help_file": "h.txt", "inactive": "off.png"}, {"h.txt": "help"}, "off.png"),
            ("other letter case", {"help_file": "DX7.txt"}, {"dx7.txt": "help"}, "letter case"),
        ]
        for label, fields, present, mentioned in cases:
            with self.subTest(label):
                folder = Folder(self)
                folder.write("dx7.druv", definition(**fields))
                for name, content in present.items():
                    folder.write(name, content)
                with self.assertRaises(package.PackageError) as raised:
                    package.device_files(folder.path)
                self.assertIn(mentioned, str(raised.exception))

    def test_definitions_come_with_their_files_and_nothing_else(self):
        folder = Folder(self)
        folder.write("dx7.druv", definition(help_file="dx7.txt", active="pictures\\dx7.png", inactive="pictures\\dx7.png"))
        folder.write("d50.druv", definition(help_file="shared.txt"))
        folder.write("tx7.druv", definition(help_file="shared.txt"))
        for name in ("dx7.txt", "pictures/dx7.png", "shared.txt", "README.md", "unnamed.txt"):
            folder.write(name, name)
        os.makedirs(os.path.join(folder.path, "folder.druv"))
        names = [name for name, _ in package.device_files(folder.path)]
        self.assertEqual(["d50.druv", "dx7.druv", "dx7.txt", "pictures/dx7.png", "shared.txt", "tx7.druv"], names)


class ReleaseTest(unittest.TestCase):
    def test_two_files_for_one_name_are_refused(self):
        cases = [
            ("same name, other content", "dx7.txt", "one", "dx7.txt", "two", True),
            ("names differing in letter case", "dx7.txt", "one", "DX7.txt", "one", True),
            ("same name, same content", "dx7.txt", "one", "dx7.txt", "one", False),
        ]
        for label, first, first_content, second, second_content, refused in cases:
            with self.subTest(label):
                sources, stage = Folder(self), Folder(self)
                a = sources.write("a/" + first, first_content)
                b = sources.write("b/" + second, second_content)
                release = package.Release(stage.path)
                release.copy("Devices/" + first, a)
                if refused:
                    with self.assertRaises(package.PackageError):
                        release.copy("Devices/" + second, b)
                else:
                    release.copy("Devices/" + second, b)
                    self.assertEqual(["dx7.txt"], os.listdir(os.path.join(stage.path, "Devices")))

    def test_a_staging_folder_with_files_in_it_is_refused(self):
        stage = Folder(self)
        stage.write("left over.txt", "from an earlier run")
        with self.assertRaises(package.PackageError):
            package.assemble(stage.path, "1.0.3", [], [], None, [])


class CommandLineTest(unittest.TestCase):
    def test_a_bad_command_line_makes_no_zip(self):
        folder = Folder(self)
        present = folder.write("DRUV.dll", b"MZ")
        cases = [
            ("version with a folder separator", ["--version", "1.0/3"]),
            ("version with a blank", ["--version", "1.0 beta"]),
            ("file without a name", ["--file", present]),
            ("file that is not there", ["--file", "DRUV.dll=" + present + ".missing"]),
            ("devices that are no folder", ["--devices", present]),
        ]
        for label, arguments in cases:
            with self.subTest(label):
                out = os.path.join(folder.path, "out", "p.zip")
                os.makedirs(os.path.dirname(out), exist_ok=True)
                common = ["--stage", os.path.join(folder.path, "stage-" + label.replace(" ", "-")),
                          "--out", out, "--epoch", "1765000000"]
                if "--version" not in arguments:
                    common += ["--version", "1.0.3"]
                with open(os.devnull, "w") as quiet:
                    stderr, sys.stderr = sys.stderr, quiet
                    try:
                        status = package.main(common + arguments)
                    finally:
                        sys.stderr = stderr
                self.assertEqual(1, status)
                self.assertFalse(os.path.exists(out))


class WindowsTextTest(unittest.TestCase):
    def test_every_line_ends_in_crlf(self):
        cases = [
            ("Unix line ends", b"a\nb\n", b"a\r\nb\r\n"),
            ("already Windows", b"a\r\nb\r\n", b"a\r\nb\r\n"),
            ("mixed", b"a\r\nb\nc", b"a\r\nb\r\nc"),
            ("old Mac line ends", b"a\rb\r", b"a\r\nb\r\n"),
            ("CR before CRLF", b"a\r\r\nb", b"a\r\n\r\nb"),
            ("empty lines", b"\n\n", b"\r\n\r\n"),
            ("no line end", b"abc", b"abc"),
        ]
        for label, given, expected in cases:
            with self.subTest(label):
                self.assertEqual(expected, package.windows_text(given))


class ZipTest(unittest.TestCase):
    FILES = {"DRUV-1/README.txt": b"read me\r\n", "DRUV-1/DRUV.dll": b"MZ" + bytes(range(256)) * 40,
             "DRUV-1/Devices/dx7.druv": b"<DRUVDevice/>", "DRUV-1/Devices/dx7.txt": b"help"}

    def stage(self, order, mtime, mode):
        folder = Folder(self)
        for name in order:
            path = folder.write(name, self.FILES[name])
            os.chmod(path, mode)
            os.utime(path, (mtime, mtime))
        return folder.path

    def test_the_zip_depends_only_on_the_contents(self):
        names = list(self.FILES)
        first = self.stage(names, 1_600_000_000, 0o644)
        second = self.stage(list(reversed(names)), 1_700_000_000, 0o600)
        out = Folder(self)
        a, b = os.path.join(out.path, "a.zip"), os.path.join(out.path, "b.zip")
        package.write_zip(first, a, 1_765_000_000)
        package.write_zip(second, b, 1_765_000_000)
        with open(a, "rb") as one, open(b, "rb") as two:
            self.assertEqual(one.read(), two.read())

    def test_entries_are_sorted_dated_and_plain(self):
        cases = [
            ("the commit's time", 1_765_000_000, (2025, 12, 6, 5, 46, 40)),
            ("before 1980, the zip format's start", 0, (1980, 1, 1, 0, 0, 0)),
        ]
        for label, epoch, date_time in cases:
            with self.subTest(label):
                stage = self.stage(list(self.FILES), 1_600_000_000, 0o600)
                out = os.path.join(Folder(self).path, "p.zip")
                listing = package.write_zip(stage, out, epoch)
                with zipfile.ZipFile(out) as archive:
                    infos = archive.infolist()
                    names = [info.filename for info in infos]
                    self.assertEqual(sorted(names), names)
                    self.assertEqual(["DRUV-1/", "DRUV-1/DRUV.dll", "DRUV-1/Devices/", "DRUV-1/Devices/dx7.druv",
                                      "DRUV-1/Devices/dx7.txt", "DRUV-1/README.txt"], names)
                    for info in infos:
                        self.assertEqual(date_time, info.date_time, info.filename)
                        self.assertEqual(b"", info.extra, info.filename)
                        mode = info.external_attr >> 16
                        self.assertEqual(0o040755 if info.is_dir() else 0o100644, mode, info.filename)
                        if not info.is_dir():
                            self.assertEqual(self.FILES[info.filename], archive.read(info))
                self.assertEqual(sorted(self.FILES), [name for name, _, _ in listing])
                self.assertFalse(os.path.exists(out + ".tmp"))


if __name__ == "__main__":
    unittest.main()
