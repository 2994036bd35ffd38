#include "ui/layout.h"

#include "ui/bank_window_layout.h"
#include "ui/main_window_layout.h"

const WindowSpec& windowSpec(WindowId id) {
    return id == WindowId::Main ? mainWindow::spec : bankWindow::spec;
}
