// The cleaner driven end to end, as a user drives it: each scenario stages a
// data folder, points the machine's common application-data folder at it,
// maybe starts a stand-in Marbelo, runs the real executable answering its
// boxes, and compares the dialogue and the whole common application-data
// folder afterwards (the data folder and a folder beside it), byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "end_to_end_run.h"

namespace {

// --- Marbelo -------------------------------------------------------------------

enum Marbelo {
    NotRunning,
    Running,         // one window of the class WPF gives Marbelo.exe
    RunningTwice,    // two such windows
    OtherCase,       // the class name in lower case: not Marbelo
    PatternCutShort, // holds every shorter piece of the pattern, but not all of it: not Marbelo
    ChildWindowOnly, // the class only on a child window: not a top-level window
};

const wchar_t marbeloClass[] = L"HwndWrapper[Marbelo.exe;;6a1f1c0e-3b9d-4c57-9d6e-2f8f5a0c7d41]";

PROCESS_INFORMATION StartMarbelo(Marbelo marbelo)
{
    PROCESS_INFORMATION process = {};
    if (marbelo == NotRunning) {
        return process;
    }
    std::wstring arguments = marbeloClass;
    if (marbelo == OtherCase) {
        arguments = L"hwndwrapper[marbelo.exe;;6a1f1c0e]";
    } else if (marbelo == PatternCutShort) {
        // The pattern without its last character, then without its first.
        arguments = L"HwndWrapper[Marbelo.exe;_wndWrapper[Marbelo.exe;;";
    }
    if (marbelo == RunningTwice) {
        arguments += L" several";
    } else if (marbelo == ChildWindowOnly) {
        arguments += L" child";
    }
    std::wstring program = BesideThisProgram(L"fake_marbelo.exe");
    std::string why;
    if (!StartProgram(program, L"\"" + program + L"\" " + arguments, RunOptions(), &process, &why)) {
        ADD_FAILURE() << why;
        return process;
    }
    WaitForInputIdle(process.hProcess, 10000);
    return process;
}

void StopMarbelo(PROCESS_INFORMATION *process)
{
    if (process->hProcess == nullptr) {
        return;
    }
    TerminateProcess(process->hProcess, 0);
    WaitForSingleObject(process->hProcess, 10000);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
    *process = {};
}

// --- Scenarios -------------------------------------------------------------------

enum Place {
    DataFolder,           // Common AppData holds a Marbelo folder with the entries
    NoMarbeloFolder,      // Common AppData exists, its Marbelo folder does not
    DataFolderIsAFile,    // Common AppData holds a plain file named Marbelo
    NoCommonAppData,      // Common AppData points at a folder that does not exist
    CommonAppDataTooLong, // Common AppData is 252 characters long: no room for "\Marbelo"
};

enum Platform { Anywhere, WineOnly, WindowsOnly };

// Files named prefix + 5-digit number + extension, each holding its own name;
// afterwards the same names with suffix appended.
struct Numbered {
    std::wstring prefix;
    size_t count;
    std::wstring extension;
    std::wstring suffixAfter;
};

struct Scenario {
    const char *name;
    Place place = DataFolder;
    std::vector<Entry> before = {};
    Marbelo marbelo = NotRunning;
    std::vector<ExpectedBox> dialogue = {}; // none: the program ends without a box
    std::vector<Entry> after = {};
    const wchar_t *heldOpen = nullptr; // an entry the test keeps open, without delete sharing
    const wchar_t *arguments = L"";
    int showCommand = -1;
    std::vector<Numbered> numbered = {};
    std::vector<Entry> outsideBefore = {};      // beside the data folder, as well as the usual two files
    std::vector<std::wstring> outsideGone = {}; // of those, the ones expected to have gone
    Platform platform = Anywhere;
    bool noDisplay = false;
    bool plantDlls = false;               // see PlantedDlls below
    const wchar_t *disabledDll = nullptr; // under Wine, for the cleaner's process only
};

void PrintTo(const Scenario &scenario, std::ostream *out)
{
    *out << scenario.name;
}

std::wstring LongName(size_t length, const wchar_t *extension)
{
    return std::wstring(length - wcslen(extension), L'n') + extension;
}

// Too long for its backup name to fit in MAX_PATH.
const std::wstring name253 = LongName(253, L".db");

// Every scenario also has these beside the data folder; nothing may touch them.
const std::vector<Entry> outsideAlways = {{L"outside.db", "outside db"}, {L"outside.spots.backup", "outside backup"}};

// One row per scenario. Designated fields must follow the order Scenario
// declares them in; names must be unique (they name the GoogleTest case);
// .after lists the whole data folder afterwards, not only what changed.
const Scenario scenarios[] = {
    {.name = "NoCommonAppDataFolder", .place = NoCommonAppData, .dialogue = {{SummaryNoneFound, L"", IDOK}}},
    {.name = "CommonAppDataPathTooLongEndsSilently",
     .place = CommonAppDataTooLong,
     .before = {{L"a.db", "a"}},
     .after = {{L"a.db", "a"}}},
    // Without shell32 the folder cannot be found: as when shell32 finds none.
    {.name = "NoShell32",
     .before = {{L"a.db", "a"}},
     .dialogue = {{SummaryNoneFound, L"", IDOK}},
     .after = {{L"a.db", "a"}},
     .platform = WineOnly,
     .disabledDll = L"shell32"},
    {.name = "DataFolderMissing",
     .place = NoMarbeloFolder,
     .dialogue = {{FolderMissing, L"", IDOK}, {SummaryNoneFound, L"", IDOK}}},
    {.name = "EmptyDataFolder", .dialogue = {{SummaryNoneFound, L"", IDOK}}},
    {.name = "NothingOfInterestAsksNothing",
     .before = {{L"readme.txt", "r"}, {L"spots", directory}, {L"x.dbx", "x"}},
     .marbelo = Running,
     .dialogue = {{SummaryNoneFound, L"", IDOK}},
     .after = {{L"readme.txt", "r"}, {L"spots", directory}, {L"x.dbx", "x"}}},
    {.name = "BackupsOnlyAreAlreadyClean",
     .before = {{L"a.spots.backup", "old a"}, {L"b.db.backup", "old b"}},
     .marbelo = Running,
     .dialogue = {{SummaryAlreadyClean, L"", IDOK}},
     .after = {{L"a.spots.backup", "old a"}, {L"b.db.backup", "old b"}}},
    {.name = "DeclinedWithNo",
     .before = {{L"a.spots", "a"}, {L"b.db", "b"}},
     .dialogue = {{Confirm, L"", IDNO}},
     .after = {{L"a.spots", "a"}, {L"b.db", "b"}}},
    {.name = "DeclinedWithCancel",
     .before = {{L"a.spots", "a"}, {L"a.spots.backup", "old"}},
     .dialogue = {{Confirm, L"", IDCANCEL}},
     .after = {{L"a.spots", "a"}, {L"a.spots.backup", "old"}}},
    {.name = "DeclinedByClosingTheBox",
     .before = {{L"a.db", "a"}},
     .dialogue = {{Confirm, L"", closeBox}},
     .after = {{L"a.db", "a"}}},
    {.name = "ExactlyOneRename",
     .before = {{L"a.spots", "a"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.spots.backup", "a"}}},
    {.name = "ExactlyTwoRenames",
     .before = {{L"a.spots", "a"}, {L"b.db", "b"}, {L"notes.txt", "n"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryMany, L"2", IDOK}},
     .after = {{L"a.spots.backup", "a"}, {L"b.db.backup", "b"}, {L"notes.txt", "n"}}},
    {.name = "OlderBackupIsReplaced",
     .before = {{L"a.spots", "new a"}, {L"a.spots.backup", "old a"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.spots.backup", "new a"}}},
    {.name = "ExtensionsAreCaseSensitiveAndExact",
     .before = {{L"a.spots", "1"},
                {L"spots.db", "2"},
                {L"a.db.backup", "3"},
                {L"a.backup.db", "4"},
                {L"A.DB", "5"},
                {L".db", "7"},
                {L"db", "8"},
                {L"a.db~", "9"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryMany, L"4", IDOK}},
     .after = {{L"a.spots.backup", "1"},
               {L"spots.db.backup", "2"},
               {L"a.db.backup", "3"},
               {L"a.backup.db.backup", "4"},
               {L"A.DB", "5"},
               {L".db.backup", "7"},
               {L"db", "8"},
               {L"a.db~", "9"}}},
    // Beside a.spots above, a.Spots could not exist on a case-insensitive file system.
    {.name = "ExtensionsInOtherCaseAreNotDatabases",
     .before = {{L"a.Spots", "1"}, {L"B.DB", "2"}, {L"c.Db", "3"}, {L"d.BACKUP", "4"}},
     .dialogue = {{SummaryNoneFound, L"", IDOK}},
     .after = {{L"a.Spots", "1"}, {L"B.DB", "2"}, {L"c.Db", "3"}, {L"d.BACKUP", "4"}}},
    {.name = "DirectoryNamedLikeADatabaseIsRenamedWhole",
     .before = {{L"x.db", directory}, {L"x.db\\inner.db", "inner"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"x.db.backup", directory}, {L"x.db.backup\\inner.db", "inner"}}},
    {.name = "RenameOntoADirectoryFailsBesideOneThatWorks",
     .before = {{L"a.db", "a"}, {L"b.db", "b"}, {L"b.db.backup", directory}},
     .dialogue = {{Confirm, L"", IDYES}, {RenameFailed, L"b.db", IDOK}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}, {L"b.db", "b"}, {L"b.db.backup", directory}}},
    {.name = "RenameOntoABackupHeldOpenFailsBesideOneThatWorks",
     .before = {{L"a.db", "a"}, {L"b.spots", "b"}, {L"b.spots.backup", "old b"}},
     .dialogue = {{Confirm, L"", IDYES}, {RenameFailed, L"b.spots", IDOK}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}, {L"b.spots", "b"}, {L"b.spots.backup", "old b"}},
     .heldOpen = L"b.spots.backup"},
    // Nothing was cleaned: the older backup must not make the run look done.
    {.name = "OnlyFailedRenameBesideAnOlderBackupEndsWithNothingFound",
     .before = {{L"a.db", "a"}, {L"a.db.backup", "old a"}},
     .dialogue = {{Confirm, L"", IDYES}, {RenameFailed, L"a.db", IDOK}, {SummaryNoneFound, L"", IDOK}},
     .after = {{L"a.db", "a"}, {L"a.db.backup", "old a"}},
     .heldOpen = L"a.db"},
    {.name = "OnlyFailedRenamesAndNoBackupEndWithNothingFound",
     .before = {{name253, "long"}},
     .dialogue = {{Confirm, L"", IDYES}, {RenameFailed, name253, IDOK}, {SummaryNoneFound, L"", IDOK}},
     .after = {{name253, "long"}}},
    {.name = "OverlongNameIsReportedAndTheRunGoesOn",
     .before = {{name253, "long"}, {L"b.db", "b"}},
     .dialogue = {{Confirm, L"", IDYES}, {RenameFailed, name253, IDOK}, {SummaryOne, L"", IDOK}},
     .after = {{name253, "long"}, {L"b.db.backup", "b"}}},
    {.name = "MarbeloRunningRetryUntilItIsClosed",
     .before = {{L"a.spots", "a"}},
     .marbelo = Running,
     .dialogue = {{Confirm, L"", IDYES},
                  {StillRunning, L"", IDRETRY},
                  {StillRunning, L"", IDRETRY, true},
                  {SummaryOne, L"", IDOK}},
     .after = {{L"a.spots.backup", "a"}}},
    {.name = "MarbeloRunningCancelled",
     .before = {{L"a.spots", "a"}, {L"b.db", "b"}},
     .marbelo = RunningTwice,
     .dialogue = {{Confirm, L"", IDYES}, {StillRunning, L"", IDCANCEL}},
     .after = {{L"a.spots", "a"}, {L"b.db", "b"}}},
    {.name = "MarbeloRunningBoxClosed",
     .before = {{L"a.db", "a"}},
     .marbelo = Running,
     .dialogue = {{Confirm, L"", IDYES}, {StillRunning, L"", closeBox}},
     .after = {{L"a.db", "a"}}},
    {.name = "ClassNameInOtherCaseIsNotMarbelo",
     .before = {{L"a.db", "a"}},
     .marbelo = OtherCase,
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}}},
    {.name = "ClassNameWithOnlyPartOfThePatternIsNotMarbelo",
     .before = {{L"a.db", "a"}},
     .marbelo = PatternCutShort,
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}}},
    {.name = "ChildWindowIsNotMarbelo",
     .before = {{L"a.db", "a"}},
     .marbelo = ChildWindowOnly,
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}}},
    {.name = "ArgumentsAreIgnored",
     .before = {{L"a.db", "a"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}},
     .arguments = L"/silent --folder C:\\ x.db"},
    {.name = "StartedHidden",
     .before = {{L"a.db", "a"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}},
     .showCommand = SW_HIDE},
    {.name = "StartedMinimised",
     .before = {{L"a.db", "a"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}},
     .showCommand = SW_SHOWMINIMIZED},
    {.name = "NonAsciiNamesSpacesAndDots",
     .before = {{L"caf\u00e9.spots", "1"},
                {L"\u6570\u636e\u5e93.db", "2"},
                {L"\U0001F600.db", "3"},
                {L"a b.c.spots", "4"},
                {L"\u00dcn\u00efcode.txt", "5"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryMany, L"4", IDOK}},
     .after = {{L"caf\u00e9.spots.backup", "1"},
               {L"\u6570\u636e\u5e93.db.backup", "2"},
               {L"\U0001F600.db.backup", "3"},
               {L"a b.c.spots.backup", "4"},
               {L"\u00dcn\u00efcode.txt", "5"}}},
    // 248 + ".backup" is the longest name a file system takes (255); up to 252
    // the file system refuses the backup name, beyond it the program does.
    {.name = "NameLengthsAroundTheLimits",
     .before = {{LongName(248, L".db"), "248"},
                {LongName(249, L".db"), "249"},
                {LongName(252, L".spots"), "252"},
                {LongName(253, L".db"), "253"},
                {LongName(255, L".db"), "255"}},
     .dialogue = {{Confirm, L"", IDYES},
                  {RenameFailed, LongName(249, L".db"), IDOK},
                  {RenameFailed, LongName(252, L".spots"), IDOK},
                  {RenameFailed, LongName(253, L".db"), IDOK},
                  {RenameFailed, LongName(255, L".db"), IDOK},
                  {SummaryOne, L"", IDOK}},
     .after = {{LongName(248, L".db") + L".backup", "248"},
               {LongName(249, L".db"), "249"},
               {LongName(252, L".spots"), "252"},
               {LongName(253, L".db"), "253"},
               {LongName(255, L".db"), "255"}}},
    {.name = "ReadOnlyDatabaseIsRenamed",
     .before = {{L"a.db", "a", Entry::ReadOnlyFile}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}}},
    {.name = "DatabaseHeldOpenIsReportedAndLeft",
     .before = {{L"a.db", "a"}, {L"b.db", "b"}},
     .dialogue = {{Confirm, L"", IDYES}, {RenameFailed, L"a.db", IDOK}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db", "a"}, {L"b.db.backup", "b"}},
     .heldOpen = L"a.db"},
    {.name = "DataFolderIsAPlainFile",
     .place = DataFolderIsAFile,
     .dialogue = {{FolderMissing, L"", IDOK}, {SummaryNoneFound, L"", IDOK}}},
    {.name = "TenThousandUnrelatedFilesAndOneDatabase",
     .before = {{L"a.db", "a"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"a.db.backup", "a"}},
     .numbered = {{L"unrelated", 10000, L".txt", L""}}},
    // Wine renames the file a symbolic link points to, into the data folder,
    // and leaves the link dangling: the outside file's bytes are kept, at the
    // backup name. Wine does not list the dangling link. Microsoft does not
    // document what MoveFileExW does with a link; the Windows row expects the
    // link itself renamed and has not been run here.
    {.name = "LinkToAFileOutside",
     .before = {{L"evil.db", "", Entry::Link, L"target.txt"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"evil.db.backup", "outside bytes"}},
     .outsideBefore = {{L"target.txt", "outside bytes"}},
     .outsideGone = {L"target.txt"},
     .platform = WineOnly},
    {.name = "LinkToADirectoryOutside",
     .before = {{L"evil.db", "", Entry::Link, L"dir"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"evil.db.backup", directory}, {L"evil.db.backup\\inner.txt", "inner"}},
     .outsideBefore = {{L"dir", directory}, {L"dir\\inner.txt", "inner"}},
     .outsideGone = {L"dir", L"dir\\inner.txt"},
     .platform = WineOnly},
    {.name = "LinkToAFileOutsideOnWindows",
     .before = {{L"evil.db", "", Entry::Link, L"target.txt"}},
     .dialogue = {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     .after = {{L"evil.db.backup", "outside bytes"}},
     .outsideBefore = {{L"target.txt", "outside bytes"}},
     .platform = WindowsOnly},
    {.name = "NoDisplayEndsQuietly",
     .before = {{L"a.db", "a"}},
     .after = {{L"a.db", "a"}},
     .platform = WineOnly,
     .noDisplay = true},
    {.name = "NoDisplayWithMarbeloRunningEndsQuietly",
     .before = {{L"a.db", "a"}},
     .marbelo = Running,
     .after = {{L"a.db", "a"}},
     .platform = WineOnly,
     .noDisplay = true},
    // A quarter of an hour under Wine: excluded from the default run.
    {.name = "SlowSixtyFiveThousandFiveHundredThirtySixDatabases",
     .dialogue = {{Confirm, L"", IDYES}, {SummaryMany, L"65535", IDOK}},
     .numbered = {{L"d", 65536, L".db", L".backup"}}},
};

// --- Planted DLLs ------------------------------------------------------------------

// Scenarios run again with DLL copies planted where the cleaner must not take
// them from (see StagePlantedCopies).
std::vector<Scenario> PlantedDlls(std::vector<std::string> names)
{
    std::vector<Scenario> planted;
    for (const Scenario &scenario : scenarios) {
        if (std::find(names.begin(), names.end(), scenario.name) != names.end()) {
            planted.push_back(scenario);
            planted.back().plantDlls = true;
        }
    }
    return planted;
}

// A Wine program started without DISPLAY has no desktop: MessageBoxW returns
// 0 at once. Only a Linux shell can start it so; there is no box to drive.
// Wine's relay trace of a few calls, made there, must show that the program
// restricts the DLL search before it does anything else, turns on the guard
// against redirection (policy 16, with its 4-byte structure) before it looks
// for the data folder, and takes shell32 from the system folder alone
// (LOAD_LIBRARY_SEARCH_SYSTEM32).
RunSeen RunWithoutDisplay(const std::wstring &program)
{
    RunSeen run;
    run.exitCode = STILL_ACTIVE;
    std::string why;
    const wchar_t debug[] = L"Software\\Wine\\Debug";
    const wchar_t traced[] = L"KERNEL32.SetDefaultDllDirectories;KERNEL32.SetProcessMitigationPolicy;"
                             L"KERNEL32.LoadLibraryExW;user32.RegisterClassExW;user32.MessageBoxW";
    EXPECT_TRUE(SetRegistryValue(HKEY_CURRENT_USER, debug, L"RelayInclude", REG_SZ, traced));
    std::wstring trace = InTemp(L"marbelo-relay.txt");
    RunLinuxShell(L"env -u DISPLAY WINEDEBUG=+relay timeout 60 wine \\\"$1\\\" 2>\\\"$2\\\"",
                  {UnixPath(program), UnixPath(trace)}, &why, &run.exitCode);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, debug, L"RelayInclude");
    if (run.exitCode == STILL_ACTIVE) {
        run.failures = why + "\n";
    }
    std::string calls = ReadBytes(trace);
    DeleteFileW(trace.c_str());
    size_t first = std::min(calls.find(":Call KERNEL32."), calls.find(":Call user32."));
    std::string firstCall = first == std::string::npos ? "none" : calls.substr(first, calls.find('\n', first) - first);
    if (firstCall.rfind(":Call KERNEL32.SetDefaultDllDirectories(00000800)", 0) != 0) {
        run.failures += "first call not SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32): " + firstCall + "\n";
    }
    size_t shell32 = calls.find("L\"shell32.dll\",00000000,00000800)");
    if (shell32 == std::string::npos) {
        run.failures += "shell32 not loaded with LOAD_LIBRARY_SEARCH_SYSTEM32\n";
    }
    // The policy number, 16, first and the length of its structure, 4, last.
    size_t guard = calls.find(":Call KERNEL32.SetProcessMitigationPolicy(00000010,");
    std::string guardCall = guard < shell32 ? calls.substr(guard, calls.find('\n', guard) - guard) : "";
    if (guardCall.find(",00000004)") == std::string::npos) {
        run.failures +=
            "no SetProcessMitigationPolicy(ProcessRedirectionTrustPolicy, ..., 4) before shell32 is loaded\n";
    }
    const std::regex tracedCall(":(Call|Ret ) (KERNEL32|user32)\\.");
    std::istringstream lines(calls);
    for (std::string line; !run.failures.empty() && std::getline(lines, line);) {
        if (std::regex_search(line, tracedCall)) {
            run.failures += "  traced " + line + "\n";
        }
    }
    return run;
}

// Wine's settings for one program, by its file name.
const wchar_t cleanerSettings[] = L"Software\\Wine\\AppDefaults\\MarbeloDatabankCleaner.exe";

class EndToEnd : public ::testing::TestWithParam<Scenario> {
protected:
    // However the case ends: an ASSERT that ends it early must not leave a DLL disabled for the cases after it.
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, cleanerSettings); }
};

TEST_P(EndToEnd, DialogueAndFoldersAsExpected)
{
    const Scenario &scenario = GetParam();
    if ((scenario.platform == WineOnly && !UnderWine()) || (scenario.platform == WindowsOnly && UnderWine())) {
        GTEST_SKIP() << "behaviour of the other platform";
    }
    EndToEndRun run = BeginRun((scenario.plantDlls ? "PlantedDlls-" : "") + std::string(scenario.name),
                               scenario.place == CommonAppDataTooLong ? 252 : 0);
    if (scenario.place != NoCommonAppData) {
        std::vector<Entry> outside = outsideAlways;
        outside.insert(outside.end(), scenario.outsideBefore.begin(), scenario.outsideBefore.end());
        ASSERT_TRUE(StageEntries(&run, L"outside", outside, outside));
        for (const std::wstring &gone : scenario.outsideGone) {
            run.expected.erase(L"outside\\" + gone);
        }
    }
    if (scenario.place == DataFolder || scenario.place == CommonAppDataTooLong) {
        ASSERT_TRUE(StageEntries(&run, L"Marbelo", scenario.before, scenario.after));
        for (const Numbered &numbered : scenario.numbered) {
            ASSERT_TRUE(StageNumbered(&run, numbered.prefix, numbered.count, numbered.extension, numbered.suffixAfter));
        }
    } else if (scenario.place == DataFolderIsAFile) {
        const std::vector<Entry> file = {{L"Marbelo", "not a folder"}};
        ASSERT_TRUE(StageEntries(&run, L"", file, file));
    }
    if (scenario.plantDlls) {
        ASSERT_TRUE(StagePlantedCopies(&run));
    }
    ASSERT_TRUE(PointCommonAppData(scenario.place == NoCommonAppData ? run.common + L"\\absent" : run.common));
    // Set before anything is started, so that a failure here leaves nothing running.
    if (scenario.disabledDll != nullptr) {
        ASSERT_TRUE(SetRegistryValue(HKEY_CURRENT_USER, cleanerSettings + std::wstring(L"\\DllOverrides"),
                                     scenario.disabledDll, REG_SZ, L"disabled"));
    }

    HANDLE held = INVALID_HANDLE_VALUE;
    if (scenario.heldOpen != nullptr) {
        held = CreateFileW(Long(run.data + L"\\" + scenario.heldOpen).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held) << "error " << GetLastError();
    }
    PROCESS_INFORMATION marbelo = StartMarbelo(scenario.marbelo);

    run.options.arguments = scenario.arguments;
    run.options.showCommand = scenario.showCommand;
    RunSeen seen = scenario.noDisplay ? RunWithoutDisplay(run.program)
                                      : RunDialogue(run, scenario.dialogue, [&marbelo] { StopMarbelo(&marbelo); });
    StopMarbelo(&marbelo);
    if (held != INVALID_HANDLE_VALUE) {
        CloseHandle(held);
    }
    ExpectDialogue(scenario.dialogue, seen);
    ExpectFolders(run);
    EndRun(run);
}

std::string ScenarioName(const ::testing::TestParamInfo<Scenario> &info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, EndToEnd, ::testing::ValuesIn(scenarios), ScenarioName);
// The whole dialogue, and the running-Marbelo Retry path.
INSTANTIATE_TEST_SUITE_P(PlantedDlls, EndToEnd,
                         ::testing::ValuesIn(PlantedDlls({"ExactlyTwoRenames", "MarbeloRunningRetryUntilItIsClosed"})),
                         ScenarioName);

} // namespace
