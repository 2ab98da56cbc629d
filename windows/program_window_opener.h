#pragma once

#include "windows/window_opener.h"

namespace orbita {

// The program's windows behind the opener: the one place where each window
// is wired in.
class ProgramWindowOpener : public WindowOpener {
public:
    void ShowHelp(QWidget* owner, const QString& topic) override;
    void OpenElement(QWidget* owner, int number) override;
    std::optional<int> ChooseElement(QWidget* owner) override;
    void OpenFind(QWidget* owner) override;
    void OpenDictionary(QWidget* owner) override;
    void OpenTables(QWidget* owner) override;
    void OpenTest(QWidget* owner) override;
    void OpenUnits(QWidget* owner) override;
    void OpenMolarMass(QWidget* owner) override;
    void OpenPropertyTable(QWidget* owner) override;
    void OpenSettings(QWidget* owner) override;
    void OpenUpdate(QWidget* owner) override;
    void ShowAbout(QWidget* owner, AboutPage page) override;
    void ShowTip(QWidget* owner, TipStartupBox box) override;
    bool ConfirmQuit(QWidget* owner) override;
    void RunTool(QWidget* owner, const QString& target) override;
};

} // namespace orbita
