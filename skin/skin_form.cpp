#include "skin/skin_form.h"

#include "data/archive_members.h"
#include "data/big_ini_file.h"
#include "platform/qt_text.h"
#include "platform/shell_services.h"
#include "platform/ui_services.h"
#include "skin/builtin_skin.h"
#include "skin/skin_mask.h"

#include <QEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <stdexcept>

namespace orbita {
namespace {

// Pictures larger than this on either side are refused before they are read.
constexpr int kMaxPictureSide = 8192;

SkinButton skinButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return SkinButton::Left;
    case Qt::RightButton:
        return SkinButton::Right;
    case Qt::MiddleButton:
        return SkinButton::Middle;
    default:
        return SkinButton::Other;
    }
}

// The part of a definition rectangle that lies on a canvas of `size`.
QRect clipped(const SkinBox& box, QSize size)
{
    const std::int64_t left = std::clamp<std::int64_t>(box.left, 0, size.width());
    const std::int64_t top = std::clamp<std::int64_t>(box.top, 0, size.height());
    const std::int64_t right
        = std::clamp<std::int64_t>(std::int64_t { box.left } + box.width, left, size.width());
    const std::int64_t bottom
        = std::clamp<std::int64_t>(std::int64_t { box.top } + box.height, top, size.height());
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
        static_cast<int>(bottom - top));
}

// A definition colour 00BBGGRR.
QColor definitionColor(std::int32_t color)
{
    const auto value = static_cast<std::uint32_t>(color);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
        static_cast<int>((value >> 16) & 0xFF));
}

// A text area's font: points at 96 dots per inch, as the skin was designed.
QFont definitionFont(const SkinTextAreaDef& area)
{
    QFont font(FromCp1250(area.fontName));
    const int points = area.size == 0 ? 8 : std::min(std::abs(area.size), 500);
    font.setPixelSize((points * 96 + 36) / 72);
    font.setBold(area.bold);
    font.setItalic(area.italic);
    return font;
}

// A definition's picture name as a path inside `folder`.
QString picturePath(const QString& folder, const std::string& name)
{
    QString relative = FromCp1250(name);
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return folder + relative;
}

} // namespace

TSkinForm::TSkinForm(QWidget* form)
    : QWidget(checkedForm(form))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QWidget* window = this->form();
    window->setWindowFlag(Qt::FramelessWindowHint);
    if (window != this) {
        window->installEventFilter(this);
        setGeometry(window->rect());
    }
}

TSkinForm::~TSkinForm()
{
    if (m_unpacked)
        RemoveSkinFolder();
}

QWidget* TSkinForm::checkedForm(QWidget* form)
{
    if (form != nullptr && !form->isWindow())
        throw std::invalid_argument("Umieść komponent na formie");
    return form;
}

QWidget* TSkinForm::form()
{
    return parentWidget() != nullptr ? parentWidget() : this;
}

bool TSkinForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

TSkinForm::PictureLoad TSkinForm::loadPicture(const QString& path, QImage& picture, QString& error)
{
    if (SkinPictureExtension(ToPath(path)) == "GIF") {
        Ui().ShowMessage(this, QStringLiteral("Orbita"),
            QStringLiteral("Włącz obsługę obrazów w formacie GIF"), MessageIcon::Warning, MessageButtons::Ok);
        return PictureLoad::RefusedGif;
    }
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) {
        error = QStringLiteral("Obraz „%1” jest za duży").arg(path);
        return PictureLoad::Failed;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        error = QStringLiteral("Nie można wczytać obrazu „%1”: %2").arg(path, reader.errorString());
        return PictureLoad::Failed;
    }
    picture = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return PictureLoad::Loaded;
}

std::optional<TSkinForm::Prepared> TSkinForm::prepare(
    const std::vector<std::string>& lines, bool builtin, QString& error)
{
    TBigIniFile ini;
    QString folder;
    if (builtin) {
        const auto split = lines.begin() + std::ptrdiff_t(std::min(lines.size(), kBuiltinHotAreaLineCount));
        ini.SetSectionLines("HOTAREAINFO", std::vector<std::string>(lines.begin(), split));
        ini.SetSectionLines("DISPLAYINFO", std::vector<std::string>(split, lines.end()));
    } else {
        if (lines.empty()) {
            error = QStringLiteral("Nie podano pliku definicji karnacji");
            return std::nullopt;
        }
        const QString path = FromPath(lines.front());
        if (ini.LoadFile(lines.front()) != IniLoadStatus::Loaded) {
            error = QStringLiteral("Nie można odczytać pliku definicji karnacji „%1”").arg(path);
            return std::nullopt;
        }
        folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    }
    SkinDefinitionResult read = ReadSkinDefinition(ini);
    if (!read.definition) {
        error = FromCp1250(read.error);
        return std::nullopt;
    }

    Prepared prepared { std::move(*read.definition), m_pictures, 0 };
    prepared.pictures.thumbs.clear();
    prepared.pictures.activeThumbs.clear();
    const SkinPictureNames& names = prepared.definition.pictures;
    const std::size_t sliders = prepared.definition.sliders.size();
    prepared.pictures.thumbs.resize(sliders);
    prepared.pictures.activeThumbs.resize(sliders);
    if (!names.loadPictures)
        return prepared;

    for (const std::string& name : SkinPictureFiles(prepared.definition)) {
        if (!IsSafeSkinFileName(name)) {
            error = QStringLiteral("Nazwa obrazu „%1” wychodzi poza folder karnacji").arg(FromCp1250(name));
            return std::nullopt;
        }
    }
    auto load = [&](const std::string& name, QImage& picture) {
        if (name.empty())
            return true;
        switch (loadPicture(picturePath(folder, name), picture, error)) {
        case PictureLoad::Loaded:
            return true;
        case PictureLoad::RefusedGif:
            ++prepared.refused;
            return true;
        case PictureLoad::Failed:
            break;
        }
        return false;
    };
    Pictures& p = prepared.pictures;
    if (!load(names.mask, p.mask) || !load(names.normal, p.normal) || !load(names.pressed, p.pressed)
        || !load(names.hover, p.hover) || !load(names.digits, p.digits) || !load(names.letters, p.letters))
        return std::nullopt;
    for (std::size_t i = 0; i < sliders; ++i) {
        const SkinSliderDef& slider = prepared.definition.sliders[i];
        if (!load(slider.thumbFile, p.thumbs[i]) || !load(slider.activeThumbFile, p.activeThumbs[i]))
            return std::nullopt;
    }
    return prepared;
}

void TSkinForm::commit(Prepared prepared)
{
    m_pictures = std::move(prepared.pictures);
    std::vector<std::pair<int, int>> thumbSizes;
    for (const QImage& thumb : m_pictures.activeThumbs)
        thumbSizes.emplace_back(thumb.width(), thumb.height());
    m_state.Reset(prepared.definition, thumbSizes);
    m_fonts.clear();
    m_texts.clear();
    for (const SkinTextAreaDef& area : m_state.TextAreas()) {
        m_fonts.push_back({ definitionFont(area), definitionColor(area.color) });
        m_texts.push_back(FromCp1250(area.text));
    }
    applyPictures();
    Q_EMIT OnSkinChanged();
}

TSkinForm::LoadResult TSkinForm::LoadSkin(const std::vector<std::string>& lines, bool builtin)
{
    LoadResult result;
    std::optional<Prepared> prepared = prepare(lines, builtin, result.error);
    if (!prepared)
        return result;
    result.refusedPictures = prepared->refused;
    commit(std::move(*prepared));
    result.ok = true;
    return result;
}

bool TSkinForm::LoadSkinBitmaps(bool fromResources, const QString& mask, const QString& hover,
    const QString& pressed, const QString& normal)
{
    Pictures pictures = m_pictures;
    QString error;
    auto load = [&](const QString& name, QImage& picture) {
        if (!fromResources)
            return loadPicture(name, picture, error) != PictureLoad::Failed;
        const QImage image(QStringLiteral(":/res/%1.png").arg(name));
        if (image.isNull())
            return false;
        picture = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return true;
    };
    if (!load(mask, pictures.mask) || !load(hover, pictures.hover) || !load(pressed, pictures.pressed)
        || !load(normal, pictures.normal))
        return false;
    m_pictures = std::move(pictures);
    applyPictures();
    return true;
}

void TSkinForm::LoadBuiltinSkin()
{
    LoadSkinBitmaps(true, QStringLiteral("SKIN_MASK"), QStringLiteral("SKIN_MAIN"),
        QStringLiteral("SKIN_DOWN"), QStringLiteral("SKIN_MAIN"));
    LoadSkin(BuiltinSkinLines(), true);
}

void TSkinForm::applyPictures()
{
    const QSize size = m_pictures.mask.size();
    QWidget* window = form();
    window->resize(size);
    if (window != this)
        setGeometry(0, 0, size.width(), size.height());
    m_canvas = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_canvas.fill(Qt::white);
    const QRegion region = MaskToRegion(m_pictures.mask, m_keyColor, m_tolerance);
    if (region.isEmpty())
        window->clearMask();
    else
        window->setMask(region);
    PaintSkin();
}

void TSkinForm::PaintSkin()
{
    if (!m_canvas.isNull()) {
        paintNormal();
        // What the pointer shows stays: a repaint for the clock's text must
        // not take away the hover or pressed look under it.
        const SkinPaintStep shown = m_state.ShownLook();
        if (shown.kind == SkinPaintStep::Kind::CopyArea)
            copyArea(shown.area, shown.look);
    }
    m_state.Painted();
    update();
}

void TSkinForm::paintNormal()
{
    QPainter painter(&m_canvas);
    painter.drawImage(0, 0, m_pictures.normal);
    const std::vector<SkinHotAreaDef>& areas = m_state.HotAreas();
    for (const SkinHotAreaDef& area : areas) {
        if (area.toggle && area.down) {
            const QRect rect = clipped(area.box, m_canvas.size());
            painter.drawImage(rect.topLeft(), m_pictures.pressed, rect);
        }
    }
    const std::vector<SkinSlider>& sliders = m_state.Sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i) {
        const bool active = m_state.ActiveSlider() == static_cast<int>(i);
        const QImage& thumb = active ? m_pictures.activeThumbs[i] : m_pictures.thumbs[i];
        const QRect box = clipped(sliders[i].ThumbBox(), m_canvas.size());
        if (!box.isEmpty())
            painter.drawImage(box.topLeft(), thumb);
    }
    drawTexts(painter);
}

void TSkinForm::drawTexts(QPainter& painter)
{
    const std::vector<SkinTextAreaDef>& areas = m_state.TextAreas();
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const SkinTextAreaDef& area = areas[i];
        const QString& text = m_texts[i];
        if (area.kind == "Number" || area.kind == "Text") {
            const bool digits = area.kind == "Number";
            const QImage& glyphs = digits ? m_pictures.digits : m_pictures.letters;
            const int cellWidth = glyphs.width() / (digits ? kDigitCells : kLetterColumns);
            const int cellHeight = digits ? glyphs.height() : glyphs.height() / kLetterRows;
            if (cellWidth <= 0 || cellHeight <= 0)
                continue;
            for (qsizetype c = 0; c < text.size(); ++c) {
                const char32_t character = text[c].unicode();
                const SkinGlyphCell cell = digits ? DigitCell(character) : LetterCell(character);
                const std::int64_t x = std::int64_t { area.left } + c * cellWidth;
                if (x > m_canvas.width() || area.top > m_canvas.height() || area.top < -cellHeight)
                    break;
                painter.drawImage(QPoint(static_cast<int>(x), area.top), glyphs,
                    QRect(cell.column * cellWidth, cell.row * cellHeight, cellWidth, cellHeight));
            }
            continue;
        }
        if (text.isEmpty() || area.left > m_canvas.width() || area.top > m_canvas.height()
            || area.left < -m_canvas.width() || area.top < -m_canvas.height())
            continue;
        painter.setFont(m_fonts[i].font);
        painter.setPen(m_fonts[i].color);
        painter.drawText(QPoint(area.left, area.top + painter.fontMetrics().ascent()), text);
    }
}

void TSkinForm::copyArea(int area, SkinLook look)
{
    const QImage& source = look == SkinLook::Pressed ? m_pictures.pressed
        : look == SkinLook::Hover                    ? m_pictures.hover
                                                     : m_pictures.normal;
    const QRect rect = clipped(m_state.HotAreas()[static_cast<std::size_t>(area)].box, m_canvas.size());
    if (rect.isEmpty())
        return;
    QPainter painter(&m_canvas);
    painter.drawImage(rect.topLeft(), source, rect);
    update(rect);
}

void TSkinForm::runSteps(const SkinPointerResult& result)
{
    for (const SkinPaintStep& step : result.steps) {
        if (step.kind == SkinPaintStep::Kind::Repaint)
            PaintSkin();
        else
            copyArea(step.area, step.look);
    }
    for (const SkinTrackBarChange& change : result.trackBar)
        Q_EMIT OnTrackBarNotify(FromCp1250(change.name), change.position);
}

void TSkinForm::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), m_canvas, event->rect());
}

void TSkinForm::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const SkinPointerResult result = m_state.Press(skinButton(event->button()), point.x(), point.y());
    runSteps(result);
    if (result.startWindowMove) {
        QWindow* handle = form()->windowHandle();
        if (handle == nullptr || !handle->startSystemMove()) {
            m_movingWindow = true;
            m_moveStart = event->globalPosition().toPoint();
            m_moveOrigin = form()->pos();
        }
    }
    Q_EMIT OnMouseDownNotify(
        FromCp1250(result.id), event->button(), event->modifiers(), point.x(), point.y());
}

void TSkinForm::mouseMoveEvent(QMouseEvent* event)
{
    if (m_movingWindow) {
        form()->move(m_moveOrigin + event->globalPosition().toPoint() - m_moveStart);
        return;
    }
    const QPoint point = event->position().toPoint();
    const SkinPointerResult result = m_state.Move(point.x(), point.y());
    runSteps(result);
    Q_EMIT OnMouseMoveNotify(FromCp1250(result.id), event->modifiers(), point.x(), point.y());
}

void TSkinForm::leaveEvent(QEvent* event)
{
    runSteps(m_state.Leave());
    QWidget::leaveEvent(event);
}

void TSkinForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_movingWindow) {
        m_movingWindow = false;
        return;
    }
    const QPoint point = event->position().toPoint();
    const SkinPointerResult result = m_state.Release(point.x(), point.y());
    runSteps(result);
    Q_EMIT OnMouseUpNotify(FromCp1250(result.id), event->button(), event->modifiers(), point.x(), point.y());
}

int TSkinForm::IndexOfHotArea(const QString& name) const
{
    return m_state.IndexOfHotArea(ToCp1250(name));
}

QString TSkinForm::HotAreaName(int index) const
{
    return FromCp1250(m_state.HotAreaName(index));
}

void TSkinForm::SetHotAreaDown(const QString& name, bool down)
{
    if (m_state.SetHotAreaDown(ToCp1250(name), down))
        PaintSkin();
}

void TSkinForm::SetAreaText(const QString& name, const QString& text)
{
    const std::string wanted = ToCp1250(name);
    const std::vector<SkinTextAreaDef>& areas = m_state.TextAreas();
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (areas[i].name == wanted) {
            m_texts[i] = text;
            break;
        }
    }
    PaintSkin();
}

// Skin packages.

bool TSkinForm::unpackPackage(const std::string& packagePath, const std::string& folder, QString& error)
{
    const std::string definition = folder + "ORBSKIN.INI";
    if (!ExtractArchiveFile(packagePath, "ORBSKIN.INI", definition)) {
        error = QStringLiteral("brak definicji ORBSKIN.INI");
        return false;
    }
    TBigIniFile ini(definition);
    const SkinDefinitionResult read = ReadSkinDefinition(ini);
    if (!read.definition || !read.definition->pictures.loadPictures) {
        error = read.definition ? QStringLiteral("definicja nie podaje maski") : FromCp1250(read.error);
        return false;
    }
    for (const std::string& name : SkinPictureFiles(*read.definition)) {
        error = QStringLiteral("nie można rozpakować obrazu „%1”").arg(FromCp1250(name));
        if (!IsSafeSkinFileName(name))
            return false;
        const std::string target = ToPath(picturePath(FromPath(folder), name));
        ForceFolders(ToPath(QFileInfo(FromPath(target)).absolutePath()));
        std::string alternative = name;
        std::replace(alternative.begin(), alternative.end(), '\\', '/');
        if (!ExtractArchiveFile(packagePath, name, target)
            && (alternative == name || !ExtractArchiveFile(packagePath, alternative, target)))
            return false;
    }
    error.clear();
    return true;
}

bool TSkinForm::LoadSkinPackage(const std::string& skinFile)
{
    const bool plainName = !skinFile.empty() && IsSafeSkinFileName(skinFile)
        && skinFile.find_first_of("/\\") == std::string::npos;
    // The per-user folder's package wins over the program folder's of the same name.
    std::string packagePath;
    if (plainName)
        for (const std::string& folder : { UserDataFolder(), ProgramFolder() })
            if (packagePath.empty() || !QFileInfo(FromPath(packagePath)).isFile())
                packagePath = folder + "KARNACJE/" + ToPath(FromCp1250(skinFile));
    if (packagePath.empty() || !QFileInfo(FromPath(packagePath)).isFile()) {
        LoadBuiltinSkin();
        return false;
    }
    std::string folder;
    try {
        folder = TempFolder() + "ORB_SKIN/";
    } catch (const std::runtime_error&) {
        LoadBuiltinSkin();
        return false;
    }
    RemoveSkinFolder();
    ForceFolders(folder);
    m_unpacked = true;

    QString error;
    std::optional<Prepared> prepared;
    if (unpackPackage(packagePath, folder, error))
        prepared = prepare({ folder + "ORBSKIN.INI" }, false, error);
    if (!prepared || prepared->refused > 0 || prepared->pictures.mask.isNull()) {
        qWarning("orbita: skin package %s not used: %s", packagePath.c_str(), qUtf8Printable(error));
        RemoveSkinFolder();
        LoadBuiltinSkin();
        return false;
    }
    commit(std::move(*prepared));
    return true;
}

void TSkinForm::RemoveSkinFolder()
{
    try {
        const std::string folder = TempFolder() + "ORB_SKIN";
        if (FolderExists(folder))
            ShellDelete(folder);
    } catch (const std::runtime_error&) {
        // No private temporary folder: nothing of ours can be there.
    }
}

} // namespace orbita
