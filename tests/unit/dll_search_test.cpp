// The program's DLL search restriction, in this process: before it, a DLL
// named without a path is found in the program's folder and in the current
// directory, yet shell32 loaded by its system path, as on a Windows without
// the restriction, takes none of the DLLs it needs from there; after it, a DLL
// is found in neither, not even as a system DLL. The restriction lasts for the
// rest of the process, whose other tests load no DLL.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../../cleaning/system_dll.h"
#include "../../shell/dll_search.h"
#include "../driver/box_driver.h"

namespace {

TEST(DllSearch, ByPathAndAfterTheRestrictionNoDllComesFromTheProgramsFolderOrTheCurrentDirectory)
{
    std::wstring programFolder = BesideThisProgram(L"");
    std::wstring currentFolder = InTemp(L"marbelo-dll-search\\");
    CreateDirectoryW(currentFolder.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryW(currentFolder.c_str())) << "error " << GetLastError();
    const struct {
        std::wstring folder;
        const wchar_t *before, *after;
    } places[] = {
        {programFolder, L"probe_program_before.dll", L"probe_program_after.dll"},
        {currentFolder, L"probe_current_before.dll", L"probe_current_after.dll"},
    };
    for (const auto &place : places) {
        for (const wchar_t *name : {place.before, place.after}) {
            ASSERT_TRUE(CopyFileW((programFolder + L"planted_probe.dll").c_str(), (place.folder + name).c_str(), FALSE))
                << "error " << GetLastError();
        }
        HMODULE loaded = LoadLibraryW(place.before);
        EXPECT_NE(nullptr, loaded) << "not found before the restriction: " << testing::PrintToString(place.before);
        FreeLibrary(loaded);
        // shell32 needs shcore (through shlwapi), which Wine takes from the
        // program's folder when shell32 is loaded by name.
        ASSERT_TRUE(
            CopyFileW((programFolder + L"planted_probe.dll").c_str(), (place.folder + L"shcore.dll").c_str(), FALSE))
            << "error " << GetLastError();
    }
    wchar_t systemFolder[MAX_PATH], loadedFrom[MAX_PATH];
    const UINT systemLength = GetSystemDirectoryW(systemFolder, ARRAYSIZE(systemFolder));
    ASSERT_TRUE(systemLength > 0 && systemLength < ARRAYSIZE(systemFolder))
        << "GetSystemDirectoryW returned " << systemLength << ", error " << GetLastError();
    std::wstring shell32 = std::wstring(systemFolder, systemLength) + L"\\shell32.dll";
    HMODULE shell32Module = LoadSystemDllByPath(L"shell32.dll");
    ASSERT_NE(nullptr, shell32Module) << "error " << GetLastError();
    const DWORD loadedLength = GetModuleFileNameW(shell32Module, loadedFrom, ARRAYSIZE(loadedFrom));
    ASSERT_TRUE(loadedLength > 0 && loadedLength < ARRAYSIZE(loadedFrom))
        << "GetModuleFileNameW returned " << loadedLength << ", error " << GetLastError();
    EXPECT_EQ(CSTR_EQUAL, CompareStringOrdinal(shell32.c_str(), -1, loadedFrom, int(loadedLength), TRUE))
        << "shell32 loaded from " << testing::PrintToString(std::wstring(loadedFrom));
    for (const auto &place : places) {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((place.folder + L"shcore.dll.loaded").c_str()))
            << "shell32 took shcore.dll from " << testing::PrintToString(place.folder);
        EXPECT_EQ(nullptr, LoadSystemDllByPath(place.before)) << testing::PrintToString(place.before);
    }

    EXPECT_TRUE(RestrictDllSearch()) << "the search is not restricted to the system folder";
    for (const auto &place : places) {
        HMODULE loaded = LoadLibraryW(place.after);
        EXPECT_EQ(nullptr, loaded) << "loaded by name after the restriction: " << testing::PrintToString(place.after);
        FreeLibrary(loaded);
        loaded = LoadSystemDll(place.after);
        EXPECT_EQ(nullptr, loaded) << "loaded as a system DLL: " << testing::PrintToString(place.after);
        FreeLibrary(loaded);
        for (const wchar_t *name : {place.before, place.after, L"shcore.dll"}) {
            DeleteFileW((place.folder + name).c_str());
            DeleteFileW((place.folder + name + L".loaded").c_str());
        }
    }
    SetCurrentDirectoryW(programFolder.c_str());
    RemoveDirectoryW(currentFolder.c_str());
}

} // namespace
