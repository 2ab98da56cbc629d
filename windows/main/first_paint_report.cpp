#include "windows/main/first_paint_report.h"

#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace orbita {
namespace {

class FirstPaintFilter final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            timespec now {};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf(
                "first-paint %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void ReportFirstPaint(QWidget& widget)
{
    if (qEnvironmentVariable("ORBITA_REPORT_FIRST_PAINT") == QStringLiteral("1"))
        widget.installEventFilter(new FirstPaintFilter(&widget));
}

} // namespace orbita
