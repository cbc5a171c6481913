#!/usr/bin/python3
"""Packs a folder into a zip archive that is the same bit for bit whenever the folder's files
are: entries in name order, every one dated SOURCE_DATE_EPOCH (else now), with fixed
permissions and no owners.  Usage: make_zip.py out.zip folder
The archive holds the folder itself, as Pedalwise/..., so that it unpacks into one folder."""
import os
import sys
import time
import zipfile


def entry(name, epoch, is_dir):
    info = zipfile.ZipInfo(name, time.gmtime(epoch)[:6])
    info.create_system = 3  # Unix, so that the permissions below are read
    info.external_attr = ((0o40755 << 16) | 0x10) if is_dir else (0o100644 << 16)
    info.compress_type = zipfile.ZIP_STORED if is_dir else zipfile.ZIP_DEFLATED
    return info


def main():
    out, folder = sys.argv[1], os.path.normpath(sys.argv[2])
    # zip dates start in 1980
    epoch = max(int(os.environ.get("SOURCE_DATE_EPOCH") or time.time()), 315532800)
    root = os.path.dirname(folder)
    paths = []
    for parent, dirs, files in os.walk(folder):
        paths += [(os.path.join(parent, name), True) for name in dirs]
        paths += [(os.path.join(parent, name), False) for name in files]
    paths.append((folder, True))
    with zipfile.ZipFile(out + ".part", "w", compresslevel=9) as archive:
        for path, is_dir in sorted(paths):
            name = os.path.relpath(path, root).replace(os.sep, "/") + ("/" if is_dir else "")
            data = b"" if is_dir else open(path, "rb").read()
            archive.writestr(entry(name, epoch, is_dir), data)
    os.replace(out + ".part", out)


if __name__ == "__main__":
    main()
