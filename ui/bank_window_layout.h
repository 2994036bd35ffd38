// The word-bank window's controls, in table order.
#pragma once

#include "ui/layout.h"

namespace bankWindow {
enum Control : int {
    超级列表框1,
    词库列表1,
    编辑框1,
    标签1,
    选择框1,
    进度条1,
    按钮4,
    标签2,
    标签3,
    编辑框2,
    编辑框3,
    按钮1,
    使用词库按钮1,
    按钮3,
    按钮2,
    学习统计,
    controlCount
};
inline ControlRef ctl(Control c) {
    return ControlRef{WindowId::Bank, c};
}
extern const WindowSpec spec;
}  // namespace bankWindow
