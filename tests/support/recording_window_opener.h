#pragma once

#include "windows/program_window_opener.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>

class QWidget;

namespace orbita::test {

// The window opener of the tests: installed while it lives, it records every
// window asked for as one line ("element 26", "help O_MENU", "about contact",
// "tool /bin/true") with the owner passed, and answers the element choice and
// the quit prompt from its fields. With `realDialogs` the about box, the tip
// of the day and the quit prompt are recorded and then shown by the
// program's opener.
class RecordingWindowOpener final : public WindowOpener {
public:
    RecordingWindowOpener()
        : m_previous(SetWindowOpener(this))
    {
    }
    ~RecordingWindowOpener() override { SetWindowOpener(m_previous); }
    Q_DISABLE_COPY_MOVE(RecordingWindowOpener)

    QStringList calls;
    QList<QWidget*> owners;
    std::optional<int> chosenElement;
    bool quitAnswer = true;
    bool realDialogs = false;

    void ShowHelp(QWidget* owner, const QString& topic) override
    {
        record(owner, QStringLiteral("help ") + topic);
    }
    void OpenElement(QWidget* owner, int number) override
    {
        record(owner, QStringLiteral("element %1").arg(number));
    }
    std::optional<int> ChooseElement(QWidget* owner) override
    {
        record(owner, QStringLiteral("choose"));
        return chosenElement;
    }
    void OpenFind(QWidget* owner) override { record(owner, QStringLiteral("find")); }
    void OpenDictionary(QWidget* owner) override { record(owner, QStringLiteral("dictionary")); }
    void OpenTables(QWidget* owner) override { record(owner, QStringLiteral("tables")); }
    void OpenTest(QWidget* owner) override { record(owner, QStringLiteral("test")); }
    void OpenUnits(QWidget* owner) override { record(owner, QStringLiteral("units")); }
    void OpenMolarMass(QWidget* owner) override { record(owner, QStringLiteral("molar mass")); }
    void OpenPropertyTable(QWidget* owner) override { record(owner, QStringLiteral("property table")); }
    void OpenSettings(QWidget* owner) override { record(owner, QStringLiteral("settings")); }
    void OpenUpdate(QWidget* owner) override { record(owner, QStringLiteral("update")); }
    void ShowAbout(QWidget* owner, AboutPage page) override
    {
        record(owner, page == AboutPage::Contact ? QStringLiteral("about contact") : QStringLiteral("about"));
        if (realDialogs)
            m_program.ShowAbout(owner, page);
    }
    void ShowTip(QWidget* owner, TipStartupBox box) override
    {
        record(owner,
            box == TipStartupBox::Shown ? QStringLiteral("tip") : QStringLiteral("tip without its box"));
        if (realDialogs)
            m_program.ShowTip(owner, box);
    }
    bool ConfirmQuit(QWidget* owner) override
    {
        record(owner, QStringLiteral("quit?"));
        return realDialogs ? m_program.ConfirmQuit(owner) : quitAnswer;
    }
    void RunTool(QWidget* owner, const QString& target) override
    {
        record(owner, QStringLiteral("tool ") + target);
    }

    // Whether every call recorded since the last take() passed `owner`.
    bool ownedBy(const QWidget* owner) const
    {
        return std::all_of(owners.begin(), owners.end(), [owner](const QWidget* w) { return w == owner; });
    }

    QStringList take()
    {
        owners.clear();
        QStringList taken;
        taken.swap(calls);
        return taken;
    }

private:
    void record(QWidget* owner, const QString& call)
    {
        calls << call;
        owners << owner;
    }

    WindowOpener* m_previous;
    ProgramWindowOpener m_program;
};

} // namespace orbita::test
