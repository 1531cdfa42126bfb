#!/usr/bin/python3
"""Checks what the built executable carries: header (ASLR and DEP included), imports and resources.

Usage: check_executable.py ARCHITECTURE MarbeloDatabankCleaner.exe
ARCHITECTURE is the build's processor, x86_64 or i686. Prints every mismatch
(expected against found) and exits 1 if there is any.
"""
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import pefile

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
ENGLISH_US, DUTCH = 0x0409, 0x0413
SIZE_BUDGET = 40 * 1024

# (machine, optional header magic) of each architecture's build.
HEADERS = {"x86_64": (0x8664, 0x20B), "i686": (0x14C, 0x10B)}

# Every function the program may import, per system DLL. The header promises
# Windows XP (subsystem 5.0): add a function only once it is confirmed that
# XP's own DLL of that name exports it, or the program would not start there.
# The DLLs are Known DLLs on every Windows from XP on: Windows takes them from
# the system directory whatever lies beside the program. Any other DLL (shell32
# among them) is loaded at run time from the system folder, after the program
# has restricted the DLL search. msvcrt's wcslen, which the start-up code of
# mingw-w64's runtime 12 imports, is in mingw-w64's annotated export list
# (mingw-w64-crt/lib-common/msvcrt.def.in) among the exports of msvcrt.dll
# since Visual C++ 4.2 and Windows NT 4.0, on both architectures.
IMPORTS_BOTH = {
    "kernel32.dll": {
        "DeleteCriticalSection", "EnterCriticalSection", "FindClose", "FindFirstFileW", "FindNextFileW",
        "GetLastError", "GetModuleHandleW", "GetProcAddress", "GetStartupInfoW", "GetSystemDirectoryW",
        "InitializeCriticalSection", "LeaveCriticalSection", "LoadLibraryExW", "MoveFileExW", "SetCurrentDirectoryW",
        "SetUnhandledExceptionFilter", "Sleep", "TlsGetValue", "VirtualProtect", "VirtualQuery",
    },
    "user32.dll": {
        "CreateWindowExW", "DefWindowProcW", "EnumWindows", "GetClassNameW", "LoadCursorW", "LoadIconW",
        "MessageBoxW", "RegisterClassExW",
    },
    "msvcrt.dll": {
        "__set_app_type", "__setusermatherr", "__wgetmainargs", "__winitenv", "_amsg_exit", "_cexit", "_initterm",
        "_onexit", "_vsnwprintf", "abort", "calloc", "exit", "fprintf", "free", "fwrite", "malloc", "memcpy",
        "signal", "strlen", "strncmp", "vfprintf", "wcscmp", "wcslen", "wcsrchr", "wcsstr",
    },
}
IMPORTS_OWN = {
    "x86_64": {
        "kernel32.dll": {"__C_specific_handler"},
        "msvcrt.dll": {"__iob_func", "_commode", "_fmode", "_wcmdln"},
    },
    # The 32-bit runtime finds its unwinder at run time, and reaches msvcrt's
    # variables through accessor functions.
    "i686": {
        "kernel32.dll": {"FreeLibrary", "GetModuleHandleA", "LoadLibraryA"},
        "msvcrt.dll": {"__p__commode", "__p__fmode", "__p__wcmdln", "_iob"},
    },
}


def publisher_copyright():
    header = Path(__file__).resolve().parent.parent / "cleaning" / "publisher.h"
    return re.search(r'#define PUBLISHER_COPYRIGHT "([^"]*)"', header.read_text()).group(1)


VERSION_STRINGS = {
    "CompanyName": "Tavrion",
    "FileDescription": "Tavrion - Marbelo Databank Cleaner",
    "FileVersion": "v1.0 (29-04-2011)",
    "InternalName": "Marbelo Databank Cleaner",
    "LegalCopyright": publisher_copyright(),
    "OriginalFilename": "Marbelo.exe",
    "ProductName": "Tavrion Tools",
    "ProductVersion": "v1",
}

MANIFEST_ELEMENTS = [
    "assembly",
    "trustInfo",
    "security",
    "requestedPrivileges",
    "requestedExecutionLevel",
]


def resources(pe):
    """{(type, id): [(language, bytes)]} for every resource of the file."""
    found = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                blob = pe.get_data(data.OffsetToData, data.Size)
                key = (kind.id, name.id if name.id is not None else str(name.name))
                found.setdefault(key, []).append((language.id, blob))
    return found


def main():
    architecture, path = sys.argv[1:]
    pe = pefile.PE(path)
    problems = []

    def expect(what, expected, found):
        if expected != found:
            problems.append(f"{what}: expected {expected!r}, found {found!r}")

    # The budget is the program's: an Authenticode signature appended to it
    # (its certificate table) is not counted.
    signature = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]]
    size = Path(path).stat().st_size - signature.Size
    if size > SIZE_BUDGET:
        problems.append(f"size: {size} bytes without a signature, over the budget of {SIZE_BUDGET}")

    header = pe.OPTIONAL_HEADER
    expect("machine and header magic", HEADERS[architecture], (pe.FILE_HEADER.Machine, header.Magic))
    expect("subsystem", pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"], header.Subsystem)
    expect("subsystem version", (5, 0), (header.MajorSubsystemVersion, header.MinorSubsystemVersion))
    # ASLR and DEP: a change of linker or flags must not drop them silently.
    # Without relocations Windows cannot move the image, whatever its flags say.
    flags = ["DYNAMIC_BASE", "NX_COMPAT"] + (["HIGH_ENTROPY_VA"] if architecture == "x86_64" else [])
    characteristics = pefile.DLL_CHARACTERISTICS
    expect("missing DLL characteristics", [],
           [f for f in flags if not header.DllCharacteristics & characteristics[f"IMAGE_DLLCHARACTERISTICS_{f}"]])
    expect("base relocations", True, hasattr(pe, "DIRECTORY_ENTRY_BASERELOC"))
    # A delay-loaded DLL would escape the list of imports below.
    expect("delay-loaded imports", False, hasattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT"))

    allowed = {dll: functions | IMPORTS_OWN[architecture].get(dll, set()) for dll, functions in IMPORTS_BOTH.items()}
    for entry in pe.DIRECTORY_ENTRY_IMPORT:
        dll = entry.dll.decode().lower()
        if dll not in allowed:
            problems.append(f"imports {dll}, which is not one of the system DLLs {sorted(allowed)}")
            continue
        functions = {(i.name or b"#%d" % i.ordinal).decode() for i in entry.imports}
        unconfirmed = sorted(functions - allowed[dll])
        if unconfirmed:
            problems.append(f"{dll}: imports {unconfirmed}, not on the list of functions confirmed on Windows XP")

    found = resources(pe)
    expect("resources (type, id)", sorted([(RT_ICON, 1), (RT_GROUP_ICON, 107), (RT_VERSION, 1), (RT_MANIFEST, 1)]),
           sorted(found))
    for key, language in [((RT_ICON, 1), ENGLISH_US), ((RT_GROUP_ICON, 107), ENGLISH_US),
                          ((RT_MANIFEST, 1), ENGLISH_US), ((RT_VERSION, 1), DUTCH)]:
        expect(f"languages of resource {key}", [language], [lang for lang, _ in found.get(key, [])])

    group = found.get((RT_GROUP_ICON, 107), [(0, b"\0" * 6)])[0][1]
    _, _, count = struct.unpack_from("<HHH", group)
    expect("images in icon group 107", 1, count)
    if count == 1:
        width, height, _, _, _, bits, _, image_id = struct.unpack_from("<BBBBHHIH", group, 6)
        expect("icon group entry (width, height, bits)", (64, 64, 32), (width, height, bits))
        image = found.get((RT_ICON, image_id), [(0, b"")])[0][1]
        if len(image) >= 40:
            _, bmp_width, bmp_height, _, bmp_bits = struct.unpack_from("<IiiHH", image)
            expect("icon bitmap (width, height, bits)", (64, 128, 32), (bmp_width, bmp_height, bmp_bits))
            alphas = set(image[40 + 3:40 + 64 * 64 * 4:4])
            expect("icon has transparent and opaque pixels", True, 0 in alphas and 255 in alphas)
        else:
            problems.append(f"icon image {image_id} missing or truncated")

    manifest = found.get((RT_MANIFEST, 1), [(0, b"<none/>")])[0][1]
    root = ElementTree.fromstring(manifest)
    expect("manifest elements", MANIFEST_ELEMENTS, [element.tag.split("}")[-1] for element in root.iter()])
    level = next((e for e in root.iter() if e.tag.endswith("requestedExecutionLevel")), None)
    expect("requested execution level", {"level": "asInvoker", "uiAccess": "false"},
           dict(level.attrib) if level is not None else None)

    fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
    if fixed is None:
        problems.append("no version block")
    else:
        expect("fixed version part", (0x10000, 1, 0x10000, 1, 0x17, 0, 4, 1, 0),
               (fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS, fixed.ProductVersionLS,
                fixed.FileFlagsMask, fixed.FileFlags, fixed.FileOS, fixed.FileType, fixed.FileSubtype))
        tables, translations = {}, []
        for info in pe.FileInfo[0]:
            for table in getattr(info, "StringTable", []):
                tables[table.LangID.decode()] = {k.decode(): v.decode() for k, v in table.entries.items()}
            for var in getattr(info, "Var", []):
                translations.append({k.decode(): v for k, v in var.entry.items()})
        expect("string tables", ["041304b0"], sorted(tables))
        expect("version strings", VERSION_STRINGS, tables.get("041304b0"))
        expect("translation", [{"Translation": "0x0413 0x04b0"}], translations)

    for problem in problems:
        print(problem)
    print(f"{len(problems)} problem(s) in {path} ({architecture})")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
