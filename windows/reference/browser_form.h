#pragma once

#include "core/settings.h"
#include "widgets/dialog_form.h"
#include "windows/reference/browser_logic.h"
#include "windows/settings/view_appearance.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <array>
#include <initializer_list>
#include <optional>
#include <string>

class QAction;
class QFrame;
class QHBoxLayout;
class QMenu;
class QSplitter;
class QToolButton;

namespace orbita {

class TFindDialog;
class ThtmlLite;

// ---- pieces shared by the three document windows ----

// A view as the document windows show it: Arial 9, black on white, links in
// the active-caption colour, no selection, no history, margins 5 across and 0
// down, no border.
void SetUpDocumentView(ThtmlLite& view);

// A find-next search in `view` for the find dialog: where the selected match
// is shown (global coordinates), nothing when there is no further match.
std::optional<QRect> FindInView(ThtmlLite& view, const QString& text, bool matchCase);
// The place `widget` covers on the screen (global coordinates).
QRect GlobalArea(const QWidget& widget);

// The four border strips, the main panel and the splitter take the page
// background (the splitter's handle is painted in it).
void PaintWithBackground(const QColor& background, std::initializer_list<QWidget*> widgets);
void PaintSplitter(QSplitter& splitter, const QColor& background);

// The list-pane toggle of the document windows: hides `pane` (remembering
// `currentWidth` in `width`) and gives the focus to `focusHidden`, or shows
// it again at `width` and gives the focus to `focusShown`; `button` is down
// while the pane shows.
void ToggleSidePane(QWidget& pane, QSplitter& splitter, QToolButton& button, int& width, int currentWidth,
    QWidget& focusHidden, QWidget& focusShown);

// The width of a left pane at opening: the stored width when
// SaveWindowsPlacement is 1 and the value exists, else `designed`.
int InitialPaneWidth(Splitter splitter, int designed);
// Stores the pane width, only while a user is logged in.
void StorePaneWidth(Splitter splitter, int width);
// Stores the appearance, only while a user is logged in.
void StoreAppearance(Viewer viewer, const ViewAppearance& appearance);
bool UserLoggedIn();

// The main panel of a window: the four border strips around a splitter with
// `left` and `right`; gives the panel.
QFrame* MakeMainPanel(QWidget* parent, QSplitter*& splitter, QWidget* left, QWidget* right, int leftWidth,
    QFrame* (&borders)[4], const std::array<const char*, 4>& borderNames);

// ---- the help and tables windows ----

// The two-pane document browser: the topic list MenuHtml and the page
// ContentsHtml, both read from the content archive, with the topic-list
// toggle, appearance, find in either pane and link routing. THelpForm and
// TTablesForm add their own buttons and rules.
class TBrowserForm : public TDialogForm {
    Q_OBJECT

public:
    // What makes the help window and the tables window differ.
    struct Kind {
        Browser browser;
        Viewer viewer;
        orbita::Splitter splitter;
        const char* objectName;
        const char* caption; // UTF-8
        std::array<const char*, 4> borderNames; // top, left, right, bottom
        bool menuPictures; // the topic list answers picture requests too
    };

    ~TBrowserForm() override;
    Q_DISABLE_COPY_MOVE(TBrowserForm)

    const ViewAppearance& Appearance() const { return m_appearance; }
    // The topic list's width (kept while the list is hidden).
    int MenuPaneWidth() const;
    bool MenuPaneShown() const;

    // Handlers.
    void ListButtonClick();
    void SettingsButtonClick();
    void FindButtonClick();
    void FindMenuPopup();
    void FindMenuMenuClick();
    void FindContentsMenuClick();
    void HotSpotClick(const std::string& target, bool& handled);

    // Components.
    QToolButton* ListButton = nullptr;
    QToolButton* SettingsButton = nullptr;
    QToolButton* FindButton = nullptr;
    QToolButton* CloseButton = nullptr;
    QFrame* MainPanel = nullptr;
    QSplitter* Splitter = nullptr;
    ThtmlLite* MenuHtml = nullptr;
    ThtmlLite* ContentsHtml = nullptr;
    QFrame* BorderPanels[4] = {};
    QMenu* FindMenu = nullptr;
    QAction* FindMenuMenu = nullptr;
    QAction* FindContentsMenu = nullptr;
    TFindDialog* FindMenuDialog = nullptr;
    TFindDialog* FindContentsDialog = nullptr;

    void done(int result) override;

protected:
    TBrowserForm(const Kind& kind, QWidget* parent);

    // The button row, for the subclass's buttons (between the list button and
    // the close button).
    QHBoxLayout* ButtonRow() const { return m_buttonRow; }
    // Reads the pane width and the appearance (call once the buttons exist).
    void ReadStoredLook();
    // Loads an archive member into a view; a missing member leaves the page.
    void LoadMember(ThtmlLite& view, const std::string& member);
    // Loads into ContentsHtml and refreshes the caption from the page's title.
    void ShowContents(const std::string& member);
    void RefreshCaption();

    // A link to a page of the window's folder was followed (help: history).
    virtual void PageLinkFollowed(const std::string& member) { (void)member; }
    // ContentsHtml shows another page (tables: whether it can be printed).
    virtual void ContentsShown() { }
    // Before any link click is routed (help: the slide show stops).
    virtual void LinkClicking() { }
    // Keys seen before the focused child; true when taken.
    virtual bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    void findRequested() override { FindButtonClick(); }
    void appearanceRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    const Kind m_kind;
    const std::string m_archive;

private:
    void applyAppearance();
    void openFindDialog(TFindDialog& dialog, const QWidget& searched);
    QHBoxLayout* m_buttonRow = nullptr;
    ViewAppearance m_appearance;
    int m_menuWidth = 135;
    bool m_closed = false;
};

} // namespace orbita
