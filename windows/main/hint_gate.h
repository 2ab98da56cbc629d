#pragma once

#include <QObject>

namespace orbita {

// Lets hints (tooltips) of the whole application show only while ShowHint of
// the current account is not 0; the value is read each time a hint would
// show. The gate stands in front of everything that could show a hint: a hint
// event is stopped as the application starts to deliver it, before any event
// filter (however late it was installed, such as a window's own hint
// handler) and before the widget. One gate serves every window however many
// HintGate objects exist; it stays while any of them lives (the main windows
// each own one).
class HintGate final : public QObject {
    Q_OBJECT
public:
    explicit HintGate(QObject* parent);
    ~HintGate() override;
    Q_DISABLE_COPY_MOVE(HintGate)

    // Whether ShowHint lets hints show now (missing counts as on).
    static bool HintsAllowed();
};

} // namespace orbita
