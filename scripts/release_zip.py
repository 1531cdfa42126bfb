#!/usr/bin/python3 -I
# Writes the release's zip into DIST and prints its name:
#   release_zip.py DIST LEESMIJ CLEANER_RC WEB_ADDRESS SIGNER
# Stored, not compressed, and written here field by field: the bytes depend
# on no compressor's version nor on the version of Python's zipfile; the
# times come from SOURCE_DATE_EPOCH. LEESMIJ.txt is ASCII with CRLF line
# ends, which Notepad shows right on every Windows from XP on. Its lines
# marked @SIGNED@ are for a signed release only (SIGNER not empty), and name
# its signer.
import os, re, struct, sys, time, zlib

dist, readme, resources, web_address, signer = sys.argv[1:]
fixed = re.search(r"^FILEVERSION\s+(\d+),\s*(\d+),\s*(\d+),\s*(\d+)\s*$", open(resources).read(), re.M)
version = ".".join(fixed.groups())
lines = []
for line in open(readme, encoding="ascii").read().splitlines():
    if line.startswith("@SIGNED@"):
        if not signer:
            continue
        line = line[len("@SIGNED@"):].replace("@SIGNER@", signer)
    lines.append(line.replace("@VERSION@", version).replace("@WEB_ADDRESS@", web_address))
members = [("LEESMIJ.txt", ("\r\n".join(lines) + "\r\n").encode("ascii"))]
for name in ("x64", "x86"):
    with open(os.path.join(dist, name, "MarbeloDatabankCleaner.exe"), "rb") as exe:
        members.append((name + "/MarbeloDatabankCleaner.exe", exe.read()))
# MS-DOS time, which starts in 1980; made by MS-DOS, so no Unix owner or permissions.
year, month, day, hour, minute, second = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
dos_time, dos_date = hour << 11 | minute << 5 | second // 2, (year - 1980) << 9 | month << 5 | day
entries, directory = b"", b""
for name, data in members:
    encoded = name.encode("ascii")
    # Version needed 2.0, no flags, stored; time, CRC-32, both sizes, name length, no extra field.
    common = struct.pack("<HHHHHIIIHH", 20, 0, 0, dos_time, dos_date, zlib.crc32(data), len(data), len(data),
                         len(encoded), 0)
    # Made by MS-DOS 2.0; no comment, disk 0, no attributes; where the entry starts.
    directory += b"PK\x01\x02" + struct.pack("<H", 20) + common + struct.pack("<HHHII", 0, 0, 0, 0, len(entries))
    directory += encoded
    entries += b"PK\x03\x04" + common + encoded + data
end = struct.pack("<HHHHIIH", 0, 0, len(members), len(members), len(directory), len(entries), 0)
zip_name = "MarbeloDatabankCleaner-%s.zip" % version
with open(os.path.join(dist, zip_name), "wb") as archive:
    archive.write(entries + directory + b"PK\x05\x06" + end)
print(zip_name)
