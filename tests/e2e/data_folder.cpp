#include "data_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "../driver/box_driver.h"

typedef char *(CDECL *UnixFileName)(const wchar_t *);

std::wstring UnixPath(const std::wstring &path)
{
    UnixFileName unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char *name = unixFileName ? unixFileName(path.c_str()) : nullptr;
    if (name == nullptr) {
        return L"";
    }
    int size = MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name, -1, &wide[0], size);
    HeapFree(GetProcessHeap(), 0, name);
    wide.resize(size - 1);
    return wide;
}

// Wine does not hand back the exit of a Linux process, so the script leaves
// its status in a file when it is done.
bool RunLinuxShell(const std::wstring &script, const std::vector<std::wstring> &arguments, std::string *why,
                   unsigned long *status)
{
    std::wstring marker = InTemp(L"marbelo-shell-done");
    DeleteFileW(marker.c_str());
    std::wstring commandLine =
        L"Z:\\bin\\bash -c \"(" + script + L"); echo $? >\\\"$0\\\"\" \"" + UnixPath(marker) + L"\"";
    for (const std::wstring &argument : arguments) {
        commandLine += L" \"" + argument + L"\"";
    }
    PROCESS_INFORMATION process = {};
    if (!StartProgram(L"", commandLine, RunOptions(), &process, why)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int waited = 0; waited < 120000; waited += 10) {
        std::string written = ReadBytes(marker);
        if (!written.empty() && written.back() == '\n') {
            DeleteFileW(marker.c_str());
            if (status != nullptr) {
                *status = std::stoul(written);
            }
            if (written != "0\n") {
                *why = "status " + written + "from " + Utf8(commandLine);
            }
            return written == "0\n";
        }
        Sleep(10);
    }
    *why = "shell script did not finish: " + Utf8(commandLine);
    return false;
}

namespace {

bool CreateLink(const std::wstring &link, const std::wstring &target, std::string *why)
{
    if (UnderWine()) {
        // Wine's CreateSymbolicLinkW reports success and makes nothing.
        return RunLinuxShell(L"ln -s -- \\\"$1\\\" \\\"$2\\\"", {UnixPath(target), UnixPath(link)}, why);
    }
    DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (GetFileAttributesW(Long(target).c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
        flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
    }
    if (!CreateSymbolicLinkW(Long(link).c_str(), Long(target).c_str(), flags)) {
        *why = "cannot link " + Utf8(link) + ": error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

bool WriteNewFile(const std::wstring &path, const std::string &contents, std::string *why)
{
    HANDLE file =
        CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *why = "cannot create " + Utf8(path) + ": error " + std::to_string(GetLastError());
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, contents.data(), DWORD(contents.size()), &written, nullptr) && written == contents.size();
    CloseHandle(file);
    if (!ok) {
        *why = "cannot write " + Utf8(path);
    }
    return ok;
}

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
            (*entries)[prefix + name] = ReadBytes(folder + L"\\" + name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

size_t entriesRead = 0;

class Totals : public ::testing::Environment {
public:
    void TearDown() override { std::printf("end to end: %zu entries read back, byte for byte\n", entriesRead); }
};

const ::testing::Environment *const totals = ::testing::AddGlobalTestEnvironment(new Totals);

} // namespace

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
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(child);
            } else if (!DeleteFileW(Long(child).c_str())) {
                RemoveDirectoryW(Long(child).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (!RemoveDirectoryW(Long(path).c_str())) {
        SetFileAttributesW(Long(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(Long(path).c_str());
    }
}

void CreatePath(const std::wstring &path)
{
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(Long(path.substr(0, slash)).c_str(), nullptr);
    }
    CreateDirectoryW(Long(path).c_str(), nullptr);
}

bool Stage(const std::wstring &folder, const std::vector<Entry> &entries, const std::wstring &linkBase,
           std::string *why)
{
    CreatePath(folder);
    for (const Entry &entry : entries) {
        std::wstring path = folder + L"\\" + entry.name;
        bool made = true;
        switch (entry.type) {
        case Entry::Directory:
            made = CreateDirectoryW(Long(path).c_str(), nullptr);
            if (!made) {
                *why = "cannot make directory " + Utf8(path) + ": error " + std::to_string(GetLastError());
            }
            break;
        case Entry::File:
            made = WriteNewFile(path, entry.contents, why);
            break;
        case Entry::ReadOnlyFile:
            made = WriteNewFile(path, entry.contents, why) &&
                   SetFileAttributesW(Long(path).c_str(), FILE_ATTRIBUTE_READONLY);
            break;
        case Entry::Link:
            made = CreateLink(path, linkBase + L"\\" + entry.linkTarget, why);
            break;
        }
        if (!made) {
            return false;
        }
    }
    return true;
}

std::wstring NumberedName(const std::wstring &prefix, size_t number, const std::wstring &extension)
{
    wchar_t digits[16];
    swprintf(digits, ARRAYSIZE(digits), L"%05zu", number);
    return prefix + digits + extension;
}

bool WriteNumberedFiles(const std::wstring &folder, const std::wstring &prefix, size_t count,
                        const std::wstring &extension, std::string *why)
{
    CreatePath(folder);
    if (UnderWine()) {
        return RunLinuxShell(L"cd -- \\\"$1\\\" && for ((i = 0; i < $2; i++)); do printf -v n \\\"$3%05d$4\\\" $i; "
                             L"printf %s \\\"$n\\\" >\\\"$n\\\"; done",
                             {UnixPath(folder), std::to_wstring(count), prefix, extension}, why);
    }
    for (size_t i = 0; i < count; ++i) {
        std::wstring name = NumberedName(prefix, i, extension);
        if (!WriteNewFile(folder + L"\\" + name, Utf8(name), why)) {
            return false;
        }
    }
    return true;
}

std::string ReadBytes(const std::wstring &path)
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

std::map<std::wstring, std::string> Listing(const std::wstring &folder)
{
    std::map<std::wstring, std::string> entries;
    List(folder, L"", &entries);
    entriesRead += entries.size();
    return entries;
}

std::string Describe(const std::map<std::wstring, std::string> &entries)
{
    std::string out;
    for (const auto &entry : entries) {
        out += "  " + Utf8(entry.first) + " = " + entry.second + "\n";
    }
    return out;
}

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version") != nullptr;
}

// Only what differs, so that a folder of many thousand entries stays readable.
std::string Difference(const std::map<std::wstring, std::string> &expected,
                       const std::map<std::wstring, std::string> &actual)
{
    std::map<std::wstring, std::string> missing, unexpected;
    for (const auto &entry : expected) {
        auto found = actual.find(entry.first);
        if (found == actual.end() || found->second != entry.second) {
            missing.insert(entry);
        }
    }
    for (const auto &entry : actual) {
        auto found = expected.find(entry.first);
        if (found == expected.end() || found->second != entry.second) {
            unexpected.insert(entry);
        }
    }
    if (missing.empty() && unexpected.empty()) {
        return "";
    }
    auto firstFew = [](const std::map<std::wstring, std::string> &entries) {
        std::map<std::wstring, std::string> few;
        for (auto entry = entries.begin(); entry != entries.end() && few.size() < 20; ++entry) {
            few.insert(*entry);
        }
        return Describe(few) + (entries.size() > 20 ? "  ... " + std::to_string(entries.size()) + " in all\n" : "");
    };
    return "expected but not found:\n" + firstFew(missing) + "found but not expected:\n" + firstFew(unexpected);
}
