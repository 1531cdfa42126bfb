#include "target_probe.h"

#include <wchar.h>
#include <windows.h>

// The class-name form that WPF gives the windows of a process started as Marbelo.exe.
static const wchar_t targetClassPattern[] = L"HwndWrapper[Marbelo.exe;;";

static bool targetFound;

static BOOL CALLBACK InspectTopLevelWindow(HWND window, LPARAM pattern)
{
    wchar_t className[256];
    if (GetClassNameW(window, className, ARRAYSIZE(className)) == 0) {
        return TRUE;
    }
    if (wcsstr(className, reinterpret_cast<const wchar_t *>(pattern)) != NULL) {
        targetFound = true;
        return FALSE;
    }
    return TRUE;
}

bool IsTargetRunning()
{
    targetFound = false;
    EnumWindows(InspectTopLevelWindow, reinterpret_cast<LPARAM>(targetClassPattern));
    return targetFound;
}
