#pragma once

#include "htmlview/document.h"

#include <string>
#include <utility>
#include <vector>

namespace orbita::html::testing {

// A compact text form of a flow's structure, for comparing built documents
// with what the markup rules give:
//   P(...)   paragraph; "Pc"/"Pr" centred/right, "/" after P: opened by BR,
//            "p" after P: preformatted; items: 'text', / (line break),
//            img:SRC, ctl, #ANCHOR
//   _ =      paragraph space, heading space
//   hr       rule
//   ol[...]  list (ul, ol, dir, menu, dl, bq) with items MARKER{flow}:
//            * bullet (with depth), a number marker ("iii."), dtN / ddN with
//            the item depth, - no marker
//   table[cap{..} tr(td{..} th{..})]
// Walks with its own stack, so it also works on deeply nested documents.
inline std::string DumpFlow(const Document& doc, FlowId root)
{
    std::string out;
    // Work items: either text to write or a flow to expand.
    std::vector<std::pair<std::string, FlowId>> work { { "", root } };
    while (!work.empty()) {
        auto [text, flow] = work.back();
        work.pop_back();
        if (flow == kNone) {
            out += text;
            continue;
        }
        std::vector<std::pair<std::string, FlowId>> parts;
        const auto& blocks = doc.flows[flow].blocks;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            const std::string sep = b ? " " : "";
            if (const auto* p = std::get_if<Paragraph>(&blocks[b])) {
                std::string s = sep + "P";
                if (p->align == Align::Center)
                    s += 'c';
                if (p->align == Align::Right)
                    s += 'r';
                if (p->openedByBreak)
                    s += '/';
                if (p->preformatted)
                    s += 'p';
                s += '(';
                for (std::size_t i = 0; i < p->items.size(); ++i) {
                    if (i)
                        s += ' ';
                    const Inline& item = p->items[i];
                    if (const auto* t = std::get_if<TextRun>(&item))
                        s += "'" + t->text + "'";
                    else if (std::holds_alternative<LineBreak>(item))
                        s += '/';
                    else if (const auto* im = std::get_if<ImageRef>(&item))
                        s += "img:" + doc.images[im->image].src;
                    else if (std::holds_alternative<ControlRef>(item))
                        s += "ctl";
                    else if (const auto* a = std::get_if<AnchorMark>(&item))
                        s += "#" + doc.anchors[a->anchor].name;
                }
                parts.emplace_back(s + ")", kNone);
            } else if (const auto* g = std::get_if<Gap>(&blocks[b])) {
                parts.emplace_back(sep + (g->kind == GapKind::Paragraph ? "_" : "="), kNone);
            } else if (std::holds_alternative<Rule>(blocks[b])) {
                parts.emplace_back(sep + "hr", kNone);
            } else if (const auto* l = std::get_if<ListRef>(&blocks[b])) {
                const List& list = doc.lists[l->list];
                static const char* const kNames[] = { "ol", "ul", "dir", "menu", "dl", "bq" };
                parts.emplace_back(sep + kNames[static_cast<int>(list.kind)] + "[", kNone);
                for (std::size_t i = 0; i < list.items.size(); ++i) {
                    const ListItem& item = list.items[i];
                    std::string marker = i ? " " : "";
                    switch (item.marker) {
                    case MarkerKind::None:
                        marker += "-";
                        break;
                    case MarkerKind::Bullet:
                        marker += "*" + std::to_string(item.bulletDepth);
                        break;
                    case MarkerKind::Number:
                        marker += ListMarkerText(item.number, item.numberStyle);
                        break;
                    case MarkerKind::Term:
                        marker += "dt" + std::to_string(item.depth);
                        break;
                    case MarkerKind::Description:
                        marker += "dd" + std::to_string(item.depth);
                        break;
                    }
                    parts.emplace_back(marker + "{", kNone);
                    parts.emplace_back("", item.content);
                    parts.emplace_back("}", kNone);
                }
                parts.emplace_back("]", kNone);
            } else if (const auto* tr = std::get_if<TableRef>(&blocks[b])) {
                const Table& table = doc.tables[tr->table];
                parts.emplace_back(sep + "table[", kNone);
                std::string lead;
                if (table.caption) {
                    parts.emplace_back(table.caption->bottom ? "capb{" : "cap{", kNone);
                    parts.emplace_back("", table.caption->content);
                    parts.emplace_back("}", kNone);
                    lead = " ";
                }
                for (std::size_t r = 0; r < table.rows.size(); ++r) {
                    parts.emplace_back((r || !lead.empty() ? " " : "") + std::string("tr("), kNone);
                    const auto& cells = table.rows[r].cells;
                    for (std::size_t c = 0; c < cells.size(); ++c) {
                        parts.emplace_back(
                            (c ? " " : "") + std::string(cells[c].header ? "th{" : "td{"), kNone);
                        parts.emplace_back("", cells[c].content);
                        parts.emplace_back("}", kNone);
                    }
                    parts.emplace_back(")", kNone);
                }
                parts.emplace_back("]", kNone);
            }
        }
        for (auto it = parts.rbegin(); it != parts.rend(); ++it)
            work.push_back(*it);
    }
    return out;
}

inline std::string DumpBody(const Document& doc)
{
    return DumpFlow(doc, kBodyFlow);
}

// The first text run (in the order of the document's flows) that contains
// `text`; null when none.
inline const TextRun* FirstTextRun(const Document& doc, std::string_view text = {})
{
    for (const Flow& flow : doc.flows) {
        for (const Block& block : flow.blocks) {
            if (const auto* p = std::get_if<Paragraph>(&block)) {
                for (const Inline& item : p->items) {
                    const auto* run = std::get_if<TextRun>(&item);
                    if (run && run->text.find(text) != std::string::npos)
                        return run;
                }
            }
        }
    }
    return nullptr;
}

} // namespace orbita::html::testing
