#pragma once

class QWidget;

namespace orbita {

// A measurement seam for the start-up benchmark (bench/startup_bench.sh):
// when the environment variable ORBITA_REPORT_FIRST_PAINT is "1", the first
// paint event that `widget` receives prints one line
//     first-paint <nanoseconds of CLOCK_MONOTONIC>
// to standard output (flushed at once). Otherwise it does nothing.
void ReportFirstPaint(QWidget& widget);

} // namespace orbita
