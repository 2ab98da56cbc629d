#pragma once

#include "windows/main/tool_windows.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace orbita::test {

// Records every window the main windows ask to open, as one line each
// ("element 26", "help O_MENU", "tool /bin/true"), and answers the element
// choice and the quit prompt from its fields. The tip of the day and the
// quit prompt are recorded too unless `realDialogs` passes them on to the
// program's windows.
class RecordingToolWindows final : public ToolWindows {
public:
    QStringList calls;
    std::optional<int> chosenElement;
    bool quitAnswer = true;
    bool realDialogs = false;

    void OpenElement(QWidget*, int number) override { calls << QStringLiteral("element %1").arg(number); }
    std::optional<int> ChooseElement(QWidget*) override
    {
        calls << QStringLiteral("choose");
        return chosenElement;
    }
    void ShowHelp(QWidget*, const QString& topic) override { calls << QStringLiteral("help ") + topic; }
    void OpenFind(QWidget*) override { calls << QStringLiteral("find"); }
    void OpenUpdate(QWidget*) override { calls << QStringLiteral("update"); }
    void OpenSettings(QWidget*) override { calls << QStringLiteral("settings"); }
    void OpenTables(QWidget*) override { calls << QStringLiteral("tables"); }
    void OpenTest(QWidget*) override { calls << QStringLiteral("test"); }
    void OpenDictionary(QWidget*) override { calls << QStringLiteral("dictionary"); }
    void OpenUnits(QWidget*) override { calls << QStringLiteral("units"); }
    void ShowAbout(QWidget* owner) override
    {
        calls << QStringLiteral("about");
        if (realDialogs)
            ToolWindows::ShowAbout(owner);
    }
    void ShowTip(QWidget* owner) override
    {
        calls << QStringLiteral("tip");
        if (realDialogs)
            ToolWindows::ShowTip(owner);
    }
    bool ConfirmQuit(QWidget* owner) override
    {
        calls << QStringLiteral("quit?");
        return realDialogs ? ToolWindows::ConfirmQuit(owner) : quitAnswer;
    }
    void RunTool(QWidget*, const QString& target) override { calls << QStringLiteral("tool ") + target; }

    QStringList take()
    {
        QStringList taken;
        taken.swap(calls);
        return taken;
    }
};

} // namespace orbita::test
