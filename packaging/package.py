#!/usr/bin/env python3
"""Assembles DRUV's release folder and writes it as a reproducible zip.

    package.py --version V --stage DIR --out ZIP --epoch SECONDS
               [--file NAME=PATH]... [--text NAME=PATH]... [--readme PATH]
               [--devices DIR]...

--file    a file copied as it is to NAME inside the release folder
--text    a text file copied with Windows line ends (CRLF) to NAME
--readme  README.txt: @VERSION@ replaced, Windows line ends
--devices a folder of device definitions (*.druv): each goes to Devices\\
          with the help file and the pictures it names
The release folder is DIR/DRUV-V; DIR must not exist or be empty. The zip
holds that one folder, its entries sorted by name, every entry dated
SECONDS (the commit's time; the zip format starts in 1980), with fixed
permissions and no extra fields, so the same inputs always give the same
bytes. It is written beside ZIP and then moved into place. Prints each
file's size and the zip's.
"""
import argparse
import os
import re
import shutil
import sys
import time
import xml.etree.ElementTree as ElementTree
import zipfile

# The definition's fields that name files beside it.
NAMED_FILE_FIELDS = ("HelpFile", "ActivePNGFile", "InactivePNGFile")
ZIP_EPOCH_MIN = 315532800  # 1980-01-01 00:00:00 UTC, the first date a zip entry can carry
FILE_MODE = 0o100644
FOLDER_MODE = 0o040755
MSDOS_DIRECTORY = 0x10


class PackageError(Exception):
    pass


def folder_name(version):
    return "DRUV-" + version


def windows_text(data):
    """Text bytes with every line end as CRLF (lone LFs and CRs become CRLF)."""
    return re.sub(rb"\r\n|\r|\n", b"\r\n", data)


def named_files(definition):
    """The files a definition names (help file, pictures) as (field, relative
    path with '/'), in field order, empty names left out. The names must stay
    inside the definition's folder: the plug-in and the manager look for
    them there."""
    try:
        root = ElementTree.parse(definition).getroot()
    except (ElementTree.ParseError, OSError) as error:
        raise PackageError(f"{definition}: not a readable device definition ({error})")
    if root.tag != "DRUVDevice":
        raise PackageError(f"{definition}: its root element is <{root.tag}>, not <DRUVDevice>")
    found = []
    for field in NAMED_FILE_FIELDS:
        element = root.find(field)
        name = (element.text or "").strip() if element is not None else ""
        if not name:
            continue
        relative = name.replace("\\", "/")
        parts = relative.split("/")
        if (relative.startswith("/") or re.match(r"^[A-Za-z]:", relative) or ".." in parts
                or "" in parts or "." in parts):
            raise PackageError(f"{definition}: {field} \"{name}\" is not a plain name of a file beside the definition")
        found.append((field, relative))
    return found


def device_files(folder):
    """Every definition in `folder` and the files it names, as (name inside
    Devices, source path), sorted by name. A named file that is missing fails."""
    files = {}
    for entry in sorted(os.listdir(folder)):
        path = os.path.join(folder, entry)
        if not entry.lower().endswith(".druv") or not os.path.isfile(path):
            continue
        files[entry] = path
        for field, relative in named_files(path):
            source = os.path.join(folder, *relative.split("/"))
            if not os.path.isfile(source):
                hint = case_insensitive_match(folder, relative)
                raise PackageError(f"{path}: {field} names \"{relative}\", which is not in {folder}"
                                   + (f" (there is \"{hint}\": names must match in letter case)" if hint else ""))
            files[relative] = source
    return sorted(files.items())


def case_insensitive_match(folder, relative):
    parent, name = os.path.split(os.path.join(folder, *relative.split("/")))
    try:
        for entry in os.listdir(parent):
            if entry.lower() == name.lower():
                return entry
    except OSError:
        pass
    return None


def same_content(first, second):
    with open(first, "rb") as a, open(second, "rb") as b:
        return a.read() == b.read()


class Release:
    """The release folder being filled; refuses two different files under one
    name, also where names differ only in letter case (one file on Windows)."""

    def __init__(self, root):
        self.root = root
        self.sources = {}  # lower-case name -> (name, source or None)

    def claim(self, name, source):
        key = name.lower()
        if key in self.sources:
            earlier, earlier_source = self.sources[key]
            if earlier == name and source and earlier_source and same_content(source, earlier_source):
                return False
            raise PackageError(f"two different files for \"{name}\" in the release folder"
                               f" ({earlier_source or 'generated'} and {source or 'generated'})")
        self.sources[key] = (name, source)
        return True

    def target(self, name):
        path = os.path.join(self.root, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        return path

    def copy(self, name, source):
        if self.claim(name, source):
            shutil.copyfile(source, self.target(name))

    def write(self, name, data, source=None):
        if self.claim(name, source):
            with open(self.target(name), "wb") as out:
                out.write(data)


def parse_pairs(pairs, option):
    result = []
    for pair in pairs:
        name, sep, path = pair.partition("=")
        if not sep or not name or not path:
            raise PackageError(f"{option} wants NAME=PATH, not \"{pair}\"")
        if not os.path.isfile(path):
            raise PackageError(f"{option} {name}: {path} does not exist")
        result.append((name, path))
    return result


def assemble(stage, version, files, texts, readme, device_folders):
    """Fills stage/DRUV-<version>; its path."""
    if os.path.exists(stage) and os.listdir(stage):
        raise PackageError(f"the staging folder {stage} is not empty")
    release = Release(os.path.join(stage, folder_name(version)))
    os.makedirs(release.root, exist_ok=True)
    for name, path in files:
        release.copy(name, path)
    for name, path in texts:
        with open(path, "rb") as source:
            release.write(name, windows_text(source.read()), path)
    if readme:
        with open(readme, "rb") as source:
            release.write("README.txt", windows_text(source.read().replace(b"@VERSION@", version.encode())), readme)
    for folder in device_folders:
        for name, path in device_files(folder):
            release.copy("Devices/" + name, path)
    return release.root


def zip_entries(stage):
    """(name in the zip, path or None for a folder), sorted by name."""
    entries = []
    for folder, subfolders, names in os.walk(stage):
        subfolders.sort()
        for sub in subfolders:
            path = os.path.join(folder, sub)
            entries.append((os.path.relpath(path, stage).replace(os.sep, "/") + "/", None))
        for name in names:
            path = os.path.join(folder, name)
            entries.append((os.path.relpath(path, stage).replace(os.sep, "/"), path))
    return sorted(entries)


def write_zip(stage, out, epoch):
    """Writes every file and folder under `stage` into the zip `out`; the
    entries as (name, size, compressed size)."""
    date_time = time.gmtime(max(epoch, ZIP_EPOCH_MIN))[:6]
    temporary = out + ".tmp"
    listing = []
    try:
        with zipfile.ZipFile(temporary, "w") as archive:
            for name, path in zip_entries(stage):
                info = zipfile.ZipInfo(name, date_time)
                info.create_system = 3  # the mode bits below are Unix ones
                if path is None:
                    info.external_attr = (FOLDER_MODE << 16) | MSDOS_DIRECTORY
                    archive.writestr(info, b"", compress_type=zipfile.ZIP_STORED)
                    continue
                info.external_attr = FILE_MODE << 16
                with open(path, "rb") as source:
                    data = source.read()
                archive.writestr(info, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
        with zipfile.ZipFile(temporary) as archive:
            listing = [(i.filename, i.file_size, i.compress_size) for i in archive.infolist() if not i.is_dir()]
        os.replace(temporary, out)
    finally:
        if os.path.exists(temporary):
            os.remove(temporary)
    return listing


def main(argv):
    parser = argparse.ArgumentParser(description="Assembles DRUV's release folder and zips it.")
    parser.add_argument("--version", required=True)
    parser.add_argument("--stage", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--epoch", required=True, type=int)
    parser.add_argument("--file", action="append", default=[])
    parser.add_argument("--text", action="append", default=[])
    parser.add_argument("--readme")
    parser.add_argument("--devices", action="append", default=[])
    args = parser.parse_args(argv)
    try:
        if not re.fullmatch(r"[0-9A-Za-z.+~-]+", args.version):
            raise PackageError(f"\"{args.version}\" is no version for a file name")
        for folder in args.devices:
            if not os.path.isdir(folder):
                raise PackageError(f"--devices {folder}: not a folder")
        assemble(args.stage, args.version, parse_pairs(args.file, "--file"), parse_pairs(args.text, "--text"),
                 args.readme, args.devices)
        listing = write_zip(args.stage, args.out, args.epoch)
    except PackageError as error:
        print(f"package: {error}", file=sys.stderr)
        return 1
    for name, size, packed in listing:
        print(f"{size:>10} {packed:>10}  {name}")
    print(f"{os.path.getsize(args.out):>10} bytes  {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
