// The cleaner driven end to end, as a user drives it: each scenario stages a
// data folder, points the machine's common application-data folder at it,
// maybe starts a stand-in Marbelo, runs the real executable answering its
// boxes, and compares the dialogue and the folder afterwards, byte for byte.
// Needs the rights to write HKEY_LOCAL_MACHINE (any Wine prefix has them).
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "../../cleaning/publisher.h"
#include "../driver/box_driver.h"

namespace {

// --- What the user must see --------------------------------------------------

const wchar_t caption[] = L"Tavrion - Marbelo Databank Cleaner";
const wchar_t thanks[] =
    L"\n\nBedank voor het gebruik van de Tavrion Marbelo Databank Cleaner\n\n" PUBLISHER_CREDIT_LINE;

enum Message {
    FolderMissing,
    FolderClean,
    Confirm,
    StillRunning,
    RenameFailed, // names the entry
    SummaryNone,
    SummaryAlreadyClean,
    SummaryOne,
    SummaryMany, // with a number
};

struct ExpectedBox {
    Message message;
    std::wstring detail; // the entry's name, or the number in the summary
    int answer;
    bool stopMarbeloFirst = false;
};

std::wstring TextOf(const ExpectedBox &box, unsigned *style)
{
    switch (box.message) {
    case FolderMissing:
        *style = 0x30;
        return L"De data map van Marbelo is niet gevonden.\nIs Marbelo wel geinstalleerd?";
    case FolderClean:
        *style = 0x30;
        return L"De data map van Marbelo is al schoon.";
    case Confirm:
        *style = 0x43;
        return L"Met deze tool wordt de Databank van uw Marbelo programma opgeschoond.\nDit lost de meeste Databank "
               L"foutmeldingen op.\nU zult wel alle spots opnieuw moeten inlezen, dit gebeurd echter automatisch.\n\n"
               L"Wilt u doorgaan met het opschonen van uw Marbelo Databank?";
    case StillRunning:
        *style = 0x35;
        return L"Het lijkt erop dat Marbelo opgestart is.\nSluit het programma eerst af.";
    case RenameFailed:
        *style = 0x30;
        return L"De volgende Databank kon niet worden opgeschoond:\n" + box.detail;
    case SummaryNone:
        *style = 0x40;
        return L"Er zijn geen Databanken gevonden controleer uw instellingen of neem contact op met Tavrion via "
               L"" PUBLISHER_WEB_ADDRESS;
    case SummaryAlreadyClean:
        *style = 0x40;
        return std::wstring(L"Uw Databank(en) waren al opgeschoond, u kunt u Marbelo opnieuw opstarten.") + thanks;
    case SummaryOne:
        *style = 0x40;
        return std::wstring(L"Er is 1 Databank opgeschoond, u kunt u Marbelo opnieuw opstarten") + thanks;
    case SummaryMany:
        *style = 0x40;
        return L"Er zijn " + box.detail + L" Databanken opgeschoond, u kunt u Marbelo opnieuw opstarten." + thanks;
    }
    return L"";
}

std::string ExpectedTranscript(const std::vector<ExpectedBox> &boxes)
{
    std::string out;
    for (const ExpectedBox &box : boxes) {
        unsigned style = 0;
        std::wstring text = TextOf(box, &style);
        out += FormatBox(caption, text, style, L"MARBELODATABANKCLEANER hidden", box.answer);
    }
    return out + "exit 0\n";
}

// --- The data folder ---------------------------------------------------------

// An entry of the folder: a file with contents, or a directory (contents null).
// Names may hold a backslash for entries inside a directory.
struct Entry {
    std::wstring name;
    const char *contents;
};

const char *const directory = nullptr;

std::wstring Long(const std::wstring &path)
{
    return L"\\\\?\\" + path;
}

void RemoveTree(const std::wstring &path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Long(path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(Long(child).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                DeleteFileW(Long(child).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(Long(path).c_str());
}

void CreatePath(const std::wstring &path)
{
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(Long(path.substr(0, slash)).c_str(), nullptr);
    }
    CreateDirectoryW(Long(path).c_str(), nullptr);
}

void Stage(const std::wstring &folder, const std::vector<Entry> &entries)
{
    CreatePath(folder);
    for (const Entry &entry : entries) {
        std::wstring path = Long(folder + L"\\" + entry.name);
        if (entry.contents == directory) {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << Utf8(entry.name) << ": " << GetLastError();
            continue;
        }
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << Utf8(entry.name) << ": error " << GetLastError();
        DWORD written = 0;
        WriteFile(file, entry.contents, DWORD(strlen(entry.contents)), &written, nullptr);
        CloseHandle(file);
    }
}

std::string ReadAll(const std::wstring &path)
{
    HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<unreadable: error " + std::to_string(GetLastError()) + ">";
    }
    std::string contents;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        contents.append(buffer, got);
    }
    CloseHandle(file);
    return contents;
}

// Every entry below folder, by relative name: "<dir>" or the file's bytes.
void List(const std::wstring &folder, const std::wstring &prefix, std::map<std::wstring, std::string> *entries)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Long(folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*entries)[prefix + name] = "<dir>";
            List(folder + L"\\" + name, prefix + name + L"\\", entries);
        } else {
            (*entries)[prefix + name] = ReadAll(folder + L"\\" + name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::string Describe(const std::map<std::wstring, std::string> &entries)
{
    std::string out;
    for (const auto &entry : entries) {
        out += "  " + Utf8(entry.first) + " = " + entry.second + "\n";
    }
    return out;
}

// --- The machine's common application-data folder ------------------------------

const wchar_t shellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void PointCommonAppData(const std::wstring &folder)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, shellFolders, 0, KEY_SET_VALUE, &key));
    LONG result =
        RegSetValueExW(key, L"Common AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE *>(folder.c_str()),
                       DWORD((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, result);
}

// --- Marbelo -------------------------------------------------------------------

enum Marbelo {
    NotRunning,
    Running,         // one window of the class WPF gives Marbelo.exe
    RunningTwice,    // two such windows
    OtherCase,       // the class name in lower case: not Marbelo
    ChildWindowOnly, // the class only on a child window: not a top-level window
};

const wchar_t marbeloClass[] = L"HwndWrapper[Marbelo.exe;;6a1f1c0e-3b9d-4c57-9d6e-2f8f5a0c7d41]";

PROCESS_INFORMATION StartMarbelo(Marbelo marbelo)
{
    PROCESS_INFORMATION process = {};
    if (marbelo == NotRunning) {
        return process;
    }
    std::wstring arguments = marbelo == OtherCase ? L"hwndwrapper[marbelo.exe;;6a1f1c0e]" : marbeloClass;
    if (marbelo == RunningTwice) {
        arguments += L" several";
    } else if (marbelo == ChildWindowOnly) {
        arguments += L" child";
    }
    std::wstring program = BesideThisProgram(L"fake_marbelo.exe");
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start fake_marbelo: error " << GetLastError();
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
    NoCommonAppData,      // Common AppData points at a folder that does not exist
    CommonAppDataTooLong, // Common AppData is 252 characters long: no room for "\Marbelo"
};

struct Scenario {
    const char *name;
    Place place;
    std::vector<Entry> before;
    Marbelo marbelo;
    std::vector<ExpectedBox> dialogue;
    std::vector<Entry> after;
    const wchar_t *heldOpen = nullptr; // an entry another process keeps open, without delete sharing
    const wchar_t *arguments = L"";
    int showCommand = -1;
};

std::wstring LongName(size_t length, const wchar_t *extension)
{
    return std::wstring(length - wcslen(extension), L'n') + extension;
}

void PrintTo(const Scenario &scenario, std::ostream *out)
{
    *out << scenario.name;
}

// Too long for its backup name to fit in MAX_PATH.
const std::wstring name253 = LongName(253, L".db");

const Scenario scenarios[] = {
    {"NoCommonAppDataFolder", NoCommonAppData, {}, NotRunning, {{SummaryNone, L"", IDOK}}, {}},
    {"CommonAppDataPathTooLongEndsSilently", CommonAppDataTooLong, {{L"a.db", "a"}}, NotRunning, {}, {{L"a.db", "a"}}},
    {"DataFolderMissing", NoMarbeloFolder, {}, NotRunning, {{FolderMissing, L"", IDOK}, {SummaryNone, L"", IDOK}}, {}},
    {"EmptyDataFolder", DataFolder, {}, NotRunning, {{SummaryNone, L"", IDOK}}, {}},
    {"NothingOfInterestAsksNothing",
     DataFolder,
     {{L"readme.txt", "r"}, {L"spots", directory}, {L"x.dbx", "x"}},
     Running,
     {{SummaryNone, L"", IDOK}},
     {{L"readme.txt", "r"}, {L"spots", directory}, {L"x.dbx", "x"}}},
    {"BackupsOnlyAreAlreadyClean",
     DataFolder,
     {{L"a.spots.backup", "old a"}, {L"b.db.backup", "old b"}},
     Running,
     {{SummaryAlreadyClean, L"", IDOK}},
     {{L"a.spots.backup", "old a"}, {L"b.db.backup", "old b"}}},
    {"DeclinedWithNo",
     DataFolder,
     {{L"a.spots", "a"}, {L"b.db", "b"}},
     NotRunning,
     {{Confirm, L"", IDNO}},
     {{L"a.spots", "a"}, {L"b.db", "b"}}},
    {"DeclinedWithCancel",
     DataFolder,
     {{L"a.spots", "a"}, {L"a.spots.backup", "old"}},
     NotRunning,
     {{Confirm, L"", IDCANCEL}},
     {{L"a.spots", "a"}, {L"a.spots.backup", "old"}}},
    {"DeclinedByClosingTheBox", DataFolder, {{L"a.db", "a"}}, NotRunning, {{Confirm, L"", closeBox}}, {{L"a.db", "a"}}},
    {"ExactlyOneRename",
     DataFolder,
     {{L"a.spots", "a"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     {{L"a.spots.backup", "a"}}},
    {"ExactlyTwoRenames",
     DataFolder,
     {{L"a.spots", "a"}, {L"b.db", "b"}, {L"notes.txt", "n"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {SummaryMany, L"2", IDOK}},
     {{L"a.spots.backup", "a"}, {L"b.db.backup", "b"}, {L"notes.txt", "n"}}},
    {"OlderBackupIsReplaced",
     DataFolder,
     {{L"a.spots", "new a"}, {L"a.spots.backup", "old a"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     {{L"a.spots.backup", "new a"}}},
    {"ExtensionsAreCaseSensitiveAndExact",
     DataFolder,
     {{L"a.spots", "1"},
      {L"spots.db", "2"},
      {L"a.db.backup", "3"},
      {L"a.backup.db", "4"},
      {L"A.DB", "5"},
      {L".db", "7"},
      {L"db", "8"},
      {L"a.db~", "9"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {SummaryMany, L"4", IDOK}},
     {{L"a.spots.backup", "1"},
      {L"spots.db.backup", "2"},
      {L"a.db.backup", "3"},
      {L"a.backup.db.backup", "4"},
      {L"A.DB", "5"},
      {L".db.backup", "7"},
      {L"db", "8"},
      {L"a.db~", "9"}}},
    // Beside a.spots above, a.Spots could not exist on a case-insensitive file system.
    {"ExtensionsInOtherCaseAreNotDatabases",
     DataFolder,
     {{L"a.Spots", "1"}, {L"B.DB", "2"}, {L"c.Db", "3"}, {L"d.BACKUP", "4"}},
     NotRunning,
     {{SummaryNone, L"", IDOK}},
     {{L"a.Spots", "1"}, {L"B.DB", "2"}, {L"c.Db", "3"}, {L"d.BACKUP", "4"}}},
    {"DirectoryNamedLikeADatabaseIsRenamedWhole",
     DataFolder,
     {{L"x.db", directory}, {L"x.db\\inner.db", "inner"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     {{L"x.db.backup", directory}, {L"x.db.backup\\inner.db", "inner"}}},
    {"RenameOntoADirectoryFailsBesideOneThatWorks",
     DataFolder,
     {{L"a.db", "a"}, {L"b.db", "b"}, {L"b.db.backup", directory}},
     NotRunning,
     {{Confirm, L"", IDYES}, {RenameFailed, L"b.db", IDOK}, {SummaryOne, L"", IDOK}},
     {{L"a.db.backup", "a"}, {L"b.db", "b"}, {L"b.db.backup", directory}}},
    {"RenameOntoABackupHeldOpenFailsBesideOneThatWorks",
     DataFolder,
     {{L"a.db", "a"}, {L"b.spots", "b"}, {L"b.spots.backup", "old b"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {RenameFailed, L"b.spots", IDOK}, {SummaryOne, L"", IDOK}},
     {{L"a.db.backup", "a"}, {L"b.spots", "b"}, {L"b.spots.backup", "old b"}},
     L"b.spots.backup"},
    {"OnlyFailedRenamesAndNoBackupEndWithNothingFound",
     DataFolder,
     {{name253, "long"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {RenameFailed, name253, IDOK}, {SummaryNone, L"", IDOK}},
     {{name253, "long"}}},
    {"OverlongNameIsReportedAndTheRunGoesOn",
     DataFolder,
     {{name253, "long"}, {L"b.db", "b"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {RenameFailed, name253, IDOK}, {SummaryOne, L"", IDOK}},
     {{name253, "long"}, {L"b.db.backup", "b"}}},
    {"MarbeloRunningRetryUntilItIsClosed",
     DataFolder,
     {{L"a.spots", "a"}},
     Running,
     {{Confirm, L"", IDYES}, {StillRunning, L"", IDRETRY}, {StillRunning, L"", IDRETRY, true}, {SummaryOne, L"", IDOK}},
     {{L"a.spots.backup", "a"}}},
    {"MarbeloRunningCancelled",
     DataFolder,
     {{L"a.spots", "a"}, {L"b.db", "b"}},
     RunningTwice,
     {{Confirm, L"", IDYES}, {StillRunning, L"", IDCANCEL}},
     {{L"a.spots", "a"}, {L"b.db", "b"}}},
    {"MarbeloRunningBoxClosed",
     DataFolder,
     {{L"a.db", "a"}},
     Running,
     {{Confirm, L"", IDYES}, {StillRunning, L"", closeBox}},
     {{L"a.db", "a"}}},
    {"ClassNameInOtherCaseIsNotMarbelo",
     DataFolder,
     {{L"a.db", "a"}},
     OtherCase,
     {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     {{L"a.db.backup", "a"}}},
    {"ChildWindowIsNotMarbelo",
     DataFolder,
     {{L"a.db", "a"}},
     ChildWindowOnly,
     {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     {{L"a.db.backup", "a"}}},
    {"ArgumentsAreIgnored",
     DataFolder,
     {{L"a.db", "a"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     {{L"a.db.backup", "a"}},
     nullptr,
     L"/silent --folder C:\\ x.db"},
    {"StartedHidden",
     DataFolder,
     {{L"a.db", "a"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     {{L"a.db.backup", "a"}},
     nullptr,
     L"",
     SW_HIDE},
    {"StartedMinimised",
     DataFolder,
     {{L"a.db", "a"}},
     NotRunning,
     {{Confirm, L"", IDYES}, {SummaryOne, L"", IDOK}},
     {{L"a.db.backup", "a"}},
     nullptr,
     L"",
     SW_SHOWMINIMIZED},
};

std::wstring ScenarioRoot(const char *name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"marbelo-e2e\\";
    for (const char *c = name; *c; ++c) {
        root += wchar_t(*c);
    }
    return root;
}

// A folder whose full path is exactly length characters long, made of nested
// directories below root.
std::wstring PaddedTo(std::wstring root, size_t length)
{
    while (root.size() + 1 < length) {
        size_t part = std::min<size_t>(100, length - root.size() - 1);
        root += L"\\" + std::wstring(part, L'p');
    }
    return root;
}

// Puts the machine's own common application-data folder back after the suite.
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
            PointCommonAppData(original);
        }
    }

  private:
    wchar_t original[1024] = L"";
    bool saved = false;
};

const ::testing::Environment *const restorer = ::testing::AddGlobalTestEnvironment(new CommonAppDataRestored);

class EndToEnd : public ::testing::TestWithParam<Scenario> {};

TEST_P(EndToEnd, DialogueAndFolderAsExpected)
{
    const Scenario &scenario = GetParam();
    std::wstring root = ScenarioRoot(scenario.name);
    RemoveTree(root);
    std::wstring commonAppData = root;
    switch (scenario.place) {
    case DataFolder:
    case NoMarbeloFolder:
        break;
    case NoCommonAppData:
        commonAppData = root + L"\\absent";
        break;
    case CommonAppDataTooLong:
        commonAppData = PaddedTo(root, 252);
        break;
    }
    CreatePath(scenario.place == NoCommonAppData ? root : commonAppData);
    std::wstring dataFolder = commonAppData + L"\\Marbelo";
    if (scenario.place == DataFolder || scenario.place == CommonAppDataTooLong) {
        Stage(dataFolder, scenario.before);
    }
    PointCommonAppData(commonAppData);

    HANDLE held = INVALID_HANDLE_VALUE;
    if (scenario.heldOpen != nullptr) {
        held = CreateFileW(Long(dataFolder + L"\\" + scenario.heldOpen).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held) << "error " << GetLastError();
    }
    PROCESS_INFORMATION marbelo = StartMarbelo(scenario.marbelo);

    std::vector<ScriptedAnswer> script;
    for (const ExpectedBox &box : scenario.dialogue) {
        std::function<void()> first;
        if (box.stopMarbeloFirst) {
            first = [&marbelo] { StopMarbelo(&marbelo); };
        }
        script.push_back({box.answer, first});
    }
    RunOptions options;
    options.arguments = scenario.arguments;
    options.showCommand = scenario.showCommand;
    RunSeen run = RunScripted(BesideThisProgram(L"MarbeloDatabankCleaner.exe"), script, options);

    StopMarbelo(&marbelo);
    if (held != INVALID_HANDLE_VALUE) {
        CloseHandle(held);
    }
    EXPECT_EQ(ExpectedTranscript(scenario.dialogue), FormatTranscript(run));

    std::map<std::wstring, std::string> expected, actual;
    for (const Entry &entry : scenario.after) {
        expected[entry.name] = entry.contents == directory ? "<dir>" : entry.contents;
    }
    List(dataFolder, L"", &actual);
    EXPECT_EQ(Describe(expected), Describe(actual)) << "data folder " << Utf8(dataFolder);
    if (!HasFailure()) {
        RemoveTree(root);
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, EndToEnd, ::testing::ValuesIn(scenarios),
                         [](const ::testing::TestParamInfo<Scenario> &info) { return std::string(info.param.name); });

} // namespace
