// The floor for start-up: a program that only shows one message box.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    MessageBoxW(nullptr, L"Hallo", L"Hallo", MB_OK | MB_ICONINFORMATION);
    return 0;
}
