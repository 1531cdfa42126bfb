// Stands in for a running Marbelo: shows nothing, but owns top-level windows
// whose class name is given on the command line.
//   fake_marbelo CLASS          one top-level window of class CLASS
//   fake_marbelo CLASS several  two of them
//   fake_marbelo CLASS child    a plain top-level window with one child of class CLASS
// It runs until it is terminated or one of its windows is closed.
#include <windows.h>

#include <cwchar>

static LRESULT CALLBACK FakeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static void Register(HINSTANCE instance, const wchar_t *className)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = FakeWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 2) {
        return 2;
    }
    const wchar_t *className = arguments[1];
    const wchar_t *mode = count > 2 ? arguments[2] : L"";
    Register(instance, className);
    if (std::wcscmp(mode, L"child") == 0) {
        Register(instance, L"FakeMarbeloHost");
        HWND host = CreateWindowExW(0, L"FakeMarbeloHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                    nullptr, instance, nullptr);
        CreateWindowExW(0, className, L"child", WS_CHILD, 0, 0, 10, 10, host, nullptr, instance, nullptr);
    } else {
        int windows = std::wcscmp(mode, L"several") == 0 ? 2 : 1;
        for (int i = 0; i < windows; ++i) {
            CreateWindowExW(0, className, L"Marbelo", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, instance,
                            nullptr);
        }
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
