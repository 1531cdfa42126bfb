// Drives a program through its message boxes the way a user does: starts it,
// finds each box of its process, reads caption, text, buttons and icon,
// presses the scripted button and records everything it saw.
#ifndef MARBELO_CLEANER_TESTS_BOX_DRIVER_H
#define MARBELO_CLEANER_TESTS_BOX_DRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Answer that closes the box with its title-bar button instead of pressing one.
const int closeBox = 0;

struct ScriptedAnswer {
    int button;                  // IDOK, IDYES, IDRETRY, ... or closeBox
    std::function<void()> first; // done just before answering, may be empty
};

struct BoxSeen {
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons; // control IDs, ascending
    const char *icon;         // "warning", "information", "error", "question", "none" or "unknown"
    std::wstring ownerClass;  // class of the owner window, empty if none
    bool ownerVisible;
    int answer;
    double shownAtMs;    // since the program was started
    double answeredAtMs; // likewise
};

struct RunSeen {
    std::vector<BoxSeen> boxes;
    DWORD exitCode;
    std::string failures; // one line each: unexpected box, missing button, timeout, ...
};

struct RunOptions {
    std::wstring arguments;        // appended to the program's own quoted path
    int showCommand = -1;          // SW_... given through STARTUPINFO, or -1 for none
    std::wstring workingDirectory; // the program's current directory; empty: the driver's
    DWORD stepTimeoutMs = 20000;   // longest wait for a box or for the exit
    std::wstring screenshotFolder; // if set, each box is saved there as box-N.png
    size_t terminateAfterBox = 0;  // if set, the program is killed once box N is answered,
    DWORD terminateDelayMs = 0;    // this long after the answer
};

// Starts a program, with the options' show command and current directory;
// with program empty, the command line's first word names it. False, with
// the reason in *why, if it cannot be started.
bool StartProgram(const std::wstring &program, std::wstring commandLine, const RunOptions &options,
                  PROCESS_INFORMATION *process, std::string *why);

RunSeen RunScripted(const std::wstring &program, const std::vector<ScriptedAnswer> &script, const RunOptions &options);

// The whole run in a readable form, one line per fact; texts are quoted with \n escaped.
std::string FormatTranscript(const RunSeen &run);

// One box as the transcript shows it.
std::string FormatBox(const std::wstring &caption, const std::wstring &text, unsigned style, const std::wstring &owner,
                      int answer);

// The style that a box of these buttons and this icon was made with, or -1.
int StyleOf(const BoxSeen &box);

std::string Utf8(const std::wstring &text);

// The button a transcript names ("ok", "yes", "close", ...), or -1.
int ButtonNamed(const std::string &name);

// Path of a file beside the running test program.
std::wstring BesideThisProgram(const wchar_t *fileName);

// A path in the temporary folder.
std::wstring InTemp(const std::wstring &name);

#endif
