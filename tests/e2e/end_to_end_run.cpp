#include "end_to_end_run.h"

#include <algorithm>

namespace {

const wchar_t shellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Puts the machine's own common application-data folder back after the tests.
class CommonAppDataRestored : public ::testing::Environment {
public:
    void SetUp() override
    {
        DWORD size = sizeof(original);
        saved = RegGetValueW(HKEY_LOCAL_MACHINE, shellFolders, L"Common AppData", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                             nullptr, original, &size) == ERROR_SUCCESS;
    }
    void TearDown() override
    {
        if (saved) {
            EXPECT_TRUE(PointCommonAppData(original)) << "restoring it";
        }
    }

private:
    wchar_t original[1024] = L"";
    bool saved = false;
};

const ::testing::Environment *const restorer = ::testing::AddGlobalTestEnvironment(new CommonAppDataRestored);

// Names a program may take a DLL by: every DLL the cleaner's process loads
// under Wine, the DLLs Windows programs commonly load by name, and the
// runtime DLLs a MinGW program may look for.
const wchar_t *const plantedNames[] = {
    L"advapi32.dll",       L"bcrypt.dll",         L"combase.dll",     L"comctl32.dll",
    L"crypt32.dll",        L"cryptbase.dll",      L"cryptsp.dll",     L"dbghelp.dll",
    L"dwmapi.dll",         L"dwrite.dll",         L"gdi32.dll",       L"imm32.dll",
    L"kernel32.dll",       L"kernelbase.dll",     L"msctf.dll",       L"msimg32.dll",
    L"msvcrt.dll",         L"netapi32.dll",       L"ntmarta.dll",     L"ole32.dll",
    L"oleacc.dll",         L"oleaut32.dll",       L"profapi.dll",     L"propsys.dll",
    L"rpcrt4.dll",         L"sechost.dll",        L"setupapi.dll",    L"shcore.dll",
    L"shell32.dll",        L"shlwapi.dll",        L"sspicli.dll",     L"ucrtbase.dll",
    L"user32.dll",         L"userenv.dll",        L"uxtheme.dll",     L"version.dll",
    L"win32u.dll",         L"windowscodecs.dll",  L"winex11.drv",     L"winmm.dll",
    L"winsta.dll",         L"wintrust.dll",       L"wldp.dll",        L"zlib1.dll",
    L"libgcc_s_dw2-1.dll", L"libgcc_s_seh-1.dll", L"libstdc++-6.dll", L"libwinpthread-1.dll",
};

void RemoveRoot(const std::wstring &root)
{
    std::string why;
    // Wine does not list a symbolic link whose target has gone; only Linux can remove it.
    if (!UnderWine() || !RunLinuxShell(L"rm -rf -- \\\"$1\\\"", {UnixPath(root)}, &why)) {
        RemoveTree(root);
    }
}

} // namespace

EndToEndRun BeginRun(const std::string &name, size_t commonLength)
{
    EndToEndRun run;
    run.root = InTemp(L"marbelo-e2e\\" + std::wstring(name.begin(), name.end()));
    RemoveRoot(run.root);
    CreatePath(run.root);
    // Nested folders of at most 100 characters each, up to the length asked for.
    run.common = run.root;
    while (run.common.size() + 1 < commonLength) {
        size_t part = std::min<size_t>(100, commonLength - run.common.size() - 1);
        run.common += L"\\" + std::wstring(part, L'p');
    }
    run.data = run.common + L"\\Marbelo";
    run.program = BesideThisProgram(L"MarbeloDatabankCleaner.exe");
    return run;
}

testing::AssertionResult StageEntries(EndToEndRun *run, const std::wstring &folder, const std::vector<Entry> &before,
                                      const std::vector<Entry> &after)
{
    std::wstring prefix = folder.empty() ? L"" : folder + L"\\";
    std::string why;
    if (!Stage(run->common + (folder.empty() ? L"" : L"\\" + folder), before, run->common + L"\\outside", &why)) {
        return testing::AssertionFailure() << why;
    }
    if (!folder.empty()) {
        run->expected[folder] = "<dir>";
    }
    for (const Entry &entry : after) {
        run->expected[prefix + entry.name] = entry.type == Entry::Directory ? "<dir>" : entry.contents;
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult StageNumbered(EndToEndRun *run, const std::wstring &prefix, size_t count,
                                       const std::wstring &extension, const std::wstring &suffixAfter)
{
    std::string why;
    if (!WriteNumberedFiles(run->data, prefix, count, extension, &why)) {
        return testing::AssertionFailure() << why;
    }
    run->expected[L"Marbelo"] = "<dir>";
    for (size_t i = 0; i < count; ++i) {
        std::wstring name = NumberedName(prefix, i, extension);
        run->expected[L"Marbelo\\" + name + suffixAfter] = Utf8(name);
    }
    // Renames in a large folder are slow under Wine.
    run->options.stepTimeoutMs += DWORD(30 * count);
    return testing::AssertionSuccess();
}

testing::AssertionResult StagePlantedCopies(EndToEndRun *run)
{
    std::string probe = ReadBytes(BesideThisProgram(L"planted_probe.dll"));
    std::vector<Entry> copies;
    for (const wchar_t *name : plantedNames) {
        copies.emplace_back(name, probe, Entry::File);
    }
    std::vector<Entry> program = copies;
    program.emplace_back(L"MarbeloDatabankCleaner.exe", ReadBytes(run->program), Entry::File);
    for (const auto &[folder, entries] :
         {std::make_pair(L"program", program), std::make_pair(L"start", copies), std::make_pair(L"Marbelo", copies)}) {
        testing::AssertionResult staged = StageEntries(run, folder, entries, entries);
        if (!staged) {
            return staged;
        }
    }
    run->program = run->common + L"\\program\\MarbeloDatabankCleaner.exe";
    run->options.workingDirectory = run->common + L"\\start";
    return testing::AssertionSuccess();
}

testing::AssertionResult PointCommonAppData(const std::wstring &folder)
{
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        testing::AssertionResult set =
            SetRegistryValue(HKEY_LOCAL_MACHINE, shellFolders, L"Common AppData", REG_EXPAND_SZ, folder, view);
        if (!set) {
            return set << " (pointing Common AppData at " << Utf8(folder) << ")";
        }
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult SetRegistryValue(HKEY root, const std::wstring &key, const wchar_t *name, DWORD type,
                                          const std::wstring &value, REGSAM view)
{
    HKEY opened;
    LONG result = RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &opened, nullptr);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExW(opened, name, 0, type, reinterpret_cast<const BYTE *>(value.c_str()),
                                DWORD((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(opened);
    }
    if (result != ERROR_SUCCESS) {
        return testing::AssertionFailure() << "cannot set " << Utf8(key) << "\\" << Utf8(name) << " in view 0x"
                                           << std::hex << view << std::dec << ": error " << result;
    }
    return testing::AssertionSuccess();
}

RunSeen RunDialogue(const EndToEndRun &run, const std::vector<ExpectedBox> &dialogue,
                    const std::function<void()> &stopMarbelo)
{
    return RunScripted(run.program, ScriptFor(dialogue, stopMarbelo), run.options);
}

void ExpectDialogue(const std::vector<ExpectedBox> &dialogue, const RunSeen &seen, unsigned long exitCode)
{
    EXPECT_EQ(Canonical(ExpectedTranscript(dialogue, exitCode)), Canonical(FormatTranscript(seen)))
        << "the dialogue differs";
}

void ExpectFolders(const EndToEndRun &run)
{
    EXPECT_EQ("", Difference(run.expected, Listing(run.common))) << "in " << Utf8(run.common);
}

void EndRun(const EndToEndRun &run)
{
    if (testing::Test::HasFailure()) {
        std::printf("kept for a look: %s\n", Utf8(run.root).c_str());
    } else {
        RemoveRoot(run.root);
    }
}
