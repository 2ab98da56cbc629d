#include "tools/artgen/symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace orbita::artgen {
namespace {

// A flat hue: its fill and the darker edge around it.
struct Hue {
    QColor fill;
    QColor edge;
};

const Hue kBlue { QColor(0x2F, 0x80, 0xD6), QColor(0x1B, 0x56, 0x98) };
const Hue kGreen { QColor(0x3C, 0xA8, 0x5C), QColor(0x23, 0x76, 0x3D) };
const Hue kRed { QColor(0xDE, 0x4B, 0x42), QColor(0x9E, 0x28, 0x22) };
const Hue kAmber { QColor(0xF2, 0xAA, 0x2E), QColor(0xB0, 0x71, 0x0C) };
const Hue kPurple { QColor(0x8C, 0x5B, 0xC9), QColor(0x5F, 0x37, 0x96) };
const Hue kTeal { QColor(0x1F, 0xA6, 0xA2), QColor(0x12, 0x73, 0x70) };
const Hue kSlate { QColor(0x5D, 0x6D, 0x7E), QColor(0x34, 0x41, 0x50) };
const Hue kPaper { QColor(0xFF, 0xFF, 0xFF), QColor(0x5D, 0x6D, 0x7E) };
const Hue kWood { QColor(0xC0, 0x84, 0x4E), QColor(0x83, 0x52, 0x28) };
const QColor kInk(0x34, 0x41, 0x50);
const QColor kLine(0xA9, 0xB4, 0xC0);

void shape(QPainter& p, const QPainterPath& path, const Hue& hue)
{
    p.setPen(QPen(hue.edge, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(hue.fill);
    p.drawPath(path);
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath circle(double cx, double cy, double r)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

QPainterPath rect(double x, double y, double w, double h, double radius = 0.0)
{
    QPainterPath path;
    if (radius > 0.0)
        path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    else
        path.addRect(QRectF(x, y, w, h));
    return path;
}

// A stroke of `width` in the hue's fill with an edge half a unit wide.
void outlinedStroke(QPainter& p, const QPainterPath& path, const Hue& hue, double width)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(hue.edge, width + 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(hue.fill, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void stroke(QPainter& p, const QPainterPath& path, const QColor& colour, double width)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

QPainterPath line(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    return path;
}

void fill(QPainter& p, const QPainterPath& path, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void paper(QPainter& p, double x, double y, double w, double h)
{
    const double fold = 3.5;
    shape(p, polygon({ { x, y }, { x + w - fold, y }, { x + w, y + fold }, { x + w, y + h }, { x, y + h } }),
        kPaper);
    stroke(
        p, line({ { x + w - fold, y }, { x + w - fold, y + fold }, { x + w, y + fold } }), kPaper.edge, 0.8);
    for (double ly = y + 4.5; ly < y + h - 1.5; ly += 2.5)
        stroke(p, line({ { x + 2.0, ly }, { x + w - 2.0, ly } }), kLine, 1.0);
}

void arrowRight(QPainter& p, double x0, double x1, double cy, const Hue& hue)
{
    const double head = 5.0;
    shape(p,
        polygon({ { x0, cy - 2.0 }, { x1 - head, cy - 2.0 }, { x1 - head, cy - 5.0 }, { x1, cy },
            { x1 - head, cy + 5.0 }, { x1 - head, cy + 2.0 }, { x0, cy + 2.0 } }),
        hue);
}

QPainterPath mirrored(const QPainterPath& path)
{
    QTransform flip;
    flip.translate(16.0, 0.0);
    flip.scale(-1.0, 1.0);
    return flip.map(path);
}

QPainterPath star(double cx, double cy, double outer, double inner, int points)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double a = -std::numbers::pi / 2.0 + i * std::numbers::pi / points;
        const double r = i % 2 == 0 ? outer : inner;
        const QPointF point(cx + r * std::cos(a), cy + r * std::sin(a));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

void drawGear(QPainter& p)
{
    QPainterPath gear;
    constexpr int kTeeth = 8;
    for (int i = 0; i < kTeeth * 4; ++i) {
        const double a = (i - 0.5) * 2.0 * std::numbers::pi / (kTeeth * 4);
        const double r = (i % 4 == 0 || i % 4 == 1) ? 7.3 : 5.4;
        const QPointF point(8.0 + r * std::cos(a), 8.0 + r * std::sin(a));
        if (i == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    gear = gear.subtracted(circle(8.0, 8.0, 2.3));
    shape(p, gear, kAmber);
}

void drawAtom(QPainter& p)
{
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(8.0, 8.0);
        p.rotate(60.0 * i);
        QPainterPath orbit;
        orbit.addEllipse(QPointF(0.0, 0.0), 7.0, 2.7);
        stroke(p, orbit, kBlue.edge, 1.9);
        stroke(p, orbit, kBlue.fill, 1.0);
        p.restore();
    }
    shape(p, circle(8.0, 8.0, 2.2), kRed);
}

// An open cardboard box seen from the front, its flaps folded outwards.
void openBox(QPainter& p)
{
    const Hue cardboard { QColor(0xD9, 0xA4, 0x65), kWood.edge };
    shape(p, polygon({ { 1.5, 7.0 }, { 5.5, 7.0 }, { 4.0, 4.6 }, { 0.3, 4.6 } }), cardboard);
    shape(p, polygon({ { 10.5, 7.0 }, { 14.5, 7.0 }, { 15.7, 4.6 }, { 12.0, 4.6 } }), cardboard);
    shape(p, rect(1.5, 7.0, 13.0, 7.5, 0.6), kWood);
    fill(p, rect(6.6, 7.5, 2.8, 6.5), QColor(0xE8, 0xC2, 0x8E));
}

// An arrow along the vertical middle line from y0 to y1 (pointing down when
// y1 > y0, up otherwise).
void verticalArrow(QPainter& p, double y0, double y1, const Hue& hue)
{
    p.save();
    if (y1 > y0) {
        p.translate(16.0, 0.0);
        p.rotate(90.0);
        arrowRight(p, y0, y1, 8.0, hue);
    } else {
        p.translate(0.0, 16.0);
        p.rotate(-90.0);
        arrowRight(p, 16.0 - y0, 16.0 - y1, 8.0, hue);
    }
    p.restore();
}

} // namespace

void DrawSymbol(QPainter& p, Symbol symbol, const QRectF& target)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(target.topLeft());
    p.scale(target.width() / 16.0, target.height() / 16.0);
    switch (symbol) {
    case Symbol::Question: {
        shape(p, circle(8.0, 8.0, 7.0), kPurple);
        QPainterPath hook;
        hook.moveTo(5.7, 6.2);
        hook.cubicTo(5.7, 3.4, 10.3, 3.4, 10.3, 6.0);
        hook.cubicTo(10.3, 7.8, 8.0, 7.9, 8.0, 9.6);
        stroke(p, hook, Qt::white, 1.9);
        fill(p, circle(8.0, 12.2, 1.2), Qt::white);
        break;
    }
    case Symbol::Info:
        shape(p, circle(8.0, 8.0, 7.0), kBlue);
        fill(p, circle(8.0, 4.6, 1.3), Qt::white);
        fill(p, rect(6.9, 6.9, 2.2, 5.9, 0.6), Qt::white);
        break;
    case Symbol::Magnifier:
        stroke(p, line({ { 9.8, 9.8 }, { 14.0, 14.0 } }), kInk, 3.0);
        shape(p, circle(6.5, 6.5, 4.8), Hue { QColor(0xD9, 0xEC, 0xFF), kInk });
        stroke(p, circle(6.5, 6.5, 4.8), kInk, 1.6);
        stroke(p, line({ { 4.4, 5.6 }, { 5.4, 4.3 } }), Qt::white, 1.2);
        break;
    case Symbol::Gear:
        drawGear(p);
        break;
    case Symbol::Flask: {
        const QPainterPath glass = polygon(
            { { 6.2, 1.5 }, { 9.8, 1.5 }, { 9.8, 6.2 }, { 14.3, 14.5 }, { 1.7, 14.5 }, { 6.2, 6.2 } });
        shape(p, glass, kPaper);
        fill(p, polygon({ { 4.3, 9.8 }, { 11.7, 9.8 }, { 13.6, 13.8 }, { 2.4, 13.8 } }), kTeal.fill);
        stroke(p, glass, kPaper.edge, 1.0);
        fill(p, circle(7.0, 11.6, 0.9), Qt::white);
        fill(p, circle(9.6, 12.4, 0.6), Qt::white);
        stroke(p, line({ { 5.6, 1.5 }, { 10.4, 1.5 } }), kPaper.edge, 1.2);
        break;
    }
    case Symbol::Globe:
        shape(p, circle(8.0, 8.0, 7.0), kBlue);
        {
            QPainterPath meridian;
            meridian.addEllipse(QPointF(8.0, 8.0), 3.0, 7.0);
            stroke(p, meridian, QColor(255, 255, 255, 210), 0.9);
            stroke(p, line({ { 8.0, 1.0 }, { 8.0, 15.0 } }), QColor(255, 255, 255, 210), 0.9);
            stroke(p, line({ { 1.0, 8.0 }, { 15.0, 8.0 } }), QColor(255, 255, 255, 210), 0.9);
            stroke(p, line({ { 2.4, 4.8 }, { 13.6, 4.8 } }), QColor(255, 255, 255, 210), 0.9);
            stroke(p, line({ { 2.4, 11.2 }, { 13.6, 11.2 } }), QColor(255, 255, 255, 210), 0.9);
        }
        break;
    case Symbol::Exit:
        shape(p, rect(1.5, 1.5, 8.0, 13.0, 0.8), kWood);
        fill(p, circle(7.6, 8.6, 0.8), kWood.edge);
        arrowRight(p, 6.0, 15.0, 8.0, kGreen);
        break;
    case Symbol::Cross: {
        const QPainterPath cross = line({ { 3.5, 3.5 }, { 12.5, 12.5 } });
        const QPainterPath other = line({ { 12.5, 3.5 }, { 3.5, 12.5 } });
        stroke(p, cross, kRed.edge, 4.2);
        stroke(p, other, kRed.edge, 4.2);
        stroke(p, cross, kRed.fill, 3.0);
        stroke(p, other, kRed.fill, 3.0);
        break;
    }
    case Symbol::Check:
        outlinedStroke(p, line({ { 2.5, 8.5 }, { 6.3, 12.3 }, { 13.5, 3.8 } }), kGreen, 3.0);
        break;
    case Symbol::ArrowRight:
        arrowRight(p, 1.5, 14.5, 8.0, kBlue);
        break;
    case Symbol::ArrowLeft: {
        p.save();
        p.translate(16.0, 0.0);
        p.scale(-1.0, 1.0);
        arrowRight(p, 1.5, 14.5, 8.0, kBlue);
        p.restore();
        break;
    }
    case Symbol::First:
        shape(p, rect(2.0, 2.5, 2.5, 11.0), kBlue);
        shape(p, polygon({ { 13.5, 2.5 }, { 13.5, 13.5 }, { 5.5, 8.0 } }), kBlue);
        break;
    case Symbol::Last:
        shape(p, mirrored(rect(2.0, 2.5, 2.5, 11.0)), kBlue);
        shape(p, mirrored(polygon({ { 13.5, 2.5 }, { 13.5, 13.5 }, { 5.5, 8.0 } })), kBlue);
        break;
    case Symbol::Next:
        shape(p, polygon({ { 1.5, 2.5 }, { 8.0, 8.0 }, { 1.5, 13.5 } }), kBlue);
        shape(p, polygon({ { 8.0, 2.5 }, { 14.5, 8.0 }, { 8.0, 13.5 } }), kBlue);
        break;
    case Symbol::Previous:
        shape(p, mirrored(polygon({ { 1.5, 2.5 }, { 8.0, 8.0 }, { 1.5, 13.5 } })), kBlue);
        shape(p, mirrored(polygon({ { 8.0, 2.5 }, { 14.5, 8.0 }, { 8.0, 13.5 } })), kBlue);
        break;
    case Symbol::Play:
        shape(p, polygon({ { 3.5, 1.8 }, { 14.0, 8.0 }, { 3.5, 14.2 } }), kGreen);
        break;
    case Symbol::Book:
        shape(p, rect(3.5, 1.5, 10.5, 13.0, 0.8), kPaper);
        for (double y = 4.5; y < 13.0; y += 2.2)
            stroke(p, line({ { 7.0, y }, { 12.0, y } }), kLine, 0.9);
        shape(p, rect(2.0, 1.5, 4.0, 13.0, 0.8), kTeal);
        stroke(p, line({ { 3.2, 3.5 }, { 3.2, 12.5 } }), QColor(255, 255, 255, 140), 0.8);
        break;
    case Symbol::Table:
        shape(p, rect(1.5, 2.5, 13.0, 11.0), kPaper);
        fill(p, rect(2.0, 3.0, 12.0, 2.8), kBlue.fill);
        for (double x : { 5.8, 10.2 })
            stroke(p, line({ { x, 5.8 }, { x, 13.5 } }), kLine, 0.8);
        for (double y : { 8.4, 11.0 })
            stroke(p, line({ { 1.5, y }, { 14.5, y } }), kLine, 0.8);
        stroke(p, rect(1.5, 2.5, 13.0, 11.0), kPaper.edge, 1.0);
        break;
    case Symbol::Document:
        paper(p, 3.0, 1.5, 10.0, 13.0);
        break;
    case Symbol::MoreDocument:
        paper(p, 2.0, 1.0, 9.5, 12.0);
        shape(p, circle(11.5, 11.5, 3.8), kGreen);
        stroke(p, line({ { 9.5, 11.5 }, { 13.5, 11.5 } }), Qt::white, 1.4);
        stroke(p, line({ { 11.5, 9.5 }, { 11.5, 13.5 } }), Qt::white, 1.4);
        break;
    case Symbol::Copy:
        paper(p, 1.5, 1.0, 8.5, 10.5);
        paper(p, 6.0, 4.5, 8.5, 10.5);
        break;
    case Symbol::Save:
        shape(p, rect(1.5, 1.5, 13.0, 13.0, 1.2), kBlue);
        fill(p, rect(4.0, 1.8, 8.0, 4.6), QColor(0xE9, 0xF1, 0xFA));
        fill(p, rect(9.4, 2.6, 1.6, 2.8), kBlue.edge);
        fill(p, rect(3.6, 9.0, 8.8, 5.2, 0.5), Qt::white);
        stroke(p, line({ { 5.0, 11.0 }, { 11.0, 11.0 } }), kLine, 0.8);
        stroke(p, line({ { 5.0, 12.8 }, { 11.0, 12.8 } }), kLine, 0.8);
        break;
    case Symbol::Print:
        paper(p, 4.0, 1.0, 8.0, 6.0);
        shape(p, rect(1.0, 5.5, 14.0, 6.5, 1.2), kSlate);
        fill(p, rect(12.0, 7.0, 1.5, 1.2), kGreen.fill);
        shape(p, rect(3.5, 9.5, 9.0, 5.5, 0.4), kPaper);
        stroke(p, line({ { 5.0, 11.5 }, { 11.0, 11.5 } }), kLine, 0.8);
        stroke(p, line({ { 5.0, 13.3 }, { 10.0, 13.3 } }), kLine, 0.8);
        break;
    case Symbol::Notes:
        shape(p, rect(1.5, 2.0, 10.0, 12.5, 0.8), Hue { QColor(0xFF, 0xE8, 0x8A), kAmber.edge });
        for (double y = 5.5; y < 13.5; y += 2.4)
            stroke(p, line({ { 3.5, y }, { 9.5, y } }), kAmber.edge, 0.8);
        p.save();
        p.translate(11.5, 8.0);
        p.rotate(35.0);
        shape(p, rect(-1.3, -7.0, 2.6, 10.5, 0.4), kAmber);
        shape(p, polygon({ { -1.3, 3.5 }, { 1.3, 3.5 }, { 0.0, 6.5 } }),
            Hue { QColor(0xF2, 0xD3, 0xA6), kInk });
        p.restore();
        break;
    case Symbol::Mail:
        shape(p, rect(1.5, 3.5, 13.0, 9.5, 0.8), kPaper);
        stroke(p, line({ { 1.8, 4.0 }, { 8.0, 9.0 }, { 14.2, 4.0 } }), kPaper.edge, 1.0);
        stroke(p, line({ { 1.8, 12.6 }, { 6.0, 8.0 } }), kLine, 0.8);
        stroke(p, line({ { 14.2, 12.6 }, { 10.0, 8.0 } }), kLine, 0.8);
        break;
    case Symbol::Heart: {
        QPainterPath heart;
        heart.moveTo(8.0, 14.2);
        heart.cubicTo(2.0, 10.0, 0.6, 6.6, 1.6, 4.4);
        heart.cubicTo(2.8, 1.8, 6.6, 1.4, 8.0, 4.6);
        heart.cubicTo(9.4, 1.4, 13.2, 1.8, 14.4, 4.4);
        heart.cubicTo(15.4, 6.6, 14.0, 10.0, 8.0, 14.2);
        shape(p, heart, kRed);
        stroke(p, line({ { 3.6, 4.6 }, { 4.6, 3.6 } }), QColor(255, 255, 255, 170), 1.0);
        break;
    }
    case Symbol::Calculator:
        shape(p, rect(2.5, 1.0, 11.0, 14.0, 1.2), kSlate);
        fill(p, rect(4.0, 2.5, 8.0, 3.2, 0.4), QColor(0xC8, 0xF0, 0xC8));
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col)
                fill(p, rect(4.0 + col * 2.9, 7.0 + row * 2.6, 2.0, 1.8, 0.3),
                    row == 2 && col == 2 ? kAmber.fill : Qt::white);
        }
        break;
    case Symbol::Reset: {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(2.5, 2.5, 11.0, 11.0), 110.0);
        arc.arcTo(QRectF(2.5, 2.5, 11.0, 11.0), 110.0, 280.0);
        outlinedStroke(p, arc, kBlue, 2.0);
        shape(p, polygon({ { 1.0, 3.0 }, { 7.2, 1.8 }, { 4.6, 7.6 } }), kBlue);
        break;
    }
    case Symbol::List:
        for (int i = 0; i < 3; ++i) {
            const double y = 2.5 + i * 4.2;
            shape(p, rect(1.5, y, 3.2, 3.2, 0.5), kBlue);
            stroke(p, line({ { 7.0, y + 1.6 }, { 14.5, y + 1.6 } }), kInk, 1.4);
        }
        break;
    case Symbol::Details:
        shape(p, rect(1.5, 1.5, 6.0, 6.0, 0.8), kBlue);
        shape(p, rect(8.5, 1.5, 6.0, 6.0, 0.8), kTeal);
        for (double y : { 10.0, 13.0 }) {
            fill(p, rect(1.5, y - 1.0, 2.0, 2.0), kSlate.fill);
            stroke(p, line({ { 5.0, y }, { 14.5, y } }), kInk, 1.2);
        }
        break;
    case Symbol::Toolbox:
        stroke(p, rect(5.5, 2.0, 5.0, 4.0, 1.0), kSlate.edge, 1.3);
        shape(p, rect(1.5, 5.0, 13.0, 9.5, 1.0), kRed);
        fill(p, rect(1.5, 8.6, 13.0, 1.0), kRed.edge);
        shape(p, rect(6.5, 7.8, 3.0, 2.6, 0.4), Hue { QColor(0xE0, 0xE4, 0xE8), kSlate.edge });
        break;
    case Symbol::Program:
        shape(p, rect(1.5, 2.0, 13.0, 12.0, 1.0), kPaper);
        fill(p, rect(2.0, 2.5, 12.0, 3.0), kBlue.fill);
        fill(p, rect(11.2, 3.3, 1.6, 1.4), Qt::white);
        fill(p, rect(3.5, 7.5, 4.0, 4.5, 0.5), kAmber.fill);
        stroke(p, line({ { 9.0, 8.5 }, { 12.5, 8.5 } }), kLine, 1.0);
        stroke(p, line({ { 9.0, 10.8 }, { 12.5, 10.8 } }), kLine, 1.0);
        break;
    case Symbol::Minimise:
        shape(p, rect(3.0, 10.5, 10.0, 3.0, 0.6), kSlate);
        break;
    case Symbol::MenuArrow:
        shape(p, polygon({ { 3.0, 5.5 }, { 13.0, 5.5 }, { 8.0, 11.5 } }), kSlate);
        break;
    case Symbol::LargeIcons:
        for (int i = 0; i < 4; ++i)
            shape(
                p, rect(1.5 + (i % 2) * 7.0, 1.5 + (i / 2) * 7.0, 6.0, 6.0, 0.8), i % 3 == 0 ? kBlue : kTeal);
        break;
    case Symbol::SmallIcons:
        for (int i = 0; i < 9; ++i)
            shape(
                p, rect(1.5 + (i % 3) * 4.6, 1.5 + (i / 3) * 4.6, 3.6, 3.6, 0.5), i % 2 == 0 ? kBlue : kTeal);
        break;
    case Symbol::Report:
        shape(p, rect(1.5, 2.0, 13.0, 12.0), kPaper);
        fill(p, rect(2.0, 2.5, 12.0, 2.5), kSlate.fill);
        for (double y : { 7.2, 9.6, 12.0 }) {
            stroke(p, line({ { 3.0, y }, { 6.5, y } }), kInk, 1.1);
            stroke(p, line({ { 8.5, y }, { 13.0, y } }), kLine, 1.1);
        }
        stroke(p, line({ { 7.5, 5.0 }, { 7.5, 13.5 } }), kLine, 0.8);
        break;
    case Symbol::Legend: {
        const Hue swatches[] = { kRed, kAmber, kBlue };
        for (int i = 0; i < 3; ++i) {
            const double y = 1.5 + i * 4.6;
            shape(p, rect(1.5, y, 4.0, 3.6, 0.5), swatches[i]);
            stroke(p, line({ { 7.5, y + 1.8 }, { 14.5, y + 1.8 } }), kInk, 1.3);
        }
        break;
    }
    case Symbol::Star:
        shape(p, star(8.0, 8.6, 7.4, 3.1, 5), kAmber);
        break;
    case Symbol::Atom:
        drawAtom(p);
        break;
    case Symbol::Scales:
        fill(p, rect(7.2, 2.5, 1.6, 10.5), kSlate.edge);
        shape(p, rect(4.0, 13.0, 8.0, 1.8, 0.5), kSlate);
        stroke(p, line({ { 2.0, 3.8 }, { 14.0, 3.8 } }), kSlate.edge, 1.4);
        fill(p, circle(8.0, 2.4, 1.4), kAmber.fill);
        stroke(p, line({ { 3.0, 4.0 }, { 1.0, 9.0 }, { 5.0, 9.0 }, { 3.0, 4.0 } }), kSlate.fill, 0.7);
        stroke(p, line({ { 13.0, 4.0 }, { 11.0, 9.0 }, { 15.0, 9.0 }, { 13.0, 4.0 } }), kSlate.fill, 0.7);
        shape(p, polygon({ { 0.6, 9.0 }, { 5.4, 9.0 }, { 4.4, 10.6 }, { 1.6, 10.6 } }), kAmber);
        shape(p, polygon({ { 10.6, 9.0 }, { 15.4, 9.0 }, { 14.4, 10.6 }, { 11.6, 10.6 } }), kAmber);
        break;
    case Symbol::Test:
        shape(p, rect(2.0, 2.0, 12.0, 13.0, 1.0), kWood);
        fill(p, rect(3.2, 3.6, 9.6, 10.4), Qt::white);
        shape(p, rect(5.5, 1.0, 5.0, 2.6, 0.6), kSlate);
        for (double y : { 6.3, 10.3 }) {
            stroke(p, line({ { 4.2, y }, { 5.3, y + 1.1 }, { 7.0, y - 1.0 } }), kGreen.fill, 1.2);
            stroke(p, line({ { 8.2, y }, { 11.8, y } }), kLine, 1.0);
        }
        break;
    case Symbol::MolarMass: {
        // The flask, smaller, standing on the pan of an electronic balance.
        const QPainterPath glass = polygon(
            { { 6.6, 0.8 }, { 9.4, 0.8 }, { 9.4, 4.4 }, { 13.0, 10.0 }, { 3.0, 10.0 }, { 6.6, 4.4 } });
        shape(p, glass, kPaper);
        fill(p, polygon({ { 5.0, 7.0 }, { 11.0, 7.0 }, { 12.4, 9.4 }, { 3.6, 9.4 } }), kTeal.fill);
        stroke(p, glass, kPaper.edge, 1.0);
        stroke(p, line({ { 6.0, 0.8 }, { 10.0, 0.8 } }), kPaper.edge, 1.2);
        shape(p, rect(1.5, 10.2, 13.0, 1.4, 0.5), kSlate);
        shape(p, rect(1.0, 11.6, 14.0, 3.9, 0.8), kSlate);
        fill(p, rect(4.2, 12.4, 7.6, 2.2, 0.3), QColor(0xC8, 0xF0, 0xC8));
        fill(p, rect(12.4, 12.9, 1.3, 1.2, 0.3), kAmber.fill);
        break;
    }
    case Symbol::PropertyTable: {
        // The outline of the periodic table (two tall columns at the left,
        // one at the right, the block between them lower), its cells
        // shaded from dark violet to yellow like the window's scale.
        const QColor shades[] = { QColor(0x44, 0x01, 0x54), QColor(0x3B, 0x52, 0x8B),
            QColor(0x21, 0x91, 0x8C), QColor(0x5E, 0xC9, 0x62), QColor(0xFD, 0xE7, 0x25) };
        struct Cell {
            double x, y;
            int shade;
        };
        const Cell cells[] = { { 1.0, 2.0, 0 }, { 1.0, 5.0, 0 }, { 1.0, 8.0, 1 }, { 1.0, 11.0, 1 },
            { 4.0, 5.0, 1 }, { 4.0, 8.0, 1 }, { 4.0, 11.0, 2 }, { 7.0, 8.0, 2 }, { 7.0, 11.0, 2 },
            { 10.0, 8.0, 3 }, { 10.0, 11.0, 3 }, { 13.0, 2.0, 4 }, { 13.0, 5.0, 4 }, { 13.0, 8.0, 3 },
            { 13.0, 11.0, 4 }, { 10.0, 5.0, 4 } };
        for (const Cell& cell : cells) {
            fill(p, rect(cell.x, cell.y, 2.8, 2.8, 0.3), shades[cell.shade]);
            stroke(p, rect(cell.x, cell.y, 2.8, 2.8, 0.3), kSlate.edge, 0.4);
        }
        break;
    }
    case Symbol::Power:
        shape(p, circle(8.0, 8.0, 7.0), kRed);
        {
            QPainterPath ring;
            ring.arcMoveTo(QRectF(4.2, 4.4, 7.6, 7.6), 60.0);
            ring.arcTo(QRectF(4.2, 4.4, 7.6, 7.6), 60.0, 300.0);
            stroke(p, ring, Qt::white, 1.5);
            stroke(p, line({ { 8.0, 3.2 }, { 8.0, 8.0 } }), Qt::white, 1.5);
        }
        break;
    case Symbol::Install:
        openBox(p);
        verticalArrow(p, 0.5, 11.5, kGreen);
        break;
    case Symbol::Uninstall:
        openBox(p);
        verticalArrow(p, 11.5, 0.5, kRed);
        break;
    }
    p.restore();
}

} // namespace orbita::artgen
