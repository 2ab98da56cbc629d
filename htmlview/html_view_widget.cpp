#include "htmlview/html_view_widget.h"

#include "core/cp1250.h"
#include "htmlview/document_builder.h"
#include "htmlview/page_qt.h"
#include "platform/qt_text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <iterator>

namespace orbita {

namespace {

constexpr int kLineStep = 16; // pixels per arrow key press and per wheel line
constexpr int kFindBottomZone = 20; // a match closer than this to the bottom is scrolled up

html::Rgb rgbOf(const QColor& colour)
{
    return (static_cast<html::Rgb>(colour.red()) << 16) | (static_cast<html::Rgb>(colour.green()) << 8)
        | static_cast<html::Rgb>(colour.blue());
}

QString textOf(const std::string& cp1250)
{
    return FromCp1250(cp1250);
}

bool sameByte(char a, char b, bool matchCase)
{
    // A line end of the text model stands where the page shows a blank.
    if (a == '\n')
        a = ' ';
    if (b == '\n')
        b = ' ';
    if (matchCase)
        return a == b;
    return Cp1250Upper(static_cast<unsigned char>(a)) == Cp1250Upper(static_cast<unsigned char>(b));
}

} // namespace

// The Qt control made for one form control of the page.
struct ThtmlLite::ControlEntry {
    html::ControlId id = 0;
    QWidget* widget = nullptr; // owned by the viewport; null for hidden controls
};

// Control sizes for the layout: the size hints of the real controls.
class ThtmlLite::ControlMeasure final : public html::ControlSizes {
public:
    explicit ControlMeasure(const ThtmlLite& view)
        : m_view(view)
    {
    }
    html::Size controlSize(const html::FormControl& control, const html::Font& font) const override
    {
        (void)font;
        const auto index = static_cast<std::size_t>(&control - m_view.m_document.controls.data());
        if (index >= m_view.m_controls.size() || m_view.m_controls[index]->widget == nullptr)
            return {};
        const QSize hint = m_view.m_controls[index]->widget->size();
        return { hint.width(), hint.height() };
    }

private:
    const ThtmlLite& m_view;
};

// Picture sizes for the layout, from the page's image cache.
class ThtmlLite::ImageMeasure final : public html::ImageSizes {
public:
    explicit ImageMeasure(const ThtmlLite& view)
        : m_view(view)
    {
    }
    std::optional<html::Size> imageSize(const html::Image& image) const override
    {
        const QImage* picture = m_view.CachedImage(image.src);
        if (picture == nullptr)
            return std::nullopt;
        return html::Size { picture->width(), picture->height() };
    }

private:
    const ThtmlLite& m_view;
};

ThtmlLite::ThtmlLite(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_metrics(std::make_unique<html::QtFontMetrics>())
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(kLineStep);
    horizontalScrollBar()->setSingleStep(kLineStep);
    SetBorderStyle(m_borderStyle);
    // A form control reached with the keyboard is scrolled into view.
    connect(
        qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { showFocusedControl(now); });
    buildPage();
}

ThtmlLite::~ThtmlLite() = default;

// ---- properties ----

void ThtmlLite::SetDefBackground(TColor colour)
{
    m_defBackground = colour;
}

void ThtmlLite::SetDefFontName(const QString& name)
{
    m_defFontName = name;
}

void ThtmlLite::SetDefPreFontName(const QString& name)
{
    m_defPreFontName = name;
}

void ThtmlLite::SetDefFontSize(int points)
{
    m_defFontSize = std::clamp(points, 1, 200);
}

void ThtmlLite::SetDefFontColor(TColor colour)
{
    m_defFontColor = colour;
}

void ThtmlLite::SetDefHotSpotColor(TColor colour)
{
    m_defHotSpotColor = colour;
}

void ThtmlLite::SetNoSelect(bool noSelect)
{
    m_noSelect = noSelect;
}

void ThtmlLite::SetBorderStyle(THTMLBorderStyle style)
{
    m_borderStyle = style;
    if (style == THTMLBorderStyle::htNone) {
        setFrameStyle(QFrame::NoFrame);
    } else {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    }
}

void ThtmlLite::SetMarginWidth(int pixels)
{
    m_marginWidth = std::clamp(pixels, 0, 1000);
}

void ThtmlLite::SetMarginHeight(int pixels)
{
    m_marginHeight = std::clamp(pixels, 0, 1000);
}

QColor ThtmlLite::colourOf(TColor colour) const
{
    if ((colour & 0xFF000000u) == 0x80000000u) {
        const QPalette& pal = palette();
        switch (colour & 0xFFu) {
        case 5:
            return pal.color(QPalette::Base); // window
        case 8:
            return pal.color(QPalette::Text); // window text
        case 13:
            return pal.color(QPalette::Highlight);
        case 14:
            return pal.color(QPalette::HighlightedText);
        case 15:
            return pal.color(QPalette::Button); // button face
        case 18:
            return pal.color(QPalette::ButtonText); // button text
        default:
            return pal.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
        static_cast<int>((colour >> 16) & 0xFFu));
}

// ---- loading ----

html::BuildOptions ThtmlLite::buildOptions() const
{
    html::BuildOptions options;
    options.fontName = ToCp1250(m_defFontName);
    options.preFontName = ToCp1250(m_defPreFontName);
    options.fontSize = m_defFontSize;
    options.fontColour = rgbOf(colourOf(m_defFontColor));
    options.hotSpotColour = rgbOf(colourOf(m_defHotSpotColor));
    return options;
}

void ThtmlLite::LoadFromText(std::string_view markup)
{
    m_markup.assign(markup);
    m_images.clear();
    buildPage();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    positionControls();
}

void ThtmlLite::LoadFromStream(std::istream& stream)
{
    std::string bytes { std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>() };
    LoadFromText(bytes);
}

void ThtmlLite::Clear()
{
    LoadFromText({});
}

void ThtmlLite::Refresh()
{
    const int position = VScrollBarPosition();
    buildPage();
    SetVScrollBarPosition(position);
}

// Builds the document of m_markup, asks for its pictures, makes its controls
// and lays it out. Selection and find start over.
//
// Asking for the pictures may dispatch messages (the content archive does
// while it extracts), and a key or a paint handled then meets the page shown
// so far: the new document replaces the shown one only after the pictures,
// together with its layout. A page set meanwhile wins; this one is dropped.
void ThtmlLite::buildPage()
{
    const std::uint64_t generation
        = ++m_pageGeneration; // a submit still posted for the previous page is dropped
    html::Document document = html::BuildDocument(m_markup, buildOptions());
    requestImages(document);
    if (generation != m_pageGeneration)
        return;
    m_document = std::move(document);
    m_findFrom = 0;
    m_selStart = m_selEnd = m_selAnchor = 0;
    m_selecting = false;
    m_pressedLink.reset();
    createControls();
    m_layoutWidth = -1;
    relayout();
}

void ThtmlLite::requestImages(const html::Document& document)
{
    std::vector<std::string> sources;
    for (const html::Image& image : document.images)
        sources.push_back(image.src);
    for (const html::FormControl& control : document.controls)
        if (control.kind == html::ControlKind::Image && !control.src.empty())
            sources.push_back(control.src);
    for (const std::string& src : sources) {
        if (src.empty() || m_images.contains(src))
            continue;
        std::optional<std::string> stream;
        if (OnImageRequest)
            OnImageRequest(this, src, stream);
        std::optional<QImage> picture;
        if (stream) {
            // Within the page pictures' caps only: a hostile header would
            // otherwise ask for gigabytes.
            QImage decoded = html::DecodePagePicture(*stream);
            if (!decoded.isNull())
                picture = std::move(decoded);
        }
        m_images.emplace(src, std::move(picture));
    }
}

const QImage* ThtmlLite::CachedImage(const std::string& src) const
{
    const auto found = m_images.find(src);
    if (found == m_images.end() || !found->second)
        return nullptr;
    return &*found->second;
}

// ---- form controls ----

void ThtmlLite::createControls()
{
    m_controls.clear(); // the entries only refer to the widgets
    // A deleted focus widget leaves the window with no focus at all, and the
    // keys that follow would go nowhere: the view takes the focus first (when
    // the window is inactive, the focus it gets back on activation).
    const auto onPage = [this](const QWidget* widget) {
        return widget != nullptr && widget != viewport() && viewport()->isAncestorOf(widget);
    };
    if (onPage(QApplication::focusWidget()) || onPage(window()->focusWidget()))
        setFocus(Qt::OtherFocusReason);
    for (QWidget* child : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete child;
    for (QButtonGroup* group : m_radioGroups)
        delete group;
    m_radioGroups.clear();
    std::map<std::pair<html::FormId, std::string>, QButtonGroup*> groups;

    for (std::size_t i = 0; i < m_document.controls.size(); ++i) {
        const html::FormControl& control = m_document.controls[i];
        auto entry = std::make_unique<ControlEntry>();
        entry->id = static_cast<html::ControlId>(i);
        QWidget* widget = nullptr;
        const QString value = textOf(control.value);
        switch (control.kind) {
        case html::ControlKind::Hidden:
            break;
        case html::ControlKind::Text:
        case html::ControlKind::Password:
        case html::ControlKind::File: {
            auto* edit = new QLineEdit(value, viewport());
            if (control.kind == html::ControlKind::Password)
                edit->setEchoMode(QLineEdit::Password);
            if (control.maxLength && *control.maxLength > 0)
                edit->setMaxLength(*control.maxLength);
            widget = edit;
            break;
        }
        case html::ControlKind::Checkbox: {
            auto* box = new QCheckBox(viewport());
            box->setChecked(control.checked);
            widget = box;
            break;
        }
        case html::ControlKind::Radio: {
            auto* radio = new QRadioButton(viewport());
            QButtonGroup*& group = groups[{ control.form, Cp1250UpperText(control.name) }];
            if (group == nullptr) {
                group = new QButtonGroup(this);
                m_radioGroups.push_back(group);
            }
            group->addButton(radio);
            radio->setChecked(control.checked);
            widget = radio;
            break;
        }
        case html::ControlKind::Submit:
        case html::ControlKind::Reset:
        case html::ControlKind::Button:
        case html::ControlKind::Image: {
            QString caption = value;
            if (caption.isEmpty() && control.kind == html::ControlKind::Submit)
                caption = QStringLiteral("Wyślij");
            if (caption.isEmpty() && control.kind == html::ControlKind::Reset)
                caption = QStringLiteral("Wyczyść");
            auto* button = new QPushButton(caption, viewport());
            if (control.kind == html::ControlKind::Image) {
                if (const QImage* picture = CachedImage(control.src)) {
                    button->setText({});
                    button->setIcon(QPixmap::fromImage(*picture));
                    button->setIconSize(picture->size());
                    button->setFlat(true);
                }
            }
            const html::FormId form = control.form;
            const auto id = static_cast<html::ControlId>(i);
            if (control.kind == html::ControlKind::Reset) {
                connect(button, &QPushButton::clicked, this, [this, form] { resetForm(form); });
            } else if (control.kind != html::ControlKind::Button) {
                connect(button, &QPushButton::clicked, this, [this, form, id] { submitForm(form, id); });
            }
            widget = button;
            break;
        }
        case html::ControlKind::Select: {
            auto* combo = new QComboBox(viewport());
            int selected = 0;
            for (std::size_t o = 0; o < control.options.size(); ++o) {
                combo->addItem(textOf(control.options[o].text));
                if (control.options[o].selected)
                    selected = static_cast<int>(o);
            }
            combo->setCurrentIndex(control.options.empty() ? -1 : selected);
            widget = combo;
            break;
        }
        case html::ControlKind::TextArea: {
            auto* edit = new QPlainTextEdit(viewport());
            QString text = textOf(control.text);
            text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            edit->setPlainText(text);
            edit->setLineWrapMode(control.wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setHorizontalScrollBarPolicy(control.wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
            widget = edit;
            break;
        }
        }
        if (widget != nullptr) {
            const html::Font& font = m_document.fonts.at(control.font);
            QFont qtFont = html::QtFontOf(font);
            widget->setFont(qtFont);
            QSize size = widget->sizeHint();
            if (control.kind == html::ControlKind::TextArea) {
                const QFontMetrics metrics(qtFont);
                const int frame = 2 * static_cast<QFrame*>(widget)->frameWidth();
                const int bar = widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
                size = QSize(std::clamp(control.cols, 1, 500) * metrics.averageCharWidth() + frame + bar + 8,
                    std::clamp(control.rows, 1, 200) * metrics.lineSpacing() + frame + 8
                        + (control.wrap ? 0 : bar));
            } else if (control.kind == html::ControlKind::Text || control.kind == html::ControlKind::Password
                || control.kind == html::ControlKind::File) {
                const QFontMetrics metrics(qtFont);
                size.setWidth(
                    std::clamp(control.size.value_or(20), 1, 500) * metrics.averageCharWidth() + 12);
            }
            widget->resize(size);
            widget->setFocusPolicy(Qt::StrongFocus);
            widget->hide(); // shown once placed by the layout
        }
        entry->widget = widget;
        m_controls.push_back(std::move(entry));
    }
    // Tab goes from the view into its controls in page order.
    QWidget* previous = this;
    for (const auto& entry : m_controls)
        if (entry->widget != nullptr) {
            QWidget::setTabOrder(previous, entry->widget);
            previous = entry->widget;
        }
}

QWidget* ThtmlLite::ControlWidget(html::ControlId control) const
{
    return control < m_controls.size() ? m_controls[control]->widget : nullptr;
}

void ThtmlLite::positionControls()
{
    std::vector<bool> placed(m_controls.size(), false);
    for (const html::ControlPlacement& placement : m_layout.controls) {
        if (placement.control >= m_controls.size() || m_controls[placement.control]->widget == nullptr)
            continue;
        QWidget* widget = m_controls[placement.control]->widget;
        widget->setGeometry(QRect(ViewportPoint(QPoint(placement.rect.x, placement.rect.y)),
            QSize(placement.rect.width, placement.rect.height)));
        // A check box or radio button is read by the text beside it.
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (button != nullptr && button->text().isEmpty())
            button->setAccessibleName(FromCp1250(html::TextBesideControl(m_layout, placement.rect)));
        widget->show();
        placed[placement.control] = true;
    }
    for (std::size_t i = 0; i < m_controls.size(); ++i)
        if (!placed[i] && m_controls[i]->widget != nullptr)
            m_controls[i]->widget->hide();
}

void ThtmlLite::showFocusedControl(QWidget* focused)
{
    while (focused != nullptr && focused->parentWidget() != viewport())
        focused = focused->parentWidget();
    if (focused == nullptr)
        return;
    const QRect shown = focused->geometry(); // viewport coordinates
    const int height = viewport()->height();
    if (shown.top() < 0)
        SetVScrollBarPosition(VScrollBarPosition() + shown.top());
    else if (shown.bottom() >= height)
        SetVScrollBarPosition(VScrollBarPosition() + std::min(shown.top(), shown.bottom() + 1 - height));
}

void ThtmlLite::resetForm(html::FormId form)
{
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const html::FormControl& control = m_document.controls[i];
        QWidget* widget = m_controls[i]->widget;
        if (control.form != form || widget == nullptr)
            continue;
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setText(textOf(control.value));
        else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            // An exclusive group cannot be emptied button by button.
            QButtonGroup* group = radio->group();
            group->setExclusive(false);
            radio->setChecked(control.checked);
            group->setExclusive(true);
        } else if (auto* box = qobject_cast<QCheckBox*>(widget))
            box->setChecked(control.checked);
        else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            text->setPlainText(textOf(control.text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            int selected = 0;
            for (std::size_t o = 0; o < control.options.size(); ++o)
                if (control.options[o].selected)
                    selected = static_cast<int>(o);
            combo->setCurrentIndex(control.options.empty() ? -1 : selected);
        }
    }
}

// Collects "name=value" for every named control of the form that carries a
// value (the pressed submit button among the buttons) and posts the event.
void ThtmlLite::submitForm(html::FormId form, html::ControlId pressed)
{
    std::vector<std::string> results;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const html::FormControl& control = m_document.controls[i];
        if (control.form != form || control.name.empty())
            continue;
        QWidget* widget = m_controls[i]->widget;
        std::optional<std::string> value;
        switch (control.kind) {
        case html::ControlKind::Hidden:
            value = control.value;
            break;
        case html::ControlKind::Text:
        case html::ControlKind::Password:
        case html::ControlKind::File:
            value = ToCp1250(static_cast<QLineEdit*>(widget)->text());
            break;
        case html::ControlKind::Checkbox:
        case html::ControlKind::Radio:
            if (static_cast<QAbstractButton*>(widget)->isChecked())
                value = control.value.empty() ? std::string("on") : control.value;
            break;
        case html::ControlKind::Submit:
        case html::ControlKind::Image:
            if (i == pressed)
                value = control.value;
            break;
        case html::ControlKind::Select: {
            const int index = static_cast<QComboBox*>(widget)->currentIndex();
            if (index >= 0 && static_cast<std::size_t>(index) < control.options.size())
                value = control.options[static_cast<std::size_t>(index)].value;
            break;
        }
        case html::ControlKind::TextArea: {
            QString text = static_cast<QPlainTextEdit*>(widget)->toPlainText();
            text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
            value = ToCp1250(text);
            break;
        }
        case html::ControlKind::Reset:
        case html::ControlKind::Button:
            break;
        }
        if (value)
            results.push_back(control.name + "=" + *value);
    }
    html::Form formData;
    if (form < m_document.forms.size())
        formData = m_document.forms[form];
    // Raised after the click has returned, so that the handler may replace the
    // page; dropped when the page was replaced meanwhile (a second Enter must
    // not answer the next page with the values of this one).
    QTimer::singleShot(0, this,
        [this, generation = m_pageGeneration, formData = std::move(formData), results = std::move(results)] {
            if (generation != m_pageGeneration)
                return;
            if (OnFormSubmit)
                OnFormSubmit(
                    this, formData.action, formData.target, formData.encType, formData.method, results);
        });
}

void ThtmlLite::SubmitFirstForm()
{
    if (!m_document.forms.empty()) {
        submitForm(0, html::kNone);
        return;
    }
    // Controls outside any form are a form of their own, without an action.
    const bool formless = std::any_of(m_document.controls.begin(), m_document.controls.end(),
        [](const html::FormControl& control) { return control.form == html::kNone; });
    if (formless)
        submitForm(html::kNone, html::kNone);
}

// ---- layout and scrolling ----

void ThtmlLite::relayout()
{
    const int scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int frame = 2 * frameWidth();
    const int fullWidth = std::max(1, width() - frame);
    const int fullHeight = std::max(1, height() - frame);

    html::LayoutOptions options;
    options.marginWidth = m_marginWidth;
    options.marginHeight = m_marginHeight;
    options.defaultBackground = rgbOf(colourOf(m_defBackground));
    options.defaultText = rgbOf(colourOf(m_defFontColor));
    const ControlMeasure controls(*this);
    const ImageMeasure images(*this);

    // The vertical bar is shown only when the page is taller than the view;
    // the page is then laid out for the narrower width.
    options.width = fullWidth;
    m_layout = html::LayoutDocument(m_document, *m_metrics, options, &images, &controls);
    bool bar = m_layout.height > fullHeight;
    if (bar) {
        options.width = std::max(1, fullWidth - scrollBarWidth);
        m_layout = html::LayoutDocument(m_document, *m_metrics, options, &images, &controls);
    }
    m_layoutWidth = options.width;
    m_error = m_layout.error;
    setVerticalScrollBarPolicy(bar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    updateScrollBars();
    positionControls();
    viewport()->update();
}

html::PageLayout ThtmlLite::LayoutForWidth(int width) const
{
    html::LayoutOptions options;
    options.width = std::max(1, width);
    options.marginWidth = m_marginWidth;
    options.marginHeight = m_marginHeight;
    options.defaultBackground = 0xFFFFFF;
    options.defaultText = 0x000000;
    const ControlMeasure controls(*this);
    const ImageMeasure images(*this);
    return html::LayoutDocument(m_document, *m_metrics, options, &images, &controls);
}

void ThtmlLite::PaintLayout(QPainter& painter, const html::PageLayout& layout, const html::Rect& area) const
{
    html::QtPageCanvas canvas(painter, [this](html::ImageId id) -> const QImage* {
        if (id >= m_document.images.size())
            return nullptr;
        return CachedImage(m_document.images[id].src);
    });
    html::PaintPage(layout, m_document, canvas, area);
}

bool ThtmlLite::HasPrintablePage() const
{
    return m_error.empty() && (!m_layout.text.empty() || !m_layout.images.empty());
}

void ThtmlLite::updateScrollBars()
{
    const QSize area = viewport()->size();
    verticalScrollBar()->setPageStep(std::max(1, area.height()));
    verticalScrollBar()->setRange(0, std::max(0, m_layout.height - area.height()));
    horizontalScrollBar()->setPageStep(std::max(1, area.width()));
    horizontalScrollBar()->setRange(0, std::max(0, m_layout.width - area.width()));
}

void ThtmlLite::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int frame = 2 * frameWidth();
    const int fullWidth = std::max(1, width() - frame);
    // A resize that only shows or hides our own scroll bar needs no new layout.
    if (m_layoutWidth == fullWidth || m_layoutWidth == fullWidth - scrollBarWidth) {
        const bool bar = m_layoutWidth != fullWidth;
        const int fullHeight = std::max(1, height() - frame);
        if (bar == (m_layout.height > fullHeight)) {
            updateScrollBars();
            positionControls();
            return;
        }
    }
    relayout();
}

void ThtmlLite::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        viewport()->update();
}

void ThtmlLite::scrollContentsBy(int dx, int dy)
{
    (void)dx;
    (void)dy;
    positionControls();
    viewport()->update();
}

int ThtmlLite::VScrollBarPosition() const
{
    return verticalScrollBar()->value();
}

void ThtmlLite::SetVScrollBarPosition(int position)
{
    verticalScrollBar()->setValue(std::clamp(position, 0, VScrollBarRange()));
}

int ThtmlLite::VScrollBarRange() const
{
    return std::max(0, m_layout.height - viewport()->height());
}

QPoint ThtmlLite::PagePoint(QPoint viewportPoint) const
{
    return viewportPoint + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint ThtmlLite::ViewportPoint(QPoint pagePoint) const
{
    return pagePoint - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

// ---- painting ----

void ThtmlLite::paintEvent(QPaintEvent* event)
{
    (void)event;
    QPainter painter(viewport());
    const QPoint origin = PagePoint(QPoint(0, 0));
    painter.translate(-origin);
    const html::Rect visible { origin.x(), origin.y(), viewport()->width(), viewport()->height() };
    PaintLayout(painter, m_layout, visible); // also the error page
    paintSelection(painter, visible);
}

void ThtmlLite::paintSelection(QPainter& painter, const html::Rect& viewport) const
{
    if (m_selStart >= m_selEnd)
        return;
    QColor highlight = palette().color(QPalette::Highlight);
    highlight.setAlpha(110);
    for (const html::TextFragment& fragment : m_layout.fragments) {
        const std::size_t begin = fragment.textStart;
        const std::size_t end = begin + fragment.textLength;
        if (end <= m_selStart || begin >= m_selEnd)
            continue;
        if (fragment.top > viewport.bottom() || fragment.top + fragment.height < viewport.y)
            continue;
        const html::Font& font = m_document.fonts.at(fragment.font);
        const std::string_view text(m_layout.text.data() + begin, fragment.textLength);
        const std::size_t from = std::max(m_selStart, begin) - begin;
        const std::size_t to = std::min(m_selEnd, end) - begin;
        const int x1 = fragment.x + m_metrics->textWidth(font, text.substr(0, from));
        const int x2 = fragment.x + m_metrics->textWidth(font, text.substr(0, to));
        painter.fillRect(QRect(x1, fragment.top, x2 - x1, fragment.height), highlight);
    }
}

// ---- find and selection ----

bool ThtmlLite::Find(std::string_view text, bool matchCase)
{
    const std::string& page = m_layout.text;
    if (text.empty() || m_findFrom > page.size())
        return false;
    const auto found = std::search(page.begin() + static_cast<std::ptrdiff_t>(m_findFrom), page.end(),
        text.begin(), text.end(), [matchCase](char a, char b) { return sameByte(a, b, matchCase); });
    if (found == page.end())
        return false;
    m_selStart = static_cast<std::size_t>(found - page.begin());
    m_selEnd = m_selStart + text.size();
    m_findFrom = m_selEnd;
    const int top = linePositionAt(m_selStart);
    const int position = VScrollBarPosition();
    const int visible = viewport()->height();
    if (top < position || top > position + visible - kFindBottomZone)
        SetVScrollBarPosition(top - visible / 2);
    viewport()->update();
    return true;
}

// The top of the text line holding the text offset.
int ThtmlLite::linePositionAt(std::size_t offset) const
{
    for (const html::TextLine& line : m_layout.lines)
        if (offset <= line.textStart + line.textLength)
            return line.rect.y;
    return m_layout.lines.empty() ? 0 : m_layout.lines.back().rect.y;
}

void ThtmlLite::SelectAll()
{
    if (m_noSelect)
        return;
    m_selStart = 0;
    m_selEnd = m_layout.text.size();
    viewport()->update();
}

std::string ThtmlLite::SelectedText() const
{
    if (m_selStart >= m_selEnd || m_selEnd > m_layout.text.size())
        return {};
    return m_layout.text.substr(m_selStart, m_selEnd - m_selStart);
}

QRect ThtmlLite::SelectionRect() const
{
    QRect area;
    if (m_selStart >= m_selEnd)
        return area;
    for (const html::TextLine& line : m_layout.lines) {
        const std::size_t end = std::size_t(line.textStart) + line.textLength;
        if (end < m_selStart || line.textStart >= m_selEnd)
            continue;
        area |= QRect(ViewportPoint(QPoint(line.rect.x, line.rect.y)),
            QSize(std::max(line.rect.width, 1), std::max(line.rect.height, 1)));
    }
    return area;
}

void ThtmlLite::CopyToClipboard()
{
    if (m_noSelect || m_selStart >= m_selEnd)
        return;
    // Copied as text: paragraphs whole, table rows on one line.
    QGuiApplication::clipboard()->setText(FromCp1250(html::CopiedText(m_layout, m_selStart, m_selEnd)));
}

// The text offset nearest to a page point: the line at its height (or the
// nearest above), then the character whose middle lies right of it.
std::size_t ThtmlLite::textOffsetAt(QPoint pagePoint) const
{
    const html::TextLine* line = nullptr;
    for (const html::TextLine& candidate : m_layout.lines) {
        if (candidate.rect.y > pagePoint.y())
            break;
        line = &candidate;
    }
    if (line == nullptr)
        return 0;
    if (pagePoint.y() >= line->rect.bottom() && &*line != &m_layout.lines.back()) {
        // Below the line, above the next: after the line's text.
        return line->textStart + line->textLength;
    }
    for (std::uint32_t f = 0; f < line->fragmentCount; ++f) {
        const html::TextFragment& fragment = m_layout.fragments.at(line->firstFragment + f);
        const html::Font& font = m_document.fonts.at(fragment.font);
        const std::string_view text(m_layout.text.data() + fragment.textStart, fragment.textLength);
        if (pagePoint.x() < fragment.x)
            return fragment.textStart;
        if (pagePoint.x() >= fragment.x + m_metrics->textWidth(font, text))
            continue;
        int left = fragment.x;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int right = fragment.x + m_metrics->textWidth(font, text.substr(0, i + 1));
            if (pagePoint.x() < (left + right) / 2)
                return fragment.textStart + i;
            left = right;
        }
        return fragment.textStart + text.size();
    }
    return line->textStart + line->textLength;
}

namespace {

// Whether a point of a picture (its own pixels) lies in an image map area.
bool areaContains(const html::MapArea& area, int x, int y)
{
    const std::vector<int>& c = area.coords;
    const std::string& shape = area.shape;
    if (shape == "default")
        return true;
    if (shape == "circle" || shape == "circ") {
        if (c.size() < 3)
            return false;
        const long long dx = x - c[0];
        const long long dy = y - c[1];
        return dx * dx + dy * dy <= static_cast<long long>(c[2]) * c[2];
    }
    if (shape == "poly" || shape == "polygon") {
        // Even-odd rule over the edges of the closed polygon.
        const std::size_t n = c.size() / 2;
        bool inside = false;
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const int xi = c[2 * i], yi = c[2 * i + 1], xj = c[2 * j], yj = c[2 * j + 1];
            if ((yi > y) != (yj > y)
                && x < static_cast<double>(xj - xi) * (y - yi) / static_cast<double>(yj - yi) + xi)
                inside = !inside;
        }
        return n >= 3 && inside;
    }
    // "rect", "rectangle" or no shape: corners inclusive.
    if (c.size() < 4)
        return false;
    return x >= std::min(c[0], c[2]) && x <= std::max(c[0], c[2]) && y >= std::min(c[1], c[3])
        && y <= std::max(c[1], c[3]);
}

} // namespace

// The target under a page point: an image map area of a picture with USEMAP
// (the first area that holds the point; NOHREF areas give none), else a link.
std::optional<std::string> ThtmlLite::linkAt(QPoint pagePoint) const
{
    for (const html::ImagePlacement& placed : m_layout.images) {
        if (!placed.rect.contains(pagePoint.x(), pagePoint.y()) || placed.image >= m_document.images.size())
            continue;
        const html::Image& image = m_document.images[placed.image];
        if (image.useMap.empty())
            continue;
        const std::optional<html::MapId> map = m_document.findMap(image.useMap);
        if (!map)
            continue;
        // Coordinates are the picture's own pixels, also when it is drawn scaled.
        int x = pagePoint.x() - placed.rect.x;
        int y = pagePoint.y() - placed.rect.y;
        if (const QImage* picture = CachedImage(image.src);
            picture != nullptr && placed.rect.width > 0 && placed.rect.height > 0) {
            x = x * picture->width() / placed.rect.width;
            y = y * picture->height() / placed.rect.height;
        }
        for (const html::MapArea& area : m_document.maps[*map].areas) {
            if (!areaContains(area, x, y))
                continue;
            if (area.noHref)
                return std::nullopt;
            return area.href;
        }
        return std::nullopt;
    }
    const html::LinkId link = m_layout.linkAt(pagePoint.x(), pagePoint.y());
    if (link == html::kNone || link >= m_document.links.size())
        return std::nullopt;
    return m_document.links[link].href;
}

// ---- links ----

void ThtmlLite::clickLink(const std::string& src)
{
    bool handled = false;
    if (OnHotSpotClick)
        OnHotSpotClick(this, src, handled);
    if (!handled && !src.empty() && src.front() == '#')
        scrollToAnchor(std::string_view(src).substr(1));
}

void ThtmlLite::scrollToAnchor(std::string_view name)
{
    const std::optional<html::AnchorId> anchor = m_document.findAnchor(name);
    if (!anchor || *anchor >= m_layout.anchorY.size())
        return;
    SetVScrollBarPosition(m_layout.anchorY[*anchor]);
}

// ---- input ----

void ThtmlLite::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    if (OnKeyDown)
        OnKeyDown(this, key, event->modifiers());
    if (key == 0) {
        event->accept();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    const int page = std::max(kLineStep, viewport()->height() - kLineStep);
    switch (key) {
    case Qt::Key_Up:
        bar->setValue(bar->value() - kLineStep);
        break;
    case Qt::Key_Down:
        bar->setValue(bar->value() + kLineStep);
        break;
    case Qt::Key_PageUp:
        bar->setValue(bar->value() - page);
        break;
    case Qt::Key_PageDown:
        bar->setValue(bar->value() + page);
        break;
    case Qt::Key_Space:
        bar->setValue(bar->value() + ((event->modifiers() & Qt::ShiftModifier) ? -page : page));
        break;
    case Qt::Key_Home:
        bar->setValue(0);
        break;
    case Qt::Key_End:
        bar->setValue(bar->maximum());
        break;
    case Qt::Key_Left:
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - kLineStep);
        break;
    case Qt::Key_Right:
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + kLineStep);
        break;
    default:
        if (event->matches(QKeySequence::Copy) && !m_noSelect) {
            CopyToClipboard();
            break;
        }
        if (event->matches(QKeySequence::SelectAll) && !m_noSelect) {
            SelectAll();
            break;
        }
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ThtmlLite::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint point = PagePoint(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        TRightClickParameters parameters;
        parameters.URL = linkAt(point).value_or(std::string());
        for (const html::ImagePlacement& image : m_layout.images)
            if (image.rect.contains(point.x(), point.y()) && image.image < m_document.images.size())
                parameters.Image = m_document.images[image.image].src;
        parameters.ClickPos = event->globalPosition().toPoint();
        if (OnRightClick)
            OnRightClick(this, parameters);
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_pressPoint = point;
    m_pressedLink = linkAt(point);
    if (!m_noSelect) {
        m_selAnchor = textOffsetAt(point);
        m_selStart = m_selEnd = m_selAnchor;
        m_selecting = true;
        viewport()->update();
    }
    event->accept();
}

void ThtmlLite::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = PagePoint(event->position().toPoint());
    viewport()->setCursor(linkAt(point) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (m_selecting && (event->buttons() & Qt::LeftButton)) {
        const std::size_t offset = textOffsetAt(point);
        m_selStart = std::min(m_selAnchor, offset);
        m_selEnd = std::max(m_selAnchor, offset);
        if ((point - m_pressPoint).manhattanLength() >= QApplication::startDragDistance())
            m_pressedLink.reset(); // a drag selects; it is no click on the link
        viewport()->update();
    }
    event->accept();
}

void ThtmlLite::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept(); // the right button acted on its press
        return;
    }
    m_selecting = false;
    const QPoint point = PagePoint(event->position().toPoint());
    std::optional<std::string> pressed = std::move(m_pressedLink);
    m_pressedLink.reset();
    if (pressed && linkAt(point) == pressed) {
        m_selStart = m_selEnd = 0;
        viewport()->update();
        clickLink(*pressed);
    }
    event->accept();
}

void ThtmlLite::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click selects the word under the mouse.
    if (m_noSelect || event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const std::size_t offset = textOffsetAt(PagePoint(event->position().toPoint()));
    const std::string& text = m_layout.text;
    auto isWordByte = [](char c) { return c != ' ' && c != '\n'; };
    std::size_t begin = std::min(offset, text.size());
    std::size_t end = begin;
    while (begin > 0 && isWordByte(text[begin - 1]))
        --begin;
    while (end < text.size() && isWordByte(text[end]))
        ++end;
    m_selStart = begin;
    m_selEnd = end;
    viewport()->update();
    event->accept();
}

} // namespace orbita
