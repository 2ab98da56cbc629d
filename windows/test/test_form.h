#pragma once

#include "widgets/dialog_form.h"
#include "windows/settings/view_appearance.h"
#include "windows/test/test_logic.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class QTimer;
class QToolButton;
class QTreeWidget;

namespace orbita {

class ThtmlLite;

// The folders whose packages the catalogue lists: TESTY of the program
// folder, then TESTY of the per-user data folder (each with a trailing "/").
QStringList TestPackageFolders();

// The test packages (`*.obt`, the extension in any letter case, hidden files
// included) of `folders`, sorted by file name without regard to case. When
// two folders hold the same name (without regard to case) the later folder's
// file is listed.
QStringList ListTestPackages(const QStringList& folders);

// The chemistry test window "Test chemiczny": the catalogue of the test
// packages, a run of the chosen test question by question, and its results
// with the grade. The notebook pages are "Wybor" (the choice), "Test" (the
// run), "Wynik" (the results) and "Brak" (no packages).
class TTestForm final : public TDialogForm {
    Q_OBJECT

public:
    enum class Page { Choice = 0, Test = 1, Results = 2, None = 3 };
    // A monotonic clock in milliseconds.
    using Clock = std::function<std::int64_t()>;

    // Creates the window over `owner` and shows it modally.
    static void ShowTest(QWidget* owner = nullptr);

    explicit TTestForm(QWidget* parent = nullptr, Clock clock = {});
    ~TTestForm() override;
    Q_DISABLE_COPY_MOVE(TTestForm)

    Page CurrentPage() const;
    bool Running() const;
    const ViewAppearance& Appearance() const { return m_appearance; }
    // The run in progress or just ended; null before the first start.
    const TestRun* Run() const { return m_run.get(); }
    // The full path of each listed package, in list order.
    QStringList ListedPackages() const;

    // Handlers.
    void RefreshButtonClick();
    void StartButtonClick();
    void NextButtonClick();
    void StopButtonClick();
    void SettingsButtonClick();
    void HelpButtonClick();
    // Prints the results page through the print preview (only while it shows).
    void PrintButtonClick();
    void TestListSelectionChange();
    void TimerTick();
    void HtmlFormSubmit(ThtmlLite* sender, const std::vector<std::string>& results);
    void HtmlHotSpotClick(const std::string& target, bool& handled);

    // Components.
    QLabel* TrybEtykieta = nullptr;
    QLabel* PostepEtykieta = nullptr;
    QFrame* PodgladPanel = nullptr;
    QFrame* GornyPanel = nullptr;
    QFrame* DolnyPanel = nullptr;
    QFrame* LewyPanel = nullptr;
    QFrame* PrawyPanel = nullptr;
    QStackedWidget* Notebook = nullptr;
    QFrame* ChoiceTopPanel = nullptr; // the list with its white border
    QFrame* ChoiceBottomPanel = nullptr; // the description and ShowBox
    QTreeWidget* TestList = nullptr;
    QPlainTextEdit* TitleMemo = nullptr;
    QCheckBox* ShowBox = nullptr;
    ThtmlLite* TestHtml = nullptr;
    QFrame* PrzyciskiPanel = nullptr; // NextButton and StopButton below the question
    QToolButton* NextButton = nullptr;
    QToolButton* StopButton = nullptr;
    ThtmlLite* WynikiHtml = nullptr;
    QLabel* BrakLabel = nullptr;
    QToolButton* StartButton = nullptr;
    QToolButton* RefreshButton = nullptr;
    QToolButton* HelpButton = nullptr;
    QToolButton* SettingsButton = nullptr;
    QToolButton* PrintButton = nullptr;
    QToolButton* CloseButton = nullptr;
    QTimer* Timer = nullptr;

    // While a test runs a close request (the close button is disabled) is
    // refused and asks to stop the test instead; the window stays open.
    void done(int result) override;

protected:
    void helpRequested() override { HelpButtonClick(); }
    void appearanceRequested() override { SettingsButtonClick(); }
    void printRequested() override { PrintButtonClick(); }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showPage(Page page);
    void colourBorders(const QColor& colour);
    void applyAppearance();
    void applyStep(const TestRun::Step& step);
    void showResults();
    void backToChoice(const QString& mode, const QString& progress);
    std::int64_t elapsedSeconds() const;
    std::optional<QString> selectedPackage() const;
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);

    Clock m_clock;
    ViewAppearance m_appearance;
    std::unique_ptr<TestRun> m_run;
    QString m_package; // the package of the run (its pictures)
    std::int64_t m_startMs = 0;
    bool m_refreshing = false;
    bool m_closed = false;
    bool m_fitted = false; // the opening width fits the list's columns
};

} // namespace orbita
