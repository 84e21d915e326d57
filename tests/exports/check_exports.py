#!/usr/bin/env python3
"""Checks that the export list, the public header and a built library agree.

- every name in the list is declared once in quendle.h, with the argument size
  the list gives (pointers and 32-bit values take 4 bytes, doubles 8);
- the library exports every listed name, undecorated, and nothing else;
- a Windows library carries the version resource's file description.
"""
import argparse
import re
import subprocess
import sys

DESCRIPTION = '"Arbolet Add-On Library (ANSI)"'


def read_list(path):
    portable, linux_only, section = {}, {}, "portable"
    for raw in open(path, encoding="ascii"):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if line == "[linux]":
            section = "linux"
            continue
        name, size = line.split("@")
        target = portable if section == "portable" else linux_only
        if name in portable or name in linux_only:
            sys.exit(f"export list: {name} listed twice")
        target[name] = int(size)
    return portable, linux_only


def argument_bytes(params):
    params = params.strip()
    if params in ("", "void"):
        return 0
    total = 0
    for param in params.split(","):
        if "*" in param:
            total += 4
        elif re.search(r"\b(double|int64_t|uint64_t)\b", param):
            total += 8
        else:
            total += 4
    return total


def read_header(path):
    text = open(path, encoding="ascii").read()
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    split = text.find("#ifndef _WIN32")
    found = {}
    for match in re.finditer(r"QUENDLE_API\s+[^;(]*?\b(\w+)\s*\(([^;]*?)\)\s*;", text):
        name, params = match.group(1), match.group(2)
        if name in found:
            sys.exit(f"quendle.h: {name} declared twice")
        section = "linux" if split >= 0 and match.start() > split else "portable"
        found[name] = (argument_bytes(params), section)
    return found


def pe_exports(objdump, library):
    out = subprocess.run([objdump, "-p", library], check=True, capture_output=True, text=True).stdout
    table = out.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return set()
    names = set()
    for line in table[1].splitlines()[1:]:
        match = re.match(r"\s*\[\s*\d+\]\s+(\S+)\s*$", line)
        if not match:
            break
        names.add(match.group(1))
    return names


def elf_exports(objdump, library):
    out = subprocess.run([objdump, "-T", library], check=True, capture_output=True, text=True).stdout
    names = set()
    for line in out.splitlines():
        fields = line.split()
        if len(fields) >= 6 and fields[1] in ("g", "w") and "*UND*" not in line:
            names.add(fields[-1])
    return names


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", required=True)
    parser.add_argument("--header", required=True)
    parser.add_argument("--library", required=True)
    parser.add_argument("--format", choices=("pe", "elf"), required=True)
    parser.add_argument("--bits", type=int, default=32)
    parser.add_argument("--objdump", default="objdump")
    args = parser.parse_args()

    problems = []
    portable, linux_only = read_list(args.list)
    header = read_header(args.header)

    for section, entries in (("portable", portable), ("linux", linux_only)):
        for name, size in entries.items():
            if name not in header:
                problems.append(f"{name}: listed but not declared in quendle.h")
                continue
            declared, where = header[name]
            if where != section:
                problems.append(f"{name}: listed as {section} but declared in the {where} part of quendle.h")
            if declared != size:
                problems.append(f"{name}: list says @{size}, quendle.h declares {declared} argument bytes")
    for name in header:
        if name not in portable and name not in linux_only:
            problems.append(f"{name}: declared in quendle.h but not in the export list")

    if args.format == "pe":
        expected = set(portable)
        exported = pe_exports(args.objdump, args.library)
        data = open(args.library, "rb").read()
        if ("FileDescription".encode("utf-16-le") not in data
                or (DESCRIPTION + "\0").encode("utf-16-le") not in data):
            problems.append("version resource lacks the file description " + DESCRIPTION)
    else:
        expected = set(portable) | set(linux_only)
        exported = elf_exports(args.objdump, args.library)

    for name in sorted(expected - exported):
        problems.append(f"{name}: listed but not exported by {args.library}")
    for name in sorted(exported - expected):
        kind = "decorated name" if ("@" in name or name.startswith("_")) else "unlisted name"
        problems.append(f"{name}: {kind} exported by {args.library}")

    for problem in problems:
        print(problem)
    print(f"{len(expected)} exports checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
