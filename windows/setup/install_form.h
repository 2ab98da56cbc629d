#pragma once

#include "windows/main/simple_main_window.h"

namespace orbita {

// The installer window (its pages arrive with the installer itself).
class TInstallForm final : public SimpleMainWindow {
    Q_OBJECT
public:
    explicit TInstallForm(QWidget* parent = nullptr);
};

} // namespace orbita
