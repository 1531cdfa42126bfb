// Staging and reading back the folders a run works in.
#ifndef MARBELO_CLEANER_TESTS_DATA_FOLDER_H
#define MARBELO_CLEANER_TESTS_DATA_FOLDER_H

#include <map>
#include <string>
#include <vector>

// An entry of a folder. Names may hold a backslash for entries inside a
// directory of the same list.
struct Entry {
    enum Type { File, Directory, ReadOnlyFile, Link };

    // A file with these bytes, or a directory when contents is null.
    Entry(std::wstring name, const char *contents)
        : name(std::move(name)), contents(contents ? contents : ""), type(contents ? File : Directory)
    {
    }
    Entry(std::wstring name, std::string contents, Type type, std::wstring linkTarget = L"")
        : name(std::move(name)), contents(std::move(contents)), type(type), linkTarget(std::move(linkTarget))
    {
    }

    std::wstring name;
    std::string contents;
    Type type;
    std::wstring linkTarget; // for a Link: a path below the folder given to Stage as linkBase
};

const char *const directory = nullptr;

// A path that Windows takes at any length.
std::wstring Long(const std::wstring &path);

void RemoveTree(const std::wstring &path);
void CreatePath(const std::wstring &path);

// Creates the entries below folder; false, with the reason in *why, if one cannot be made.
bool Stage(const std::wstring &folder, const std::vector<Entry> &entries, const std::wstring &linkBase,
           std::string *why);

// prefix + number in 5 digits + extension: the names WriteNumberedFiles makes.
std::wstring NumberedName(const std::wstring &prefix, size_t number, const std::wstring &extension);

// Creates the files NumberedName gives for the numbers 0 to count - 1, each
// holding its own name as bytes. Fast even for tens of thousands, where one
// Windows call per file would not be under Wine.
bool WriteNumberedFiles(const std::wstring &folder, const std::wstring &prefix, size_t count,
                        const std::wstring &extension, std::string *why);

// A file's bytes, or "<unreadable: error N>".
std::string ReadBytes(const std::wstring &path);

// Every entry below folder by relative name: "<dir>" or the file's bytes.
std::map<std::wstring, std::string> Listing(const std::wstring &folder);

// One line per entry, for comparing listings in failure messages.
std::string Describe(const std::map<std::wstring, std::string> &entries);

// The entries missing from actual and those it has unexpectedly, bytes
// included, or "" when the two are the same.
std::string Difference(const std::map<std::wstring, std::string> &expected,
                       const std::map<std::wstring, std::string> &actual);

bool UnderWine();

// Under Wine only: the Linux name of a Windows path, and a Linux shell for
// what Windows calls cannot do there (symbolic links, a program started
// without a display) or cannot do fast (many files in one folder). Runs
// bash -c script with the arguments as $1, $2, ... and waits for it; true
// if it ended with status 0, and the status in *status once it has ended.
std::wstring UnixPath(const std::wstring &path);
bool RunLinuxShell(const std::wstring &script, const std::vector<std::wstring> &arguments, std::string *why,
                   unsigned long *status = nullptr);

#endif
