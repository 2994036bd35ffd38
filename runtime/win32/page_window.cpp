#include "runtime/win32/page_window.h"

#include <wincodec.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "runtime/win32/dpi_scaling.h"
#include "runtime/win32/native_windows.h"
#include "runtime/win32/wide_text.h"
#include "stats/statistics_window.h"

namespace win32 {

namespace {

const wchar_t kPageClass[] = L"VorbelzozPage";
constexpr DWORD kPageStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFirstButtonId = 100;

struct PageWindow {
    HWND hwnd = nullptr;
    ShapePage page;
    std::vector<HWND> buttons;
    HFONT buttonFont = nullptr;
    int dpi = kDesignDpi;
    double scale = 1.0;
};

PageWindow shown;

// The window draws its page as at a lower DPI where the page must be smaller
// to fit the screen; rounded down, so it never outgrows the room the scale
// was chosen for.
int paintDpi() {
    return shown.scale < 1.0 ? std::max(1, static_cast<int>(shown.dpi * shown.scale)) : shown.dpi;
}

COLORREF colourOf(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Fonts of one painting, by 96-DPI height and weight.
class FontSet {
public:
    explicit FontSet(int dpi) : dpi_(dpi) {}
    ~FontSet() {
        for (auto& entry : fonts_) DeleteObject(entry.second);
    }
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;
    HFONT get(int height, bool bold) {
        auto& font = fonts_[{height, bold}];
        if (font == nullptr)
            font = CreateFontW(-toPixels(height, dpi_), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                               FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"");
        return font;
    }

private:
    int dpi_;
    std::map<std::pair<int, bool>, HFONT> fonts_;
};

RECT scaled(int x, int y, int width, int height, int dpi) {
    return RECT{toPixels(x, dpi), toPixels(y, dpi), toPixels(x + width, dpi), toPixels(y + height, dpi)};
}

void paintPage(HDC dc, const ShapePage& page, int dpi) {
    const RECT whole = scaled(0, 0, page.width, page.height, dpi);
    HBRUSH background = CreateSolidBrush(colourOf(page.background));
    FillRect(dc, &whole, background);
    DeleteObject(background);
    FontSet fonts(dpi);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, fonts.get(12, false));
    for (const Shape& shape : page.shapes) {
        RECT box = scaled(shape.x, shape.y, shape.width, shape.height, dpi);
        switch (shape.kind) {
            case ShapeKind::Fill: {
                HBRUSH brush = CreateSolidBrush(colourOf(shape.colour));
                FillRect(dc, &box, brush);
                DeleteObject(brush);
                break;
            }
            case ShapeKind::Line: {
                HPEN pen = CreatePen(PS_SOLID, std::max(1, dpi / kDesignDpi), colourOf(shape.colour));
                HGDIOBJ oldPen = SelectObject(dc, pen);
                MoveToEx(dc, box.left, box.top, nullptr);
                LineTo(dc, box.right, box.bottom);
                SelectObject(dc, oldPen);
                DeleteObject(pen);
                break;
            }
            case ShapeKind::Label: {
                SelectObject(dc, fonts.get(shape.pixelHeight, shape.bold));
                SetTextColor(dc, colourOf(shape.colour));
                const UINT align = shape.align == TextAlign::Centre  ? DT_CENTER
                                   : shape.align == TextAlign::Right ? DT_RIGHT
                                                                     : DT_LEFT;
                std::wstring text = toWide(shape.text);
                DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                          align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                break;
            }
        }
    }
    SelectObject(dc, oldFont);
}

// Painted off screen first, so the page never flickers.
void paintWindow(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    paintPage(memory, shown.page, paintDpi());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(hwnd, &paint);
}

void runCommand(int command) {
    try {
        onStatisticsCommand(command);
    } catch (...) {
        // Whatever a handler throws ends here, never in the system's dispatch.
    }
}

SIZE outerFor(const ShapePage& page, int dpi) {
    RECT frame = scaled(0, 0, page.width, page.height, dpi);
    AdjustWindowRectEx(&frame, kPageStyle, FALSE, 0);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void layOutButtons() {
    if (shown.buttonFont) DeleteObject(shown.buttonFont);
    bool owned = false;
    const int dpi = paintDpi();
    HFONT font = guiFont(dpi, owned);
    shown.buttonFont = owned ? font : nullptr;
    for (std::size_t i = 0; i < shown.buttons.size() && i < shown.page.buttons.size(); ++i) {
        const PageButton& b = shown.page.buttons[i];
        const RECT r = scaled(b.x, b.y, b.width, b.height, dpi);
        SetWindowPos(shown.buttons[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(shown.buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

LRESULT CALLBACK pageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_PAINT:
                paintWindow(hwnd);
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_COMMAND: {
                const int index = LOWORD(wParam) - kFirstButtonId;
                if (lParam != 0 && HIWORD(wParam) == BN_CLICKED && index >= 0 &&
                    index < static_cast<int>(shown.page.buttons.size()))
                    runCommand(shown.page.buttons[index].command);
                return 0;
            }
            case WM_DPICHANGED: {
                const auto* suggested = reinterpret_cast<const RECT*>(lParam);
                shown.dpi = LOWORD(wParam);
                SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                             suggested->right - suggested->left, suggested->bottom - suggested->top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
                layOutButtons();
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            }
            case WM_DESTROY:
                if (shown.buttonFont) DeleteObject(shown.buttonFont);
                shown = PageWindow();
                return 0;
            default:
                break;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool registerPageClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXW pageClass{};
    pageClass.cbSize = sizeof(pageClass);
    pageClass.lpfnWndProc = pageProc;
    pageClass.hInstance = GetModuleHandleW(nullptr);
    pageClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    pageClass.lpszClassName = kPageClass;
    // The program's icon, as its other windows have it.
    WNDCLASSEXW main{};
    main.cbSize = sizeof(main);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), L"VorbelzozWindow", &main)) {
        pageClass.hIcon = main.hIcon;
        pageClass.hIconSm = main.hIconSm;
    }
    registered = RegisterClassExW(&pageClass) != 0;
    return registered;
}

// The bytes of a PNG file of a 32-bit top-down BGR picture.
Bytes encodePng(const void* pixels, int width, int height) {
    const bool initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    Bytes png;
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&factory))) &&
              SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
              SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
              SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
              SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
              SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
              IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) &&
              SUCCEEDED(frame->WritePixels(height, width * 4, width * 4 * height,
                                           static_cast<BYTE*>(const_cast<void*>(pixels)))) &&
              SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    HGLOBAL memory = nullptr;
    if (ok && SUCCEEDED(GetHGlobalFromStream(stream, &memory))) {
        STATSTG stat{};
        if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
            const void* data = GlobalLock(memory);
            if (data)
                png.assign(static_cast<const char*>(data), static_cast<std::size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    if (frame) frame->Release();
    if (encoder) encoder->Release();
    if (stream) stream->Release();
    if (factory) factory->Release();
    if (initialised) CoUninitialize();
    return png;
}

}  // namespace

void showPageWindow(const ShapePage& page, double scale) {
    if (shown.hwnd != nullptr) {
        // Open already: the new page, the same buttons, brought to the front.
        shown.page.shapes = page.shapes;
        InvalidateRect(shown.hwnd, nullptr, FALSE);
        ShowWindow(shown.hwnd, SW_RESTORE);
        SetForegroundWindow(shown.hwnd);
        return;
    }
    if (!registerPageClass()) return;
    // Owned by the bank window, which is modal: its modal loop leaves this
    // window enabled, and it goes when the bank window goes.
    HWND owner = windowHandle(WindowId::Bank);
    const int dpi = owner ? windowDpi(owner) : systemDpi();
    shown.scale = scale;
    shown.dpi = dpi;
    const SIZE outer = outerFor(page, paintDpi());
    HWND hwnd =
        CreateWindowExW(0, kPageClass, toWide(page.caption).c_str(), kPageStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        outer.cx, outer.cy, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) {
        shown = PageWindow();
        return;
    }
    shown.hwnd = hwnd;
    shown.page = page;
    shown.dpi = windowDpi(hwnd);
    if (shown.dpi != dpi) {
        const SIZE resized = outerFor(page, paintDpi());
        SetWindowPos(hwnd, nullptr, 0, 0, resized.cx, resized.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (std::size_t i = 0; i < page.buttons.size(); ++i)
        shown.buttons.push_back(
            CreateWindowExW(0, L"BUTTON", toWide(page.buttons[i].caption).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)),
                            GetModuleHandleW(nullptr), nullptr));
    layOutButtons();
    // Centred in the work area the scale was chosen for: the bank window's
    // monitor, less its task bar.
    RECT frame;
    GetWindowRect(hwnd, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromWindow(owner ? owner : hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
        area = monitor.rcWork;
    const LONG left =
        area.left + std::max<LONG>(0, (area.right - area.left - (frame.right - frame.left)) / 2);
    const LONG top = area.top + std::max<LONG>(0, (area.bottom - area.top - (frame.bottom - frame.top)) / 2);
    SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
}

Bytes pagePicture(const ShapePage& page) {
    const int dpi = shown.hwnd ? shown.dpi : systemDpi();
    const int width = toPixels(page.width, dpi), height = toPixels(page.height, dpi);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows, as WIC takes them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    Bytes png;
    if (bitmap != nullptr && pixels != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        paintPage(memory, page, dpi);
        GdiFlush();
        png = encodePng(pixels, width, height);
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    return png;
}

bool takePageShortcut(const MSG& message) {
    if (shown.hwnd == nullptr || message.message != WM_KEYDOWN || (GetKeyState(VK_CONTROL) & 0x8000) == 0)
        return false;
    if (message.hwnd != shown.hwnd && !IsChild(shown.hwnd, message.hwnd)) return false;
    for (const PageButton& button : shown.page.buttons) {
        if (button.shortcut != 0 && static_cast<WPARAM>(button.shortcut) == message.wParam) {
            runCommand(button.command);
            return true;
        }
    }
    return false;
}

}  // namespace win32
