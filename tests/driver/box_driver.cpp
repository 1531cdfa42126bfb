#include "box_driver.h"

#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const UINT textControlId = 0xFFFF;

// The icons a box may show: the system icon it draws, the icon's name in the
// transcript and the style that asks for it.
const struct {
    const wchar_t *resource;
    const char *name;
    int style;
} icons[] = {
    {nullptr, "none", 0},
    {IDI_WARNING, "warning", MB_ICONWARNING},
    {IDI_INFORMATION, "information", MB_ICONINFORMATION},
    {IDI_ERROR, "error", MB_ICONERROR},
    {IDI_QUESTION, "question", MB_ICONQUESTION},
};

// The answers by their names in transcripts and on the driver's command line.
const struct {
    int id;
    const char *name;
} buttons[] = {
    {closeBox, "close"}, {IDOK, "ok"},         {IDCANCEL, "cancel"}, {IDABORT, "abort"},
    {IDRETRY, "retry"},  {IDIGNORE, "ignore"}, {IDYES, "yes"},       {IDNO, "no"},
};

struct Finder {
    DWORD processId;
    HWND box;
    HWND shownOther; // a visible window of the process that is not a message box
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

BOOL CALLBACK FindWindowsOfProcess(HWND window, LPARAM parameter)
{
    Finder *finder = reinterpret_cast<Finder *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != finder->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (ClassOf(window) == L"#32770") {
        finder->box = window;
    } else {
        finder->shownOther = window;
    }
    return TRUE;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[4096] = L"";
    SendMessageW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text));
    return text;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM parameter)
{
    if (ClassOf(child) == L"Button" && IsWindowVisible(child)) {
        reinterpret_cast<std::vector<int> *>(parameter)->push_back(GetDlgCtrlID(child));
    }
    return TRUE;
}

BOOL CALLBACK FindIconControl(HWND child, LPARAM parameter)
{
    if (ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HWND *>(parameter) = child;
        return FALSE;
    }
    return TRUE;
}

// Pixels of a width x height area, top-down, as 0x00RRGGBB.
std::vector<DWORD> Pixels(HDC source, int x, int y, int width, int height)
{
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD *>(bits), static_cast<DWORD *>(bits) + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (DWORD &pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// What the screen shows in a window's rectangle.
std::vector<DWORD> ScreenPixels(const RECT &area)
{
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = Pixels(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The system icon drawn as the box draws it, on the background the box has.
std::vector<DWORD> DrawnSystemIcon(const wchar_t *icon, int width, int height, DWORD background)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB(background >> 16, (background >> 8) & 0xFF, background & 0xFF));
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DrawIconEx(memory, 0, 0, LoadIconW(nullptr, icon), 0, 0, 0, nullptr, DI_NORMAL);
    std::vector<DWORD> pixels = Pixels(memory, 0, 0, width, height);
    SelectObject(memory, old);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Icon handles mean nothing across processes, so the icon is told by its
// pixels on screen. Waits a little for the box to be painted.
const char *IconOf(HWND box)
{
    HWND control = nullptr;
    EnumChildWindows(box, FindIconControl, reinterpret_cast<LPARAM>(&control));
    if (control == nullptr || !IsWindowVisible(control)) {
        return "none";
    }
    RECT area;
    GetWindowRect(control, &area);
    if (area.left < 0 || area.top < 0) {
        // A box wider than the screen hangs off its edge: bring the icon into view.
        SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(control, &area);
    }
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return "none";
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::vector<DWORD> shown = ScreenPixels(area);
        for (const auto &icon : icons) {
            if (icon.resource != nullptr && DrawnSystemIcon(icon.resource, width, height, shown[0]) == shown) {
                return icon.name;
            }
        }
        Sleep(20);
    }
    return "unknown";
}

const char *ButtonName(int id)
{
    for (const auto &button : buttons) {
        if (button.id == id) {
            return button.name;
        }
    }
    return "other";
}

double Milliseconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

// The box as it stands on the screen, frame included, saved as PNG. The box
// may still be painting its controls: it is taken once two looks agree.
std::string SaveScreenshot(HWND box, const std::wstring &path)
{
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT area;
    GetWindowRect(box, &area);
    std::vector<DWORD> pixels = ScreenPixels(area);
    for (int look = 0; look < 50; ++look) {
        Sleep(200);
        std::vector<DWORD> again = ScreenPixels(area);
        if (again == pixels) {
            break;
        }
        pixels.swap(again);
    }

    static const CLSID pngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::Status status = Gdiplus::GdiplusStartup(&token, &input, nullptr);
    if (status == Gdiplus::Ok) {
        int width = area.right - area.left;
        Gdiplus::Bitmap image(width, area.bottom - area.top, width * 4, PixelFormat32bppRGB,
                              reinterpret_cast<BYTE *>(pixels.data()));
        status = image.Save(path.c_str(), &pngEncoder, nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
    return status == Gdiplus::Ok ? "" : "cannot save " + Utf8(path) + ": status " + std::to_string(status) + "\n";
}

BoxSeen Inspect(HWND box, double startedAt)
{
    BoxSeen seen;
    seen.shownAtMs = Milliseconds() - startedAt;
    seen.caption = TextOf(box);
    seen.text = TextOf(GetDlgItem(box, textControlId));
    EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&seen.buttons));
    std::sort(seen.buttons.begin(), seen.buttons.end());
    seen.icon = IconOf(box);
    HWND owner = GetWindow(box, GW_OWNER);
    seen.ownerClass = owner ? ClassOf(owner) : L"";
    seen.ownerVisible = owner && IsWindowVisible(owner);
    seen.answer = -1;
    seen.answeredAtMs = 0;
    return seen;
}

void Answer(HWND box, int button)
{
    if (button == closeBox) {
        PostMessageW(box, WM_CLOSE, 0, 0);
    } else {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }
}

std::string Quoted(const std::wstring &text)
{
    std::string out = "\"";
    for (char c : Utf8(text)) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The path a call wrote into buffer, of the length it returned. Without it
// every path below would be relative to wherever the test stands.
std::wstring Written(const char *call, const wchar_t *buffer, DWORD size, DWORD length)
{
    if (length == 0 || length >= size) {
        std::fprintf(stderr, "%s returned %lu (error %lu)\n", call, length, GetLastError());
        std::exit(2);
    }
    return std::wstring(buffer, length);
}

} // namespace

std::string Utf8(const std::wstring &text)
{
    if (text.empty()) {
        return "";
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

int ButtonNamed(const std::string &name)
{
    for (const auto &button : buttons) {
        if (name == button.name) {
            return button.id;
        }
    }
    return -1;
}

std::wstring InTemp(const std::wstring &name)
{
    wchar_t temp[MAX_PATH + 1];
    return Written("GetTempPathW", temp, ARRAYSIZE(temp), GetTempPathW(ARRAYSIZE(temp), temp)) + name;
}

std::wstring BesideThisProgram(const wchar_t *fileName)
{
    wchar_t path[MAX_PATH];
    std::wstring folder =
        Written("GetModuleFileNameW", path, ARRAYSIZE(path), GetModuleFileNameW(nullptr, path, ARRAYSIZE(path)));
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + fileName;
}

int StyleOf(const BoxSeen &box)
{
    static const struct {
        std::vector<int> buttons;
        int style;
    } kinds[] = {
        {{IDOK}, MB_OK},
        {{IDOK, IDCANCEL}, MB_OKCANCEL},
        {{IDABORT, IDRETRY, IDIGNORE}, MB_ABORTRETRYIGNORE},
        {{IDCANCEL, IDYES, IDNO}, MB_YESNOCANCEL},
        {{IDYES, IDNO}, MB_YESNO},
        {{IDCANCEL, IDRETRY}, MB_RETRYCANCEL},
    };
    for (const auto &kind : kinds) {
        if (kind.buttons != box.buttons) {
            continue;
        }
        for (const auto &icon : icons) {
            if (std::string(icon.name) == box.icon) {
                return kind.style | icon.style;
            }
        }
    }
    return -1;
}

std::string FormatBox(const std::wstring &caption, const std::wstring &text, unsigned style, const std::wstring &owner,
                      int answer)
{
    char styleText[16];
    std::snprintf(styleText, sizeof(styleText), "0x%02X", style);
    return "box " + Quoted(caption) + " style " + styleText + " owner " + Utf8(owner) + "\n  " + Quoted(text) +
           "\n  answer " + ButtonName(answer) + "\n";
}

std::string FormatTranscript(const RunSeen &run)
{
    std::string out;
    for (const BoxSeen &box : run.boxes) {
        std::wstring owner =
            box.ownerClass.empty() ? L"none" : box.ownerClass + (box.ownerVisible ? L" shown" : L" hidden");
        int style = StyleOf(box);
        if (style < 0) {
            out += "box with unknown style: icon " + std::string(box.icon) + ", buttons";
            for (int id : box.buttons) {
                out += std::string(" ") + ButtonName(id);
            }
            out += "\n";
        }
        out += FormatBox(box.caption, box.text, unsigned(style), owner, box.answer);
    }
    return out + "exit " + std::to_string(run.exitCode) + "\n" + run.failures;
}

bool StartProgram(const std::wstring &program, std::wstring commandLine, const RunOptions &options,
                  PROCESS_INFORMATION *process, std::string *why)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (options.showCommand >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = WORD(options.showCommand);
    }
    const wchar_t *workingDirectory = options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        nullptr, workingDirectory, &startup, process)) {
        *why = "cannot start " + Utf8(commandLine) + ": error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

RunSeen RunScripted(const std::wstring &program, const std::vector<ScriptedAnswer> &script, const RunOptions &options)
{
    RunSeen run;
    run.exitCode = STILL_ACTIVE;
    std::wstring commandLine = L"\"" + program + L"\"" + (options.arguments.empty() ? L"" : L" " + options.arguments);
    PROCESS_INFORMATION process = {};
    double startedAt = Milliseconds();
    std::string why;
    if (!StartProgram(program, commandLine, options, &process, &why)) {
        run.failures += why + "\n";
        return run;
    }
    CloseHandle(process.hThread);
    DWORD lastProgress = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        if (GetTickCount() - lastProgress > options.stepTimeoutMs) {
            run.failures += "timeout: no box and no exit for " + std::to_string(options.stepTimeoutMs) + " ms\n";
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
        Finder finder = {process.dwProcessId, nullptr, nullptr};
        EnumWindows(FindWindowsOfProcess, reinterpret_cast<LPARAM>(&finder));
        if (finder.shownOther != nullptr && run.failures.find("own window") == std::string::npos) {
            run.failures += "own window shown, class " + Utf8(ClassOf(finder.shownOther)) + "\n";
        }
        if (finder.box == nullptr) {
            continue;
        }
        BoxSeen box = Inspect(finder.box, startedAt);
        size_t index = run.boxes.size();
        int button = closeBox;
        if (index >= script.size()) {
            run.failures += "unexpected box " + std::to_string(index + 1) + ", closed\n";
        } else {
            button = script[index].button;
            if (button != closeBox && std::find(box.buttons.begin(), box.buttons.end(), button) == box.buttons.end()) {
                run.failures +=
                    "box " + std::to_string(index + 1) + " has no button " + ButtonName(button) + ", closed\n";
                button = closeBox;
            }
        }
        box.answer = button;
        if (index < script.size() && script[index].first) {
            script[index].first();
        }
        if (!options.screenshotFolder.empty()) {
            std::wstring name = L"\\box-" + std::to_wstring(index + 1) + L".png";
            run.failures += SaveScreenshot(finder.box, options.screenshotFolder + name);
        }
        Answer(finder.box, button);
        box.answeredAtMs = Milliseconds() - startedAt;
        run.boxes.push_back(box);
        if (run.boxes.size() == options.terminateAfterBox) {
            Sleep(options.terminateDelayMs);
            TerminateProcess(process.hProcess, 1);
            break;
        }
        lastProgress = GetTickCount();
        while (IsWindow(finder.box) && WaitForSingleObject(process.hProcess, 5) == WAIT_TIMEOUT) {
            if (GetTickCount() - lastProgress > options.stepTimeoutMs) {
                run.failures += "box " + std::to_string(index + 1) + " did not close when answered\n";
                TerminateProcess(process.hProcess, 1);
            }
        }
        lastProgress = GetTickCount();
        if (run.boxes.size() > script.size() + 5) {
            run.failures += "too many boxes, program stopped\n";
            TerminateProcess(process.hProcess, 1);
        }
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
    return run;
}
