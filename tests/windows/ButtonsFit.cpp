// buttons-fit TITLE FACE POINTS: waits for a top-level window whose title holds TITLE (up to 30 s), then checks
// that the caption of every visible button in it fits the button in the font the window draws it in (FACE at
// POINTS; another process's font handle cannot be used under Wine), with a margin for its frame: the
// installer's and uninstaller's pages under Wine, where a Japanese caption wider than the page was laid out
// for is clipped. Prints each button with its caption's width and its own; exits 1 when one does not fit, 2
// when no such window appeared.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK matchTitle(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    if (IsWindowVisible(window) && std::wstring(title).find(search->title) != std::wstring::npos) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int clipped = 0;
HFONT font = nullptr;

BOOL CALLBACK checkButton(HWND control, LPARAM)
{
    wchar_t kind[64] = {};
    GetClassNameW(control, kind, 64);
    if (lstrcmpiW(kind, L"Button") != 0 || !IsWindowVisible(control))
        return TRUE;
    wchar_t caption[256] = {};
    GetWindowTextW(control, caption, 256);
    std::wstring shown;
    for (const wchar_t* c = caption; *c; ++c)
        if (*c != L'&')
            shown += *c;
    if (shown.empty())
        return TRUE;
    HDC context = GetDC(control);
    HGDIOBJ before = SelectObject(context, font);
    SIZE extent = {};
    GetTextExtentPoint32W(context, shown.c_str(), static_cast<int>(shown.size()), &extent);
    SelectObject(context, before);
    ReleaseDC(control, context);
    RECT inside = {};
    GetClientRect(control, &inside);
    const LONG width = inside.right - inside.left;
    // Check boxes and radio buttons draw their mark left of the caption.
    const LONG style = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    const bool marked = style == BS_CHECKBOX || style == BS_AUTOCHECKBOX || style == BS_RADIOBUTTON ||
                        style == BS_AUTORADIOBUTTON || style == BS_3STATE || style == BS_AUTO3STATE;
    const bool fits = extent.cx + (marked ? 20 : 8) <= width;
    char text[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, caption, -1, text, sizeof text, nullptr, nullptr);
    std::printf("%s %s: %ld of %ld\n", fits ? "fits" : "CLIPPED", text, extent.cx, width);
    clipped += fits ? 0 : 1;
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 2;
    HDC screen = GetDC(nullptr);
    font = CreateFontW(-MulDiv(_wtoi(argv[3]), GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                       FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       argv[2]);
    ReleaseDC(nullptr, screen);
    Search search{argv[1]};
    for (int tries = 0; tries < 300 && !search.found; ++tries) {
        EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(100);
    }
    if (!search.found)
        return 2;
    Sleep(500); // the page's captions are set as it shows
    EnumChildWindows(search.found, checkButton, 0);
    return clipped == 0 ? 0 : 1;
}
