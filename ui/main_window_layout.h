// The quiz window's controls, in table order.
#pragma once

#include "ui/layout.h"

namespace mainWindow {
enum Control : int {
    标签3,
    单选框1,
    单选框2,
    单选框3,
    单选框4,
    单选框5,
    按钮1,
    超级编辑框1,
    标签2,
    标签1,
    拼写标签,
    提示标签1,
    编辑框2,
    答题按钮1,
    答题按钮3,
    按钮2,
    标签4,
    超文本浏览框1,
    controlCount
};
inline ControlRef ctl(Control c) {
    return ControlRef{WindowId::Main, c};
}
extern const WindowSpec spec;
}  // namespace mainWindow
