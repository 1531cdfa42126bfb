#include "owner_window.h"

#include "resource_ids.h"

static const wchar_t ownerClassName[] = L"MARBELODATABANKCLEANER";

void RegisterOwnerClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_CLEANER));
    windowClass.hCursor = LoadCursorW(NULL, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = ownerClassName;
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_CLEANER));
    // A failed registration shows only as a missing owner window.
    RegisterClassExW(&windowClass);
}

HWND CreateOwnerWindow(HINSTANCE instance)
{
    // Never shown: it exists only to own the message boxes.
    return CreateWindowExW(0, ownerClassName, NULL, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, NULL, NULL,
                           instance, NULL);
}
