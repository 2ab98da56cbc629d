#pragma once

#include "windows/main/main_form_base.h"
#include "windows/main/menu_commands.h"

#include <QPoint>
#include <functional>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolButton;
class QTreeWidget;

namespace orbita {

class THTTPGet;

// The launcher of the compact start-up mode: the program's eight tools in a
// list with four view styles, a toolbar (view, help, tools, settings, about,
// update centre, close) and a clock. It is the application's main window in
// that mode; closing it ends the run.
class TMenuForm final : public TMainFormBase {
    Q_OBJECT
public:
    // The tools open through the window opener; help opens the topic O_MENU.
    explicit TMenuForm(QWidget* parent = nullptr);
    ~TMenuForm() override;

    // The clock text source (default NowText()).
    void SetClock(std::function<std::string()> clock);

    ViewStyle CurrentViewStyle() const { return m_viewStyle; }
    void SetViewStyle(ViewStyle style);

    // Handlers, named after the components.
    void CurrentTimerTimer();
    void UruchomieniaTimerTimer();
    void FormActivate();
    void OpenSelectedTool();
    void DetailsButtonClick();
    void ToolsButtonClick();
    void HelpButtonClick();
    void SettingsButtonClick();
    void AboutButtonClick();
    void UpdateButtonClick();
    void ToggleMaximized();

    QListWidget* listView() const { return m_listView; }
    QTreeWidget* reportView() const { return m_reportView; }
    QMenu* detailsMenu() const { return m_detailsMenu; }
    QMenu* toolsMenu() const { return m_toolsMenu; }
    QLabel* clockPanel() const { return m_czasPanel; }
    QWidget* mainPanel() const { return m_mainPanel; }
    QLabel* titlePanel() const { return m_titlePanel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildWindow();
    void connectComponents();
    QToolButton* addToolButton(
        const char* name, const char* glyph, const QString& caption, const QString& hint);
    bool runKey(int key, bool shift, bool alt);
    void openTool(LauncherTool tool);
    int selectedTool() const;
    int descriptionWidth() const; // of the longest description
    void selectTool(int index);
    void popUpBelow(QMenu& menu, QToolButton& button);
    Qt::Edges edgesAt(QPoint position) const;

    std::function<std::string()> m_clock;
    ViewStyle m_viewStyle = ViewStyle::LargeIcons;
    bool m_activated = false;
    bool m_closing = false;

    QLabel* m_titlePanel = nullptr;
    QWidget* m_mainPanel = nullptr;
    QStackedWidget* m_views = nullptr;
    QListWidget* m_listView = nullptr;
    QTreeWidget* m_reportView = nullptr;
    QLabel* m_czasPanel = nullptr;
    QMenu* m_detailsMenu = nullptr;
    QActionGroup* m_detailsGroup = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QToolButton* m_detailsButton = nullptr;
    QToolButton* m_helpButton = nullptr;
    QToolButton* m_toolsButton = nullptr;
    QToolButton* m_settingsButton = nullptr;
    QToolButton* m_aboutButton = nullptr;
    QToolButton* m_updateButton = nullptr;
    QToolButton* m_closeButton = nullptr;
    QTimer* m_currentTimer = nullptr;
    QTimer* m_uruchomieniaTimer = nullptr;
    THTTPGet* m_httpGetFile = nullptr;
};

} // namespace orbita
