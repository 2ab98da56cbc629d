#pragma once

#include "windows/main/main_commands.h"
#include "windows/main/main_form_base.h"

#include <QPointer>
#include <functional>
#include <string>

class QMenu;
class QTimer;

namespace orbita {

class THTTPGet;
class TSkinForm;

// The periodic-table window: one skinned picture (TSkinForm) whose hot areas
// are the element cells and the command buttons. A left click opens the
// element or runs the command, a right click opens the main menu; the skin
// shows the clock and the program version. It closes the splash screen about
// a second after the message loop starts and then offers the tip of the day.
// Closing it (with the quit prompt unless ExitPrompt is 0) ends the run.
class TMainForm final : public TMainFormBase {
    Q_OBJECT
public:
    // `splash` is freed by the splash timer. Other windows open through the
    // window opener; F1 and the help command open the topic O_GLOWNE.
    explicit TMainForm(QWidget* splash = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The clock text source (default NowText()); the clock shows it at once.
    void SetClock(std::function<std::string()> clock);

    // Handlers, named after the components.
    void SkinFormMouseUpNotify(
        const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void SkinFormMouseMoveNotify(const QString& id, Qt::KeyboardModifiers shift, int x, int y);
    void CurrentTimerTimer();
    void SplashTimerTimer();
    void UruchomieniaTimerTimer();

    // Runs a command; menus pop up at `popupAt` (screen coordinates), the
    // element window opens for `element`.
    void RunCommand(MainCommand command, QPoint popupAt = {}, int element = 0);
    // Rebuilds the tools menu from the store (as before every opening).
    void RebuildToolsMenu();

    TSkinForm* skinForm() const { return m_skinForm; }
    QMenu* mainMenu() const { return m_mainMenu; }
    QMenu* utilsMenu() const { return m_utilsMenu; }
    QMenu* toolsMenu() const { return m_toolsMenu; }
    // Whether the skin package named by SkinFile is in use.
    bool UsesSkinPackage() const { return m_usesPackage; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void connectComponents();
    QMenu* buildMenu(const char* name, std::span<const MenuItemDef> items);
    void popUp(QMenu& menu, QPoint at);

    std::function<std::string()> m_clock;
    QPointer<QWidget> m_splash;
    bool m_shown = false;
    bool m_closing = false;
    bool m_usesPackage = false;

    TSkinForm* m_skinForm = nullptr;
    QMenu* m_mainMenu = nullptr;
    QMenu* m_utilsMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QTimer* m_currentTimer = nullptr;
    QTimer* m_splashTimer = nullptr;
    QTimer* m_uruchomieniaTimer = nullptr;
    THTTPGet* m_httpGetFile = nullptr;
};

} // namespace orbita
