#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace orbita::artgen {

// The small drawings that the button glyphs, menu pictures, launcher icons and
// the skin's command buttons are made of. Each is drawn in a 16 x 16 design
// grid scaled to the target rectangle, in one flat style: filled shapes with a
// darker edge of the same hue.
enum class Symbol {
    Question, // help
    Info, // about, information
    Magnifier, // search
    Gear, // settings
    Flask, // chemistry tools
    Globe, // update centre, Internet
    Exit, // close a window: a door with an arrow
    Cross, // cancel
    Check, // confirm
    ArrowLeft, // back, previous
    ArrowRight, // forward, go
    First, // to the first item
    Last, // to the last item
    Next, // next item: a double chevron
    Previous, // previous item: a double chevron to the left
    Play, // start
    Book, // dictionary
    Table, // chemical tables
    Document, // description
    MoreDocument, // more details: a document with a plus
    Copy, // two documents
    Save, // a diskette
    Print, // a printer with a sheet
    Notes, // a note pad with a pencil
    Mail, // an envelope
    Heart, // thanks
    Calculator, // calculate
    Reset, // defaults: a circular arrow
    List, // a list of lines
    Details, // view choice: a list with icons
    Toolbox, // external programs
    Program, // one external program: an application window
    Minimise, // a bar at the bottom
    MenuArrow, // a downward triangle
    LargeIcons, // four big squares
    SmallIcons, // nine small squares
    Report, // rows with columns
    Legend, // coloured swatches with lines
    Star, // introduction
    Atom, // an element
    Scales, // unit converter
    Test, // a check list
    Power, // quit the program
    MolarMass, // molar-mass calculator: a flask on a balance
    PropertyTable, // property table: a small periodic table shaded dark to light
    Install, // the installer: an open box with an arrow going into it
    Uninstall, // the uninstaller: an open box with an arrow coming out of it
};

// Draws `symbol` filling `target` (its design grid is 16 x 16 units).
void DrawSymbol(QPainter& painter, Symbol symbol, const QRectF& target);

} // namespace orbita::artgen
