// Window layouts as data: every control with its designer name, kind,
// geometry, designed caption, starting state and appearance. Both backends
// build their windows from these tables.
#pragma once

#include <span>

enum class WindowId { Main = 0, Bank = 1 };

enum class ControlKind {
    Label,
    CheckBox,
    PushButton,
    EditBox,
    RichTextBox,
    HtmlView,
    ListView,
    ProgressBar,
};

enum class Align { Left, Center };
enum class Border { None, Single, Sunken };

struct ControlSpec {
    const char* name;  // designer name, GBK
    ControlKind kind;
    int left, top, width, height;  // client coordinates, outer size
    const char* caption;           // designed caption or text, GBK
    bool visible;
    bool enabled;
    bool checked;
    bool focusable;
    Align align;
    Border border;
    bool multiLine;  // edit and rich-text boxes, labels: word wrap
    bool verticalScrollBar;
    bool blueText;        // pure blue, RGB(0, 0, 255)
    int fontPixelHeight;  // 0: the window's default GUI font; else GB2312 charset, normal weight
    int rangeMax;         // progress bar maximum
};

struct WindowSpec {
    WindowId id;
    const char* caption;          // GBK
    int outerWidth, outerHeight;  // designed, frame included
    std::span<const ControlSpec> controls;
};

struct ControlRef {
    WindowId window;
    int index;  // position in the window's control table
};

const WindowSpec& windowSpec(WindowId id);
