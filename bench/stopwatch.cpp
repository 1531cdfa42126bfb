// Runs a command line and prints the milliseconds from its start to its exit.
//   stopwatch COMMAND [ARGUMENTS...]
#include <windows.h>

#include <cstdio>
#include <string>

#include "../tests/driver/box_driver.h"

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
    PROCESS_INFORMATION process = {};
    std::string why;
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!StartProgram(L"", commandLine, RunOptions(), &process, &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    std::printf("%.3f\n", 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    return int(status);
}
