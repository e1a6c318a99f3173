#!/usr/bin/env python3
"""Checks Windows programs from the outside, with tools of their own:

  exe_check.py version DESCRIPTION EXE...  wrestool takes each program's
      version resource (and sees its icon); its fixed record, translation and
      string table must be those of the version description.
  exe_check.py imports SYSTEM32 EXE...     objdump's import list of each
      program names only DLLs that Windows itself has (those in a Wine
      prefix's system32), and none of MinGW's runtime DLLs.
"""
import re
import struct
import subprocess
import sys

OBJDUMP = "x86_64-w64-mingw32-objdump"
RT_VERSION = 16
RT_GROUP_ICON = 14
MINGW_RUNTIME = re.compile(r"^(libstdc\+\+|libgcc|libwinpthread)", re.I)


def fail(message):
    print("FAIL: " + message)
    return 1


def description(path):
    """FILEVERSION, PRODUCTVERSION, the string table's name, its values and the translation."""
    text = open(path, encoding="utf-8").read()
    text = "\n".join(line.split("#")[0] if not line.lstrip().startswith("VALUE") else line
                     for line in text.splitlines())
    wanted = {}
    for key in ("FILEVERSION", "PRODUCTVERSION"):
        wanted[key] = tuple(int(p) for p in re.search(key + r"\s+([\d.]+)", text).group(1).split("."))
    wanted["table"] = re.search(r'BLOCK\s+"([0-9A-Fa-f]{8})"', text).group(1).upper()
    wanted["values"] = dict(re.findall(r'VALUE\s+"([^"]*)"\s+"([^"]*)"', text))
    language, codepage = re.search(r"TRANSLATION\s+(0x[0-9A-Fa-f]+)\s+(0x[0-9A-Fa-f]+)", text).groups()
    wanted["translation"] = (int(language, 16), int(codepage, 16))
    return wanted


def nodes(block, start, end):
    """The nodes in block[start:end]: (key, type, value bytes, children start, node end)."""
    at = start
    while at + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", block, at)
        if length == 0:
            break
        key_end = at + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if kind == 1 else value_length
        children = (value_at + value_bytes + 3) & ~3
        yield key, kind, block[value_at:value_at + value_bytes], children, at + length
        at = (at + length + 3) & ~3


def read_version(block):
    """The fixed record's versions, the translation and every string table."""
    found = {"tables": {}}
    (root_key, _, fixed, children, end), = list(nodes(block, 0, struct.unpack_from("<H", block, 0)[0]))
    assert root_key == "VS_VERSION_INFO", root_key
    signature, _, fms, fls, pms, pls = struct.unpack_from("<6I", fixed)
    assert signature == 0xFEEF04BD, hex(signature)
    found["FILEVERSION"] = (fms >> 16, fms & 0xFFFF, fls >> 16, fls & 0xFFFF)
    found["PRODUCTVERSION"] = (pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF)
    for key, _, _, group_children, group_end in nodes(block, children, end):
        for name, _, value, table_children, table_end in nodes(block, group_children, group_end):
            if key == "StringFileInfo":
                found["tables"][name.upper()] = {k: v.decode("utf-16-le").rstrip("\0")
                                                 for k, _, v, _, _ in nodes(block, table_children, table_end)}
            elif key == "VarFileInfo" and name == "Translation":
                found["translation"] = struct.unpack_from("<HH", value)
    return found


def check_version(description_path, exes):
    wanted = description(description_path)
    failures = 0
    for exe in exes:
        listing = subprocess.run(["wrestool", "-l", exe], capture_output=True, text=True, check=True).stdout
        if "--type=%d" % RT_GROUP_ICON not in listing:
            failures += fail("%s: no icon resource in\n%s" % (exe, listing))
        block = subprocess.run(["wrestool", "-x", "--raw", "--type=%d" % RT_VERSION, exe], capture_output=True,
                               check=True).stdout
        if not block:
            failures += fail(exe + ": no version resource")
            continue
        found = read_version(block)
        for key in ("FILEVERSION", "PRODUCTVERSION", "translation"):
            if found.get(key) != wanted[key]:
                failures += fail("%s: %s is %s, the description says %s" % (exe, key, found.get(key), wanted[key]))
        if found["tables"] != {wanted["table"]: wanted["values"]}:
            failures += fail("%s: string tables %s, the description says %s" %
                             (exe, found["tables"], {wanted["table"]: wanted["values"]}))
        print("%s: version %s, %d strings in %s, icon" %
              (exe, ".".join(map(str, found["FILEVERSION"])), len(wanted["values"]), wanted["table"]))
    return failures


def check_imports(system32, exes):
    import os
    system_dlls = {name.lower() for name in os.listdir(system32)}
    failures = 0
    for exe in exes:
        dump = subprocess.run([OBJDUMP, "-p", exe], capture_output=True, text=True, check=True).stdout
        dlls = re.findall(r"DLL Name: (\S+)", dump)
        if not dlls:
            failures += fail(exe + ": objdump lists no imports")
        for dll in dlls:
            if MINGW_RUNTIME.match(dll) or dll.lower() not in system_dlls:
                failures += fail("%s imports %s, which is not a system DLL" % (exe, dll))
        print("%s imports %s" % (exe, ", ".join(dlls)))
    return failures


def main():
    mode, where, exes = sys.argv[1], sys.argv[2], sys.argv[3:]
    failures = check_version(where, exes) if mode == "version" else check_imports(where, exes)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
