#!/usr/bin/env python3
"""Fails when a translation lags behind the sources.

Runs lupdate over the sources into a scratch copy of each .ts file, so the files in the
tree stay as they are, and names every text that is new or changed in the sources and not
yet translated, every translation marked unfinished, every one whose text the sources no
longer have, and every one that drops or adds a place (%1...) or a mnemonic (&).

    check-translations.py --lupdate LUPDATE --sources LIST [-I DIR] TS...

LIST names one source file a line, as lupdate's @file takes it.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACE = re.compile(r"%(\d+)")
# An ampersand before anything but another ampersand marks a mnemonic.
MNEMONIC = re.compile(r"&(?!&)")


def faults_of(ts_path):
    faults = []
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            text = translation.text or ""
            kind = translation.get("type")
            where = f"{name}: {source!r}"
            if kind in ("vanished", "obsolete"):
                faults.append(f"{where} is no longer in the sources")
            elif kind == "unfinished" or not text:
                faults.append(f"{where} has no finished translation")
            elif sorted(PLACE.findall(source)) != sorted(PLACE.findall(text)):
                faults.append(f"{where}: the translation {text!r} has other places")
            elif bool(MNEMONIC.search(source)) != bool(MNEMONIC.search(text)):
                faults.append(f"{where}: the translation {text!r} has no mnemonic or one too many")
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lupdate", required=True)
    parser.add_argument("--sources", required=True)
    parser.add_argument("-I", dest="includes", action="append", default=[])
    parser.add_argument("ts_files", nargs="+")
    args = parser.parse_args()

    failed = False
    with tempfile.TemporaryDirectory() as scratch:
        for ts_file in args.ts_files:
            copy = os.path.join(scratch, os.path.basename(ts_file))
            shutil.copyfile(ts_file, copy)
            command = [args.lupdate, "-silent", "-locations", "none"]
            command += [f"-I{folder}" for folder in args.includes]
            command += ["@" + args.sources, "-ts", copy]
            subprocess.run(command, check=True)
            faults = faults_of(copy)
            for fault in faults:
                print(f"{os.path.basename(ts_file)}: {fault}")
            failed = failed or bool(faults)
    if failed:
        print("Bring the .ts files up to date with `cmake --build <build> --target "
              "update_translations`, then translate what is named above.")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
