#include "windows/main/simple_main_window.h"

#include "core/file_version.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "windows/window_opener.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbita {

SimpleMainWindow::SimpleMainWindow(const QString& objectName, const QString& title, const QString& text,
    const QString& helpTopic, QWidget* parent)
    : TMainFormBase(parent)
{
    setObjectName(objectName);
    SetHelpTopic(*this, helpTopic);
    setWindowTitle(title);
    m_layout = new QVBoxLayout(this);
    auto* heading
        = new QLabel(QStringLiteral("<h1>Orbita</h1><p>Multimedialny układ okresowy pierwiastków</p>"), this);
    heading->setAlignment(Qt::AlignCenter);
    auto* body = new QLabel(text, this);
    body->setWordWrap(true);
    body->setAlignment(Qt::AlignCenter);
    auto* version
        = new QLabel(QStringLiteral("Wersja %1").arg(FromCp1250(FileVersionText(ExecutablePath()))), this);
    version->setAlignment(Qt::AlignCenter);
    auto* help = new QPushButton(QStringLiteral("Pomo&c"), this);
    help->setObjectName(QStringLiteral("PomocPrzycisk"));
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpFor(this); });
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);
    buttons->addStretch();
    m_layout->addWidget(heading);
    m_layout->addWidget(body, 1);
    m_layout->addWidget(version);
    m_layout->addLayout(buttons);
}

void SimpleMainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        ShowHelpFor(this);
        return;
    }
    TMainFormBase::keyPressEvent(event);
}

} // namespace orbita
