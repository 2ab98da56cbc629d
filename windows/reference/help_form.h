#pragma once

#include "windows/reference/browser_form.h"

#include <QString>

class QTimer;

namespace orbita {

// The help window "Pomoc": the topic list POMOC\MENU.HTM beside a help page,
// with a history of the pages shown (back and forward), the slide show that
// scrolls the welcome page slowly, and find and appearance as every document
// browser has them. Opened at a topic it shows that page alone; without a
// topic, the welcome page with the topic list. While nobody is logged in
// (login, installer, uninstaller) it shows only the find and close buttons
// and stores nothing.
class THelpForm final : public TBrowserForm {
    Q_OBJECT

public:
    // Opens the window at the topic's page (POMOC\<topic>.HTM; empty: the
    // welcome page) modally over `owner`; returns when it closes.
    static void ShowHelp(const QString& topic, QWidget* owner = nullptr);

    explicit THelpForm(const QString& topic, QWidget* parent = nullptr);
    ~THelpForm() override;
    Q_DISABLE_COPY_MOVE(THelpForm)

    const BrowserHistory& History() const { return m_history; }
    bool SlideShowRunning() const;

    // Handlers.
    void WsteczPrzyciskClick();
    void DalejPrzyciskClick();
    void SlideTimerTimer();
    void ToggleSlideShow();

    QToolButton* WsteczPrzycisk = nullptr;
    QToolButton* DalejPrzycisk = nullptr;
    QTimer* SlideTimer = nullptr;

protected:
    void PageLinkFollowed(const std::string& member) override;
    void LinkClicking() override;
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void placeByScreenSize();
    void showHistoryEntry(const std::optional<std::string>& member);

    BrowserHistory m_history;
};

} // namespace orbita
