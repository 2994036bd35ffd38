// The quiz window as designed: a left column of quiz controls and, to its
// right, the meanings view that stays hidden until "词意" is checked.
#include "ui/main_window_layout.h"

namespace mainWindow {
namespace {

constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kCheck = ControlKind::CheckBox;
constexpr ControlKind kButton = ControlKind::PushButton;

// Columns: name, kind, left, top, width, height, caption, visible, enabled,
// checked, focusable, align, border, multi-line / word wrap, vertical scroll
// bar, blue text, font pixel height, progress maximum.
// clang-format off
const ControlSpec controls[controlCount] = {
    {"标签3", kLabel, 16, 8, 552, 24, "", true, true, false, false, Align::Left, Border::None, true, false, false, 0, 0},
    {"单选框1", kCheck, 8, 32, 51, 24, "词意", true, true, false, true, Align::Left, Border::None, false, false, false, 0, 0},
    {"单选框2", kCheck, 59, 32, 51, 24, "拼写", true, true, false, true, Align::Left, Border::None, false, false, false, 0, 0},
    {"单选框3", kCheck, 110, 32, 51, 24, "发音", true, true, true, true, Align::Left, Border::None, false, false, false, 0, 0},
    {"单选框4", kCheck, 160, 32, 51, 24, "音标", true, true, false, true, Align::Left, Border::None, false, false, false, 0, 0},
    {"单选框5", kCheck, 208, 32, 51, 24, "提示", true, true, false, true, Align::Left, Border::None, false, false, false, 0, 0},
    {"按钮1", kButton, 261, 32, 46, 24, "开始", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"超级编辑框1", ControlKind::RichTextBox, 8, 64, 568, 72, "", false, true, false, true, Align::Left, Border::Single, true, false, false, 0, 0},
    {"标签2", kLabel, 17, 129, 56, 16, "单词数量", false, true, false, false, Align::Left, Border::None, false, false, false, 0, 0},
    {"标签1", kLabel, 248, 128, 56, 16, "词库名称", false, true, false, false, Align::Left, Border::None, false, false, false, 0, 0},
    {"拼写标签", kLabel, 8, 135, 568, 40, "当前单词信息", false, true, false, false, Align::Center, Border::None, true, false, false, 32, 0},
    {"提示标签1", kLabel, 8, 176, 568, 40, "按F2进行提示", false, true, false, false, Align::Center, Border::None, true, false, false, 32, 0},
    {"编辑框2", ControlKind::EditBox, 8, 224, 568, 40, "", true, true, false, true, Align::Center, Border::Sunken, true, false, false, 21, 0},
    {"答题按钮1", kButton, 104, 272, 88, 32, "停止", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"答题按钮3", kButton, 200, 272, 104, 32, "完成", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"按钮2", kButton, 486, 271, 88, 32, "查看详情", true, false, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"标签4", kLabel, 8, 316, 560, 16, "按F1可以重听语音", true, true, false, false, Align::Left, Border::None, true, false, true, 0, 0},
    {"超文本浏览框1", ControlKind::HtmlView, 584, 3, 352, 488, "", false, true, false, true, Align::Left, Border::None, false, false, false, 0, 0},
};
// clang-format on

}  // namespace

const WindowSpec spec{WindowId::Main, "Vorbelzoz", 944, 524, controls};

}  // namespace mainWindow
