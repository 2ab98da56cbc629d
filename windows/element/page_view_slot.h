#pragma once

#include "windows/settings/view_appearance.h"

#include <QWidget>

#include <string>
#include <string_view>

namespace orbita {

// The place of the HTML view in the element window and the appearance
// dialog until the view widget is merged in: it keeps the page it was given
// and the appearance properties, and paints only its background.
class PageViewSlot final : public QWidget {
    Q_OBJECT

public:
    explicit PageViewSlot(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(PageViewSlot)

    void LoadFromText(std::string_view markup);
    void Clear();
    const std::string& Markup() const { return m_markup; }
    // No text is laid out yet: nothing is found and nothing is selected.
    bool Find(std::string_view text, bool matchCase);
    void SelectAll() { }
    void CopyToClipboard() { }
    bool NoSelect() const { return m_noSelect; }
    void SetNoSelect(bool noSelect) { m_noSelect = noSelect; }

    const ViewAppearance& Appearance() const { return m_appearance; }
    void SetAppearance(const ViewAppearance& appearance);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string m_markup;
    ViewAppearance m_appearance;
    bool m_noSelect = true;
};

// The archive member (an anchor after "#" is dropped) into the view; a
// member that cannot be read leaves the view as it was.
void LoadArchivePage(const std::string& archivePath, std::string_view memberName, PageViewSlot& view);

} // namespace orbita
