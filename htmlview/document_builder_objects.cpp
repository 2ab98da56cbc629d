// Builder rules for links and anchors (A), pictures (IMG), image maps (MAP,
// AREA) and forms (FORM, INPUT, SELECT, OPTION, TEXTAREA).

#include "core/cp1250.h"
#include "htmlview/document_builder_state.h"

namespace orbita::html::builder_detail {

void DocumentBuilder::startAnchor(const AttributeList& attributes)
{
    m_link = kNone;
    if (const Attribute* href = GetAttribute(attributes, AttributeId::Href)) {
        m_doc.links.push_back(Link { href->text, TextOf(attributes, AttributeId::Target) });
        m_link = static_cast<LinkId>(m_doc.links.size() - 1);
    }
    if (const Attribute* name = GetAttribute(attributes, AttributeId::Name)) {
        const FlowId flow = currentFlow();
        m_doc.anchors.push_back(Anchor { Cp1250UpperText(name->text), flow });
        openParagraph().items.emplace_back(
            std::in_place_type<AnchorMark>, AnchorMark { static_cast<AnchorId>(m_doc.anchors.size() - 1) });
    }
}

void DocumentBuilder::addImage(const AttributeList& attributes)
{
    Image image;
    image.src = TextOf(attributes, AttributeId::Src);
    image.alt = TextOf(attributes, AttributeId::Alt);
    image.align = ParseImageAlign(TextOf(attributes, AttributeId::Align));
    image.width = ParseLength(GetAttribute(attributes, AttributeId::Width));
    image.height = ParseLength(GetAttribute(attributes, AttributeId::Height));
    image.border = ParseNumber(GetAttribute(attributes, AttributeId::Border));
    image.hspace = ParseNumber(GetAttribute(attributes, AttributeId::Hspace));
    image.isMap = Has(attributes, AttributeId::Ismap);
    image.useMap = TextOf(attributes, AttributeId::Usemap);
    image.link = m_link;
    image.font = currentFont(m_link != kNone);
    image.attributes = attributes;
    m_doc.images.push_back(std::move(image));
    openParagraph().items.emplace_back(
        std::in_place_type<ImageRef>, ImageRef { static_cast<ImageId>(m_doc.images.size() - 1) });
    m_lastBlank = false;
    m_hasContent = true;
}

void DocumentBuilder::addArea(const AttributeList& attributes)
{
    if (m_map == kNone)
        return;
    MapArea area;
    area.shape = Lower(TextOf(attributes, AttributeId::Shape));
    area.coords = ParseCoords(TextOf(attributes, AttributeId::Coords));
    area.href = TextOf(attributes, AttributeId::Href);
    area.target = TextOf(attributes, AttributeId::Target);
    area.alt = TextOf(attributes, AttributeId::Alt);
    area.noHref = Has(attributes, AttributeId::Nohref);
    area.attributes = attributes;
    m_doc.maps[m_map].areas.push_back(std::move(area));
}

void DocumentBuilder::startForm(const AttributeList& attributes)
{
    Form form;
    form.action = TextOf(attributes, AttributeId::Action);
    form.method = TextOf(attributes, AttributeId::Method);
    form.target = TextOf(attributes, AttributeId::Target);
    form.encType = TextOf(attributes, AttributeId::Enctype);
    form.attributes = attributes;
    m_doc.forms.push_back(std::move(form));
    m_form = static_cast<FormId>(m_doc.forms.size() - 1);
}

// Adds a control to the current form and, unless hidden, to the paragraph.
ControlId DocumentBuilder::addControl(FormControl control)
{
    control.form = m_form;
    const bool visible = control.kind != ControlKind::Hidden;
    m_doc.controls.push_back(std::move(control));
    const ControlId id = static_cast<ControlId>(m_doc.controls.size() - 1);
    if (m_form != kNone)
        m_doc.forms[m_form].controls.push_back(id);
    if (visible) {
        openParagraph().items.emplace_back(std::in_place_type<ControlRef>, ControlRef { id });
        m_lastBlank = false;
        m_hasContent = true;
    }
    return id;
}

void DocumentBuilder::addInput(const AttributeList& attributes)
{
    FormControl control;
    control.kind = InputKind(TextOf(attributes, AttributeId::Type));
    control.name = TextOf(attributes, AttributeId::Name);
    control.value = TextOf(attributes, AttributeId::Value);
    control.checked = Has(attributes, AttributeId::Checked);
    control.size = ParseNumber(GetAttribute(attributes, AttributeId::Size));
    control.maxLength = ParseNumber(GetAttribute(attributes, AttributeId::Maxlength));
    control.src = TextOf(attributes, AttributeId::Src);
    control.font = currentFont(false);
    control.attributes = attributes;
    addControl(std::move(control));
}

void DocumentBuilder::startSelect(const AttributeList& attributes)
{
    finishOption();
    FormControl control;
    control.kind = ControlKind::Select;
    control.name = TextOf(attributes, AttributeId::Name);
    control.size = ParseNumber(GetAttribute(attributes, AttributeId::Size));
    control.multiple = Has(attributes, AttributeId::Multiple);
    control.font = currentFont(false);
    control.attributes = attributes;
    m_select = addControl(std::move(control));
}

void DocumentBuilder::startOption(const AttributeList& attributes)
{
    if (m_select == kNone)
        return;
    finishOption();
    SelectOption option;
    const Attribute* value = GetAttribute(attributes, AttributeId::Value);
    m_optionHasValue = value != nullptr;
    if (value)
        option.value = value->text;
    option.selected = Has(attributes, AttributeId::Selected);
    m_doc.controls[m_select].options.push_back(std::move(option));
    m_optionOpen = true;
}

void DocumentBuilder::finishOption()
{
    if (!m_optionOpen || m_select == kNone)
        return;
    SelectOption& option = m_doc.controls[m_select].options.back();
    option.text = Trim(option.text);
    if (!m_optionHasValue)
        option.value = option.text;
    m_optionOpen = false;
}

void DocumentBuilder::addTextArea(const AttributeList& attributes)
{
    FormControl control;
    control.kind = ControlKind::TextArea;
    control.name = TextOf(attributes, AttributeId::Name);
    const std::optional<int> cols = ParseNumber(GetAttribute(attributes, AttributeId::Cols));
    const std::optional<int> rows = ParseNumber(GetAttribute(attributes, AttributeId::Rows));
    if (cols && *cols >= 1)
        control.cols = std::min(*cols, kMaxTextAreaSize);
    if (rows && *rows >= 1)
        control.rows = std::min(*rows, kMaxTextAreaSize);
    const std::string wrap = Lower(TextOf(attributes, AttributeId::Wrap));
    control.wrap = wrap == "soft" || wrap == "hard";
    FontState font = m_fonts.back();
    m_fonts.push_back(FontState {
        m_options.preFontName, kPreFontPoints, SizeForPoints(kPreFontPoints), font.bold, font.colour });
    control.font = currentFont(false);
    m_fonts.pop_back();
    control.attributes = attributes;
    m_rawControl = addControl(std::move(control));
    m_expectRaw = RawExpectation::TextArea;
}

} // namespace orbita::html::builder_detail
