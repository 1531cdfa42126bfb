// Runs a program and answers its message boxes from the command line:
//   cleaner_driver [--show N] [--answers yes,retry,ok,...] [--screenshots DIR] [--timings yes]
//                  PROGRAM [ARGUMENTS...]
// Prints the transcript, and with --timings a line per box with the times it
// appeared and was answered, in ms since the program was started. The exit
// status is 0 when every box was answered as scripted and the program ended
// by itself.
#include <cstdio>
#include <cwchar>
#include <string>

#include "box_driver.h"

int wmain(int count, wchar_t **arguments)
{
    RunOptions options;
    std::vector<ScriptedAnswer> script;
    bool timings = false;
    int next = 1;
    for (; next + 1 < count && arguments[next][0] == L'-'; next += 2) {
        std::wstring option = arguments[next];
        std::wstring value = arguments[next + 1];
        if (option == L"--show") {
            options.showCommand = std::wcstol(value.c_str(), nullptr, 10);
        } else if (option == L"--screenshots") {
            options.screenshotFolder = value;
        } else if (option == L"--timings") {
            timings = value == L"yes";
        } else if (option == L"--answers") {
            for (size_t start = 0; start <= value.size();) {
                size_t end = value.find(L',', start);
                std::wstring name = value.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
                int id = ButtonNamed(Utf8(name));
                if (id < 0) {
                    std::fprintf(stderr, "unknown answer %s\n", Utf8(name).c_str());
                    return 2;
                }
                script.push_back({id, nullptr});
                if (end == std::wstring::npos) {
                    break;
                }
                start = end + 1;
            }
        } else {
            std::fprintf(stderr, "unknown option %s\n", Utf8(option).c_str());
            return 2;
        }
    }
    if (next >= count) {
        std::fprintf(stderr, "usage: cleaner_driver [--show N] [--answers a,b,...] [--screenshots DIR] "
                             "[--timings yes] PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    for (int i = next + 1; i < count; ++i) {
        options.arguments += (i > next + 1 ? L" " : L"") + std::wstring(arguments[i]);
    }
    RunSeen run = RunScripted(arguments[next], script, options);
    std::string transcript = FormatTranscript(run);
    std::fwrite(transcript.data(), 1, transcript.size(), stdout);
    for (size_t i = 0; timings && i < run.boxes.size(); ++i) {
        std::printf("timing box %zu shown %.3f answered %.3f\n", i + 1, run.boxes[i].shownAtMs,
                    run.boxes[i].answeredAtMs);
    }
    return run.failures.empty() && run.boxes.size() == script.size() ? 0 : 1;
}
