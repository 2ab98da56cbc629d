// The property table window: one step of the temperature slider in state
// mode, recolouring and repainting the whole table (the widget grabbed, so
// that the painting is done and not only scheduled).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_property_table
#include "windows/properties/property_table_form.h"

#include <QApplication>
#include <QRadioButton>
#include <QSlider>
#include <benchmark/benchmark.h>

namespace orbita {
namespace {

void BM_SliderStep(benchmark::State& state)
{
    TPropertyTableForm form(nullptr, std::string(ORBITA_PROGRAM_DIR) + "/ORBITA.DAT");
    if (!form.table()) {
        state.SkipWithError("the content archive was not found");
        return;
    }
    form.show();
    form.findChild<QRadioButton*>(QStringLiteral("StanPrzycisk"))->setChecked(true);
    QSlider* slider = form.findChild<QSlider*>(QStringLiteral("TemperaturaSuwak"));
    slider->setValue(0);
    for (auto _ : state) {
        slider->setValue(slider->value() >= 100 ? 0 : slider->value() + 1);
        benchmark::DoNotOptimize(form.tableWidget()->grab());
    }
    form.reject();
}
BENCHMARK(BM_SliderStep)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace orbita

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
