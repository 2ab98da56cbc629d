#pragma once

#include <QObject>

namespace orbita {

// Lets hints (tooltips) of the whole application show only while ShowHint of
// the current account is not 0; the value is read each time a hint would
// show. Lives as long as its parent (the main window).
class HintGate final : public QObject {
    Q_OBJECT
public:
    explicit HintGate(QObject* parent);
    ~HintGate() override;

    // Whether ShowHint lets hints show now (missing counts as on).
    static bool HintsAllowed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace orbita
