#pragma once

#include <QWidget>

namespace orbita {

// A window that can be the application's main window: it tells when it has
// been closed, which ends the message loop.
class TMainFormBase : public QWidget {
    Q_OBJECT
public:
    explicit TMainFormBase(QWidget* parent = nullptr);

Q_SIGNALS:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace orbita
