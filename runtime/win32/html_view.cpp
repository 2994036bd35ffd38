#include "runtime/win32/html_view.h"

#include <exdisp.h>
#include <oleauto.h>

#include <string>

#include "runtime/win32/dpi_scaling.h"
#include "runtime/win32/ole_apartment.h"
#include "runtime/win32/wide_text.h"

namespace win32 {

namespace {

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

AtlAxGetControlFunction getControl = nullptr;

// atl.dll ships with every Windows; it is loaded at run time so that the
// program still starts where it is missing.
bool loadAtl() {
    static bool tried = false;
    if (tried) return getControl != nullptr;
    tried = true;
    HMODULE atl = LoadLibraryW(L"atl.dll");
    if (atl == nullptr) return false;
    auto init =
        reinterpret_cast<AtlAxWinInitFunction>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    auto get = reinterpret_cast<AtlAxGetControlFunction>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    if (init == nullptr || get == nullptr || !init()) return false;
    getControl = get;
    return true;
}

// Holds one COM reference and releases it when it goes out of scope.
template <typename T>
struct Held {
    T* p = nullptr;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (p != nullptr) p->Release();
    }
};

// The view is a plain holder; the browser is made inside it when the program
// first navigates or writes a page. Made with the window, it cost the bank
// window's start the loading of atl, urlmon and ieframe and a first
// navigation, although the view is first used after a bank is chosen.
constexpr wchar_t kHolderClass[] = L"VorbelzozHtmlHolder";

LRESULT CALLBACK holderProc(HWND holder, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        // The browser fills its holder at whatever size the layout gives.
        if (HWND browser = GetWindow(holder, GW_CHILD))
            MoveWindow(browser, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    return DefWindowProcW(holder, message, wParam, lParam);
}

bool registerHolder() {
    static const bool registered = [] {
        WNDCLASSW holder{};
        holder.lpfnWndProc = holderProc;
        holder.hInstance = GetModuleHandleW(nullptr);
        holder.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        holder.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        holder.lpszClassName = kHolderClass;
        return RegisterClassW(&holder) != 0;
    }();
    return registered;
}

// The browser window inside the view, made on first use; nullptr without
// atl.dll.
HWND browserWindow(HWND view) {
    if (view == nullptr) return nullptr;
    if (HWND browser = GetWindow(view, GW_CHILD)) return browser;
    startOle();
    if (!loadAtl()) return nullptr;
    RECT area;
    GetClientRect(view, &area);
    return CreateWindowExW(0, L"AtlAxWin", L"about:blank", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                           area.bottom, view, nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool browserOf(HWND view, Held<IWebBrowser2>& browser) {
    if (view == nullptr || getControl == nullptr) return false;
    HWND inner = GetWindow(view, GW_CHILD);
    if (inner == nullptr) return false;
    Held<IUnknown> control;
    if (FAILED(getControl(inner, &control.p)) || control.p == nullptr) return false;
    return SUCCEEDED(control.p->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser.p))) &&
           browser.p != nullptr;
}

bool dispatchId(IDispatch* object, const wchar_t* name, DISPID& id) {
    auto* names = const_cast<LPOLESTR>(name);
    return SUCCEEDED(object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id));
}

// Reads a property by name (a method of that name serves as well).
bool readObject(IDispatch* object, const wchar_t* name, Held<IDispatch>& result) {
    DISPID id;
    if (!dispatchId(object, name, id)) return false;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                                &none, &value, nullptr, nullptr);
    if (SUCCEEDED(hr) && value.vt == VT_DISPATCH && value.pdispVal != nullptr) {
        result.p = value.pdispVal;
        return true;
    }
    VariantClear(&value);
    return false;
}

bool writeText(IDispatch* object, const wchar_t* name, const std::wstring& text) {
    DISPID id;
    if (!dispatchId(object, name, id)) return false;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (value.bstrVal == nullptr) return false;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                                nullptr, nullptr);
    VariantClear(&value);
    return SUCCEEDED(hr);
}

}  // namespace

HWND createHtmlView(HWND parent, DWORD style, DWORD exStyle, int left, int top, int width, int height,
                    int id) {
    auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    HWND view = nullptr;
    if (registerHolder()) {
        view = CreateWindowExW(exStyle, kHolderClass, L"", style | WS_CLIPCHILDREN, left, top, width, height,
                               parent, menu, GetModuleHandleW(nullptr), nullptr);
    }
    // Without a browser the view is an empty panel that still has its place,
    // size and visibility.
    if (view == nullptr) {
        view = CreateWindowExW(exStyle, L"STATIC", L"", style, left, top, width, height, parent, menu,
                               GetModuleHandleW(nullptr), nullptr);
    }
    return view;
}

void navigateHtml(HWND view, const Text& address) {
    browserWindow(view);
    Held<IWebBrowser2> browser;
    if (!browserOf(view, browser)) return;
    BSTR url = SysAllocString(toWide(address).c_str());
    if (url == nullptr) return;
    VARIANT empty;
    VariantInit(&empty);
    browser.p->Navigate(url, &empty, &empty, &empty, &empty);
    SysFreeString(url);
}

bool setHtmlBody(HWND view, const Text& html, int dpi) {
    browserWindow(view);
    Held<IWebBrowser2> browser;
    if (!browserOf(view, browser)) return false;
    Held<IDispatch> document;
    if (FAILED(browser.p->get_Document(&document.p)) || document.p == nullptr) return false;
    Held<IDispatch> body;
    if (!readObject(document.p, L"body", body)) return false;
    if (!writeText(body.p, L"innerHTML", toWide(html))) return false;
    // A loaded page is what the zoom needs; the first body written is the
    // first moment there surely is one.
    if (dpi != kDesignDpi) zoomHtmlForDpi(view, dpi);
    return true;
}

void zoomHtmlForDpi(HWND view, int dpi) {
    Held<IWebBrowser2> browser;
    if (!browserOf(view, browser)) return;
    // The optical zoom scales text, pictures and pixel sizes alike, which a
    // larger CSS font alone would not.
    VARIANT percent;
    VariantInit(&percent);
    percent.vt = VT_I4;
    percent.lVal = MulDiv(100, dpi, kDesignDpi);
    browser.p->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &percent, nullptr);
}

}  // namespace win32
