// Randomly made data folders against an oracle written here from the
// program's rules, without its code: which entries must be renamed, which
// boxes must appear, which number the summary must show.
//   MARBELO_SEED=N       first seed (default: from the clock; always printed)
//   MARBELO_FOLDERS=N    how many folders (default 40)
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "end_to_end_run.h"

namespace {

bool SameIgnoringCase(const std::wstring &a, const std::wstring &b)
{
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

std::vector<Entry> MakeFolder(unsigned seed)
{
    std::mt19937 random(seed);
    auto pick = [&random](size_t n) { return size_t(random() % n); };
    static const wchar_t *const stems[] = {
        L"a",          L"Data", L"spots",  L"db", L"x y", L"caf\u00e9", L"\u6570\u636e",
        L"\U0001F600", L"a.b",  L"backup", L"",   L"1"};
    static const wchar_t *const extensions[] = {L".db",  L".spots", L".backup", L".DB",    L".Spots",
                                                L".txt", L".db~",   L".BACKUP", L".sPots", L".bak"};
    // Long names are ASCII, so a file system's limit of 255 counts the same in bytes and in code units.
    static const size_t longLengths[] = {240, 248, 249, 252, 253, 255};

    std::vector<Entry> entries;
    size_t count = 1 + pick(25);
    for (size_t i = 0; i < count; ++i) {
        std::wstring name = stems[pick(std::size(stems))] + std::to_wstring(pick(3) == 0 ? i : 0);
        for (size_t more = pick(3); more > 0; --more) {
            name += extensions[pick(std::size(extensions))];
        }
        if (pick(8) == 0) {
            std::wstring extension = extensions[pick(3)];
            size_t length = longLengths[pick(std::size(longLengths))];
            name = std::wstring(length - extension.size() - 1, L'n') + std::to_wstring(i % 10) + extension;
        }
        std::string contents = "seed " + std::to_string(seed) + " entry " + std::to_string(i);
        bool isDirectory = pick(10) == 0 && name.size() < 100;
        entries.push_back(isDirectory ? Entry(name, directory) : Entry(name, contents.c_str()));
        if (!isDirectory && name.size() <= 248 && pick(5) == 0) {
            entries.push_back(Entry(name + L".backup", ("older " + contents).c_str()));
        }
    }
    return entries;
}

// What the program's rules say about a name, written apart from its code.
bool IsDatabase(const std::wstring &name)
{
    size_t dot = name.rfind(L'.');
    return dot != std::wstring::npos && (name.substr(dot) == L".db" || name.substr(dot) == L".spots");
}

bool IsBackup(const std::wstring &name)
{
    size_t dot = name.rfind(L'.');
    return dot != std::wstring::npos && name.substr(dot) == L".backup";
}

// Whether the backup name of a database would meet the other entry in another
// letter case, or meet it at all where either of the two is a directory.
bool BackupMeets(const Entry &database, const Entry &other)
{
    std::wstring backup = database.name + L".backup";
    return IsDatabase(database.name) && SameIgnoringCase(backup, other.name) &&
           (backup != other.name || database.type == Entry::Directory || other.type == Entry::Directory);
}

// Leaves out what Windows itself would not keep apart or keep as named:
// names equal but for letter case, a trailing dot or space, and entries that
// a database's backup name would meet in another letter case.
std::vector<Entry> Tidy(const std::vector<Entry> &generated)
{
    std::vector<Entry> kept;
    for (const Entry &entry : generated) {
        bool clash = entry.name.empty() || entry.name.back() == L'.' || entry.name.back() == L' ';
        for (const Entry &other : kept) {
            clash = clash || SameIgnoringCase(entry.name, other.name) || BackupMeets(entry, other) ||
                    BackupMeets(other, entry);
        }
        if (!clash) {
            kept.push_back(entry);
        }
    }
    return kept;
}

struct Oracle {
    std::vector<ExpectedBox> dialogue;
    std::map<std::wstring, std::string> after;
};

Oracle Predict(const std::vector<Entry> &entries)
{
    Oracle oracle;
    size_t backups = 0;
    std::vector<const Entry *> databases;
    for (const Entry &entry : entries) {
        oracle.after[entry.name] = entry.type == Entry::Directory ? "<dir>" : entry.contents;
        backups += IsBackup(entry.name) ? 1 : 0;
        if (IsDatabase(entry.name)) {
            databases.push_back(&entry);
        }
    }
    if (!databases.empty()) {
        oracle.dialogue.push_back({Confirm, L"", IDYES});
    }
    size_t moved = 0, failed = 0;
    for (const Entry *database : databases) {
        // 248 + ".backup" is the longest name a file system keeps.
        if (database->name.size() > 248) {
            oracle.dialogue.push_back({RenameFailed, database->name, IDOK});
            ++failed;
            continue;
        }
        oracle.after[database->name + L".backup"] = oracle.after[database->name];
        oracle.after.erase(database->name);
        ++moved;
    }
    oracle.dialogue.push_back(SummaryFor(moved, backups, failed));
    return oracle;
}

unsigned long FromEnvironment(const char *name, unsigned long otherwise)
{
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoul(value, nullptr, 10) : otherwise;
}

TEST(RandomFolders, CleanAsTheOracleSays)
{
    unsigned long first = FromEnvironment("MARBELO_SEED", GetTickCount());
    unsigned long folders = FromEnvironment("MARBELO_FOLDERS", 40);
    std::printf("random folders: %lu from seed %lu\n", folders, first);
    for (unsigned long seed = first; seed < first + folders; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", replay with MARBELO_SEED=" + std::to_string(seed) +
                     " MARBELO_FOLDERS=1");
        std::vector<Entry> entries = Tidy(MakeFolder(unsigned(seed)));
        Oracle oracle = Predict(entries);
        EndToEndRun run = BeginRun("RandomFolder");
        ASSERT_TRUE(StageEntries(&run, L"Marbelo", entries, {}));
        for (const auto &[name, bytes] : oracle.after) {
            run.expected[L"Marbelo\\" + name] = bytes;
        }
        ASSERT_TRUE(PointCommonAppData(run.common));

        ExpectDialogue(oracle.dialogue, RunDialogue(run, oracle.dialogue));
        ExpectFolders(run);
        EndRun(run);
        if (HasFailure()) {
            return;
        }
    }
}

} // namespace
