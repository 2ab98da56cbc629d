#include "windows/element/page_view_slot.h"

#include "data/archive_members.h"
#include "windows/settings/appearance_colors.h"

#include <QPainter>

namespace orbita {

PageViewSlot::PageViewSlot(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void PageViewSlot::LoadFromText(std::string_view markup)
{
    m_markup.assign(markup);
    update();
}

void PageViewSlot::Clear()
{
    m_markup.clear();
    update();
}

bool PageViewSlot::Find(std::string_view, bool)
{
    return false;
}

void PageViewSlot::SetAppearance(const ViewAppearance& appearance)
{
    m_appearance = appearance;
    update();
}

void PageViewSlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(m_appearance.background));
}

void LoadArchivePage(const std::string& archivePath, std::string_view memberName, PageViewSlot& view)
{
    const std::string_view member = memberName.substr(0, memberName.find('#'));
    if (std::optional<std::string> bytes = ReadArchiveStream(archivePath, member))
        view.LoadFromText(*bytes);
}

} // namespace orbita
