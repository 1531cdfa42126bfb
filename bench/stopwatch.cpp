// Runs a command line and prints the milliseconds from its start to its exit.
//   stopwatch COMMAND [ARGUMENTS...]
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int count, wchar_t **arguments)
{
    if (count < 2) {
        std::fprintf(stderr, "usage: stopwatch COMMAND [ARGUMENTS...]\n");
        return 2;
    }
    std::wstring commandLine;
    for (int i = 1; i < count; ++i) {
        commandLine += (i > 1 ? L" " : L"") + std::wstring(arguments[i]);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start: error %lu\n", GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    std::printf("%.3f\n", 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    return int(status);
}
