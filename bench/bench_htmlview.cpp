// The page engine with the Qt measures: (a) an element property page, (b) a
// 5,000-row table against QTextDocument on the same markup, (c) painting one
// viewport of that table after scrolling by one screen.
// Run: build/bench/bench_htmlview --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "htmlview/document_builder.h"
#include "htmlview/layout.h"
#include "htmlview/page_qt.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace orbita::html;

// One row of two cells per property, as the element window builds its page.
std::string ElementPage()
{
    std::string page = "<html><head><title>Tlen</title><meta http-equiv=\"content-type\" "
                       "content=\"text/html; charset=windows-1250\"></head><body><table width=\"100%\" border=\"1\">";
    const char* labels[] = { "Nazwa", "Symbol", "Liczba atomowa", "Masa atomowa", "Grupa", "Okres", "Blok",
        "Konfiguracja elektronowa", "Elektroujemno\x9c\xe6", "Promie\xf1 atomowy", "Temperatura topnienia",
        "Temperatura wrzenia", "G\xea" "sto\x9c\xe6", "Stopnie utlenienia", "Odkrywca", "Rok odkrycia",
        "Stan skupienia", "Izotopy trwa\xb3" "e", "Energia jonizacji", "Ciep\xb3o w\xb3" "a\x9c" "ciwe" };
    int i = 0;
    for (const char* label : labels) {
        page += "<tr><td width=\"50%\" valign=\"top\">";
        page += label;
        page += ":</td><td valign=\"top\" width=\"50%\">";
        if (++i % 4 == 0) {
            page += "<font color=\"red\">[Brak danych]</font></td></tr>";
        } else {
            page += "1s<sup>2</sup> 2s<sup>2</sup> 2p<sup>4</sup> " + std::to_string(i * 37);
            page += "<font color=\"green\">&nbsp;[kJ/mol]</font></td></tr>";
        }
    }
    page += "</table><p>Uwagi prosimy kierowa\xe6 na adres programu.</p></body></html>";
    return page;
}

std::string BigTablePage()
{
    std::string page = "<html><body><table border=1 cellpadding=2>";
    for (int row = 0; row < 5000; ++row) {
        page += "<tr>";
        for (int column = 0; column < 6; ++column)
            page += "<td>r" + std::to_string(row) + " c" + std::to_string(column) + " pole</td>";
        page += "</tr>";
    }
    page += "</table></body></html>";
    return page;
}

void BM_ElementPage(benchmark::State& state)
{
    const std::string page = ElementPage();
    QtFontMetrics metrics;
    LayoutOptions options;
    options.width = 600;
    for (auto _ : state) {
        const Document document = BuildDocument(page);
        const PageLayout layout = LayoutDocument(document, metrics, options);
        benchmark::DoNotOptimize(layout.height);
    }
}
BENCHMARK(BM_ElementPage)->Unit(benchmark::kMillisecond);

void BM_BigTable_PageEngine(benchmark::State& state)
{
    const std::string page = BigTablePage();
    QtFontMetrics metrics;
    LayoutOptions options;
    options.width = 600;
    for (auto _ : state) {
        const Document document = BuildDocument(page);
        const PageLayout layout = LayoutDocument(document, metrics, options);
        benchmark::DoNotOptimize(layout.height);
    }
}
BENCHMARK(BM_BigTable_PageEngine)->Unit(benchmark::kMillisecond);

void BM_BigTable_QTextDocument(benchmark::State& state)
{
    const QString page = QString::fromLatin1(BigTablePage());
    for (auto _ : state) {
        QTextDocument document;
        document.setHtml(page);
        document.setTextWidth(600);
        benchmark::DoNotOptimize(document.documentLayout()->documentSize().height());
    }
}
BENCHMARK(BM_BigTable_QTextDocument)->Unit(benchmark::kMillisecond);

void BM_BigTable_PaintViewport(benchmark::State& state)
{
    const std::string page = BigTablePage();
    QtFontMetrics metrics;
    LayoutOptions options;
    options.width = 600;
    const Document document = BuildDocument(page);
    const PageLayout layout = LayoutDocument(document, metrics, options);
    const int screen = 600;
    const Rect viewport { 0, screen, 600, screen }; // scrolled by one screen
    QImage picture(600, screen, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&picture);
        painter.translate(0, -viewport.y);
        QtPageCanvas canvas(painter);
        PaintPage(layout, document, canvas, viewport);
        painter.end();
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_BigTable_PaintViewport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
