#pragma once

#include "windows/main/simple_main_window.h"

namespace orbita {

// The uninstaller window (its choices arrive with the uninstaller itself).
class TUninstallForm final : public SimpleMainWindow {
    Q_OBJECT
public:
    explicit TUninstallForm(QWidget* parent = nullptr);
};

} // namespace orbita
