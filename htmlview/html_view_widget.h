#pragma once

#include "htmlview/document.h"
#include "htmlview/document_builder.h"
#include "htmlview/layout.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QButtonGroup;
class QPainter;
class QPrinter;

namespace orbita {

namespace html {
class QtFontMetrics;
}

// A colour as the windows store it: 0x00BBGGRR, or 0x80000000 plus a system
// colour index (15 button face, 18 button text, 5 window, 8 window text ...).
using TColor = std::uint32_t;
inline constexpr TColor clBtnFace = 0x8000000Fu;
inline constexpr TColor clBtnText = 0x80000012u;
inline constexpr TColor clBlue = 0x00FF0000u;

enum class THTMLBorderStyle { htFocused, htNone, htSingle };

class ThtmlLite;

// A link was clicked; SRC is the target as written in the page (Windows-1250).
// Leaving Handled false for a "#name" target lets the view scroll to it.
using THotSpotClickEvent = std::function<void(ThtmlLite* Sender, const std::string& SRC, bool& Handled)>;
// A picture the page needs is not in the view's cache: the handler sets
// Stream to the bytes of a GIF, BMP or JPEG file, or leaves it empty.
using TGetImageEvent
    = std::function<void(ThtmlLite* Sender, const std::string& SRC, std::optional<std::string>& Stream)>;
// A form was submitted; Results holds "name=value" (Windows-1250) per control
// that carries a value. Raised after the click that caused it has returned.
using TFormSubmitEvent
    = std::function<void(ThtmlLite* Sender, const std::string& Action, const std::string& Target,
        const std::string& EncType, const std::string& Method, const std::vector<std::string>& Results)>;
struct TRightClickParameters {
    std::string URL; // the link under the mouse, empty when none
    std::string Image; // SRC of the picture under the mouse, empty when none
    QPoint ClickPos; // in screen coordinates
};
using TRightClickEvent = std::function<void(ThtmlLite* Sender, const TRightClickParameters& Parameters)>;
// Key is a Qt::Key; a handler that sets it to 0 stops the view's own handling.
using TKeyEvent = std::function<void(ThtmlLite* Sender, int& Key, Qt::KeyboardModifiers Shift)>;

// The program's HTML view: shows one page of HTML 3.2 (Windows-1250), built
// by the page engine, laid out for the view's width and painted through Qt.
// Links, pictures and forms are answered by the owner through the On...
// events. A page whose markup or layout fails shows its error text instead.
class ThtmlLite final : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ThtmlLite(QWidget* parent = nullptr);
    ~ThtmlLite() override;
    Q_DISABLE_COPY_MOVE(ThtmlLite)

    // ---- properties (defaults as the control's) ----
    TColor DefBackground() const { return m_defBackground; } // clBtnFace
    void SetDefBackground(TColor colour);
    QString DefFontName() const { return m_defFontName; } // "Times New Roman"
    void SetDefFontName(const QString& name);
    QString DefPreFontName() const { return m_defPreFontName; } // "Courier New"
    void SetDefPreFontName(const QString& name);
    int DefFontSize() const { return m_defFontSize; } // 12 points
    void SetDefFontSize(int points);
    TColor DefFontColor() const { return m_defFontColor; } // clBtnText
    void SetDefFontColor(TColor colour);
    TColor DefHotSpotColor() const { return m_defHotSpotColor; } // clBlue
    void SetDefHotSpotColor(TColor colour);
    bool NoSelect() const { return m_noSelect; } // false
    void SetNoSelect(bool noSelect);
    THTMLBorderStyle BorderStyle() const { return m_borderStyle; } // htFocused
    void SetBorderStyle(THTMLBorderStyle style);
    // The view keeps no link history of its own (links go to OnHotSpotClick);
    // the count is kept for the windows that set it.
    int HistoryMaxCount() const { return m_historyMaxCount; }
    void SetHistoryMaxCount(int count) { m_historyMaxCount = count; }
    int MarginWidth() const { return m_marginWidth; } // 10
    void SetMarginWidth(int pixels);
    int MarginHeight() const { return m_marginHeight; } // 5
    void SetMarginHeight(int pixels);

    // ---- events ----
    THotSpotClickEvent OnHotSpotClick;
    TGetImageEvent OnImageRequest;
    TFormSubmitEvent OnFormSubmit;
    TRightClickEvent OnRightClick;
    TKeyEvent OnKeyDown;

    // ---- operations ----
    // Replaces the page with the Windows-1250 markup, scrolled to the top.
    void LoadFromText(std::string_view markup);
    // The same for the whole content of a stream.
    void LoadFromStream(std::istream& stream);
    // The page's title (Windows-1250), empty when it has none.
    const std::string& DocumentTitle() const { return m_document.title; }
    // Searches forward from the end of the previous match (from the top after
    // a load); selects the match and scrolls it into view. False when there
    // is no further match; the search does not wrap.
    bool Find(std::string_view text, bool matchCase);
    // Both do nothing while NoSelect is set.
    void SelectAll();
    void CopyToClipboard();
    // The selected text as the page shows it (Windows-1250; lines end in '\n').
    std::string SelectedText() const;
    // Where the selection stands (the lines that hold it), in viewport
    // coordinates; empty when nothing is selected.
    QRect SelectionRect() const;
    int VScrollBarPosition() const;
    void SetVScrollBarPosition(int position); // clamped to 0 .. VScrollBarRange()
    int VScrollBarRange() const; // document height minus visible height, at least 0
    int FormControlCount() const { return static_cast<int>(m_document.controls.size()); }
    // Submits the page's first form as its submit button would (posted); on a
    // page without a FORM element, the controls outside any form. A submit
    // still posted when the page is replaced or rebuilt is dropped.
    void SubmitFirstForm();
    void Clear();
    // Builds and lays the page out again after the default properties changed.
    void Refresh();

    // ---- for the owner's tools and for tests ----
    // The error that replaced the page ("Table has too many Columns" ...), empty when none.
    const std::string& ErrorText() const { return m_error; }
    const html::Document& Document() const { return m_document; }
    const html::PageLayout& Layout() const { return m_layout; }
    // The decoded picture for SRC in this page's cache; null when absent or undecodable.
    const QImage* CachedImage(const std::string& src) const;
    // The Qt control made for a form control of the page (null for hidden ones).
    QWidget* ControlWidget(html::ControlId control) const;
    // The page laid out again for `width` pixels on a white sheet (printing),
    // its pictures as the view has them; the view's own layout is unchanged.
    html::PageLayout LayoutForWidth(int width) const;
    // Paints `area` of `layout` (one made by LayoutForWidth) at page
    // coordinates, with the view's pictures; form controls are not drawn.
    void PaintLayout(QPainter& painter, const html::PageLayout& layout, const html::Rect& area) const;
    // Prints the page on `printer` with `caption` at the top of every sheet:
    // laid out for the printable width (scaled down when it is wider), cut
    // into sheets between lines of text.
    void Print(QPrinter& printer, const QString& caption) const;
    // Whether there is a page to print (not empty, not an error page).
    bool HasPrintablePage() const;

    // The page point under a viewport point, and back.
    QPoint PagePoint(QPoint viewportPoint) const;
    QPoint ViewportPoint(QPoint pagePoint) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct ControlEntry;
    class ControlMeasure;
    class ImageMeasure;

    html::BuildOptions buildOptions() const;
    void buildPage();
    void requestImages(const html::Document& document);
    void createControls();
    void relayout();
    void updateScrollBars();
    void positionControls();
    void showFocusedControl(QWidget* focused);
    int linePositionAt(std::size_t offset) const;
    std::size_t textOffsetAt(QPoint pagePoint) const;
    std::optional<std::string> linkAt(QPoint pagePoint) const;
    void clickLink(const std::string& src);
    void scrollToAnchor(std::string_view name);
    void submitForm(html::FormId form, html::ControlId pressed);
    void resetForm(html::FormId form);
    QColor colourOf(TColor colour) const;
    void paintSelection(QPainter& painter, const html::Rect& viewport) const;

    // properties
    TColor m_defBackground = clBtnFace;
    QString m_defFontName = QStringLiteral("Times New Roman");
    QString m_defPreFontName = QStringLiteral("Courier New");
    int m_defFontSize = 12;
    TColor m_defFontColor = clBtnText;
    TColor m_defHotSpotColor = clBlue;
    bool m_noSelect = false;
    THTMLBorderStyle m_borderStyle = THTMLBorderStyle::htFocused;
    int m_historyMaxCount = 0;
    int m_marginWidth = 10;
    int m_marginHeight = 5;

    // the page
    std::string m_markup; // as loaded, for Refresh
    html::Document m_document;
    html::PageLayout m_layout;
    std::string m_error;
    std::unique_ptr<html::QtFontMetrics> m_metrics;
    std::map<std::string, std::optional<QImage>> m_images; // per page, by SRC
    std::vector<std::unique_ptr<ControlEntry>> m_controls; // per ControlId
    std::vector<QButtonGroup*> m_radioGroups;
    int m_layoutWidth = -1;
    std::uint64_t m_pageGeneration = 0; // advanced by every page build

    // find and selection: offsets into m_layout.text
    std::size_t m_findFrom = 0;
    std::size_t m_selStart = 0;
    std::size_t m_selEnd = 0;
    std::size_t m_selAnchor = 0;
    bool m_selecting = false;
    std::optional<std::string> m_pressedLink;
    QPoint m_pressPoint;
};

} // namespace orbita
