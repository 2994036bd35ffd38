// The word-bank window as designed: the bank list on the left, the words of
// the clicked bank in the middle, the editor pane for new banks on the right.
#include "ui/bank_window_layout.h"

namespace bankWindow {
namespace {

constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kEdit = ControlKind::EditBox;
constexpr ControlKind kButton = ControlKind::PushButton;

// Columns as in the main window's table.
// clang-format off
const ControlSpec controls[controlCount] = {
    {"超级列表框1", ControlKind::ListView, 6, 27, 280, 701, "", true, true, false, true, Align::Left, Border::Sunken, false, false, false, 0, 0},
    {"词库列表1", kLabel, 304, 2, 152, 24, "所有单词", true, true, false, false, Align::Left, Border::None, false, false, false, 0, 0},
    {"编辑框1", kEdit, 295, 28, 241, 704, "", true, true, false, true, Align::Left, Border::Sunken, true, true, false, 0, 0},
    {"标签1", kLabel, 216, 0, 80, 24, "", false, true, false, false, Align::Left, Border::None, false, false, false, 0, 0},
    {"选择框1", ControlKind::CheckBox, 472, 8, 48, 16, "静音", true, true, false, true, Align::Left, Border::None, false, false, false, 0, 0},
    {"进度条1", ControlKind::ProgressBar, 432, 64, 134, 0, "", false, true, false, false, Align::Left, Border::None, false, false, false, 0, 100},
    {"按钮4", kButton, 539, 74, 56, 32, "导出>", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"标签2", kLabel, 592, 4, 80, 24, "创建新词库", true, true, false, false, Align::Left, Border::None, false, false, true, 0, 0},
    {"标签3", kLabel, 596, 31, 48, 24, "词库名称", true, true, false, false, Align::Left, Border::None, false, false, false, 0, 0},
    {"编辑框2", kEdit, 652, 32, 188, 20, "", true, true, false, true, Align::Left, Border::Single, false, false, false, 0, 0},
    {"编辑框3", kEdit, 600, 64, 241, 672, "", true, true, false, true, Align::Left, Border::Sunken, true, true, false, 0, 0},
    {"按钮1", kButton, 19, 737, 72, 24, "删除词库", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"使用词库按钮1", kButton, 192, 740, 88, 24, "使用该词库", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"按钮3", kButton, 672, 740, 72, 24, "清空", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"按钮2", kButton, 761, 740, 80, 24, "保存", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
    {"学习统计", kButton, 370, 740, 88, 24, "学习统计", true, true, false, true, Align::Center, Border::None, false, false, false, 0, 0},
};
// clang-format on

}  // namespace

const WindowSpec spec{WindowId::Bank, "选择词库", 858, 806, controls};

}  // namespace bankWindow
