// Page markup: the reader and the document builder over arbitrary bytes. Every
// id in the built model must point into its table, and the walk over it uses
// its own stack, as the layout's will.
#include "htmlview/document_builder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace orbita::html;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckModel(const Document& doc)
{
    Check(!doc.flows.empty());
    std::vector<FlowId> pending { kBodyFlow };
    std::vector<bool> seen(doc.flows.size(), false);
    while (!pending.empty()) {
        const FlowId flow = pending.back();
        pending.pop_back();
        Check(flow < doc.flows.size() && !seen[flow]); // a tree: each flow is reached once
        seen[flow] = true;
        for (const Block& block : doc.flows[flow].blocks) {
            if (const auto* p = std::get_if<Paragraph>(&block)) {
                Check(p->font < doc.fonts.size());
                for (const Inline& item : p->items) {
                    if (const auto* run = std::get_if<TextRun>(&item)) {
                        Check(run->font < doc.fonts.size() && !run->text.empty());
                        Check(run->link == kNone || run->link < doc.links.size());
                    } else if (const auto* image = std::get_if<ImageRef>(&item)) {
                        Check(image->image < doc.images.size());
                    } else if (const auto* control = std::get_if<ControlRef>(&item)) {
                        Check(control->control < doc.controls.size());
                    } else if (const auto* anchor = std::get_if<AnchorMark>(&item)) {
                        Check(anchor->anchor < doc.anchors.size());
                    }
                }
            } else if (const auto* list = std::get_if<ListRef>(&block)) {
                Check(list->list < doc.lists.size());
                for (const ListItem& item : doc.lists[list->list].items)
                    pending.push_back(item.content);
            } else if (const auto* table = std::get_if<TableRef>(&block)) {
                Check(table->table < doc.tables.size());
                const Table& t = doc.tables[table->table];
                if (t.caption)
                    pending.push_back(t.caption->content);
                for (const TableRow& row : t.rows)
                    for (const TableCell& cell : row.cells)
                        pending.push_back(cell.content);
            }
        }
    }
    for (const FormControl& control : doc.controls)
        Check(control.form == kNone || control.form < doc.forms.size());
    for (const Form& form : doc.forms)
        for (ControlId id : form.controls)
            Check(id < doc.controls.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view markup(reinterpret_cast<const char*>(data), size);
    const MarkupTokens tokens = ReadMarkup(markup);
    for (const Token& token : tokens.tokens)
        Check(token.kind != TokenKind::Text || !token.text.empty());
    const Document doc = BuildDocument(markup);
    Check(doc.error == tokens.error);
    CheckModel(doc);
    return 0;
}
