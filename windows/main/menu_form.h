#pragma once

#include "windows/main/simple_main_window.h"

namespace orbita {

// The launcher of the compact start-up mode, captioned "Orbita".
class TMenuForm final : public SimpleMainWindow {
    Q_OBJECT
public:
    explicit TMenuForm(QWidget* parent = nullptr);
};

} // namespace orbita
