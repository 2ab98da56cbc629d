// The document windows: opening help at a topic up to its first painted page,
// a link click up to the painted page, opening the dictionary (400 terms) up
// to its painted welcome page, and one keystroke in the dictionary's keyword
// box (search, selection, page and paint). The content archive is generated.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_reference_windows
#include "core/cp1250.h"
#include "core/registry.h"
#include "htmlview/html_view_widget.h"
#include "platform/shell_services.h"
#include "tests/data/test_zip_writer.h"
#include "windows/reference/dict_form.h"
#include "windows/reference/help_form.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace orbita {
namespace {

std::string cp(const std::string& utf8)
{
    return Utf8ToCp1250Lossy(utf8);
}

// A help page of the size the program's pages have: headings, paragraphs, a table and links.
std::string helpPage(const std::string& title, int paragraphs)
{
    std::string page = "<html><head><title>" + title + "</title></head><body><h2>" + title + "</h2>";
    for (int i = 0; i < paragraphs; ++i)
        page += "<p>Przycisk <b>Wyszukaj</b> otwiera okno wyszukiwania; <a href=\"O_TEST.HTM\">test</a> "
                "sprawdza wiadomości ucznia, a <i>słownik</i> objaśnia pojęcia chemiczne numer "
            + std::to_string(i) + ".";
    page += "<table border=1 width=\"100%\">";
    for (int row = 0; row < 12; ++row)
        page += "<tr><td>klawisz " + std::to_string(row) + "</td><td>działanie okna</td></tr>";
    return page + "</table></body></html>";
}

void writeArchive(const std::string& path)
{
    test::TestZipWriter zip;
    std::string menu = "<html><head><title>Tematy</title></head><body>";
    for (const char* topic : { "O_GLOWNE", "LEGENDA", "O_MENU", "O_TABLIC", "O_PIERWS", "O_SZUKAJ",
             "O_SLOWNK", "O_TEST", "O_LICZ", "O_CENTRM", "O_USTAWN", "O_LOGUJ" })
        menu += std::string("<p><a href=\"") + topic + ".HTM\">" + topic + "</a>";
    zip.members.push_back(test::Deflated("POMOC\\MENU.HTM", cp(menu + "</body></html>")));
    zip.members.push_back(test::Deflated("POMOC\\O_GLOWNE.HTM", cp(helpPage("Okno główne", 30))));
    zip.members.push_back(test::Deflated("POMOC\\O_TEST.HTM", cp(helpPage("Test wiedzy", 25))));
    zip.members.push_back(test::Deflated("POMOC\\LEGENDA.HTM", cp(helpPage("Legenda", 20))));
    std::string dictionary;
    const char* const stems[]
        = { "wiązanie", "żelazo", "kwas", "łańcuch", "ester", "zasada", "sól", "alkan" };
    for (int i = 0; i < 400; ++i)
        dictionary += cp(std::string(stems[i % 8]) + " " + std::to_string(1000 - i)) + '\xE1'
            + cp("Definicja terminu: <b>pojęcie</b> chemii ogólnej, nieorganicznej i organicznej, opisane "
                 "zdaniem lub dwoma dla ucznia szkoły średniej.")
            + "\r\n";
    zip.members.push_back(test::Deflated("SLOWNIK\\DANE.TXT", dictionary));
    test::WriteBytes(path, zip.Build());
}

void BM_OpenHelpAtTopic(benchmark::State& state)
{
    for (auto _ : state) {
        THelpForm form(QStringLiteral("O_GLOWNE"));
        form.show();
        form.ContentsHtml->repaint();
        if (form.ContentsHtml->DocumentTitle().empty()) {
            state.SkipWithError("no page");
            break;
        }
        form.done(1);
    }
}
BENCHMARK(BM_OpenHelpAtTopic)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_HelpLinkClick(benchmark::State& state)
{
    THelpForm form { QString() };
    form.show();
    const char* const targets[] = { "O_TEST.HTM", "LEGENDA.HTM" };
    int i = 0;
    for (auto _ : state) {
        bool handled = false;
        form.HotSpotClick(targets[i++ % 2], handled);
        form.ContentsHtml->repaint();
    }
    form.done(1);
}
BENCHMARK(BM_HelpLinkClick)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_OpenDictionary(benchmark::State& state)
{
    for (auto _ : state) {
        TDictForm form;
        form.show();
        form.MainHtml->repaint();
        if (form.Entries().size() != 400) {
            state.SkipWithError("dictionary not read");
            break;
        }
        form.done(1);
    }
}
BENCHMARK(BM_OpenDictionary)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Typing and erasing the last letter of "ż", "że", "żel" ... by turns.
void BM_DictionaryKeystroke(benchmark::State& state)
{
    TDictForm form;
    form.show();
    const QString word = QStringLiteral("żelazo 9");
    int length = 0;
    bool typing = true;
    for (auto _ : state) {
        if (typing) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, word.mid(length, 1));
            QApplication::sendEvent(form.KeywordBox, &key);
            ++length;
        } else {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
            QApplication::sendEvent(form.KeywordBox, &key);
            --length;
        }
        if (length == word.size())
            typing = false;
        else if (length == 0)
            typing = true;
        form.MainHtml->repaint();
        form.List->repaint();
    }
    form.done(1);
}
BENCHMARK(BM_DictionaryKeystroke)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace orbita

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("config"));
    QDir(root.path()).mkpath(QStringLiteral("program"));
    qputenv("ORBITA_CONFIG_DIR", root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("ORBITA_PROGRAM_DIR", root.filePath(QStringLiteral("program")).toLocal8Bit());
    QApplication app(argc, argv);
    orbita::writeArchive(orbita::ContentArchivePath());
    orbita::WriteRegString(orbita::Hive::CurrentUser, "Software\\Orbita", "User", "Administrator");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
