// The floor for cleaning: renames FOLDER\nNNNNN.db to nNNNNN.db.backup for
// COUNT names in a bare loop and prints the milliseconds the loop took.
//   bare_rename FOLDER COUNT
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int count, wchar_t **arguments)
{
    if (count != 3 || !SetCurrentDirectoryW(arguments[1])) {
        std::fprintf(stderr, "usage: bare_rename FOLDER COUNT (an existing folder)\n");
        return 2;
    }
    long names = std::wcstol(arguments[2], nullptr, 10);
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    long failed = 0;
    for (long i = 0; i < names; ++i) {
        wchar_t from[32], to[32];
        std::swprintf(from, 32, L"n%05ld.db", i);
        std::swprintf(to, 32, L"n%05ld.db.backup", i);
        failed += MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
    }
    QueryPerformanceCounter(&end);
    std::printf("%.3f\n", 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    return failed == 0 ? 0 : 1;
}
