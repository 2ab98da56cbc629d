#pragma once

#include "core/colour_contrast.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbita {

// The rules of "Tablica właściwości" (no Qt): the numeric properties of the
// element database, the place of every element in the table, the colour
// scale and the state of matter at a temperature. Texts are UTF-8.

// The properties the table can be coloured by, in the order of its list.
enum class TableProperty {
    Electronegativity,
    Density,
    GasDensity,
    MeltingPoint,
    BoilingPoint,
    IonisationEnergy,
    CovalentRadius,
    AtomicMass,
    DiscoveryYear,
};
inline constexpr std::size_t kTablePropertyCount = 9;

struct TablePropertyInfo {
    TableProperty property;
    std::string_view label; // the database's label, without brackets
    // Coloured on a logarithmic scale: the values span orders of magnitude and
    // a linear scale would give nearly one colour to most of them.
    bool logarithmic;
};
// Every property, in the order of TableProperty.
const std::array<TablePropertyInfo, kTablePropertyCount>& TableProperties();
const TablePropertyInfo& PropertyInfo(TableProperty property);

// One element's value of one property: the number read from it (nothing when
// the text gives none honestly) and the text as the database writes it, with
// entities decoded ("[209]", "-272,2 (2,5 MPa)", "starożytność").
struct PropertyValue {
    std::optional<double> number;
    std::string text;
};

// The number a database value stands for, read leniently: a Polish decimal
// with an optional sign ("-38,83"), after "ok." or "~" (about), in square
// brackets (a mass number, "[209]"), followed by a note ("(2,5 MPa)"); a
// range ("1000–1200") gives its middle. Words ("starożytność") and empty
// texts give nothing.
std::optional<double> LeadingNumber(std::string_view text);

// A unit as the database writes it, with HTML markup, made into plain text:
// "g/cm<sup>3</sup>" gives "g/cm³".
std::string PlainUnit(std::string_view markup);

// The elements' places, names and values.
struct TableElement {
    std::string symbol;
    std::string name;
    // 1 to 18; 0 for the lanthanides and actinides outside groups 1–18.
    int group = 0;
    int period = 0;
    // The cell of the drawn table, from 1: columns 1–18, rows 1–7 for the
    // periods, 9 and 10 for the two rows below (row 8 is left empty). 0 when
    // the element has no place (its group or period is missing).
    int column = 0;
    int row = 0;
    std::array<PropertyValue, kTablePropertyCount> values;
    const PropertyValue& Value(TableProperty property) const
    {
        return values[static_cast<std::size_t>(property)];
    }
};
inline constexpr int kTableColumns = 18;
inline constexpr int kTableRows = 10;

struct PropertyTable {
    std::array<TableElement, 119> elements; // index = atomic number; 0 unused
    std::array<std::string, kTablePropertyCount> units; // plain text; empty: none
    const std::string& Unit(TableProperty property) const
    {
        return units[static_cast<std::size_t>(property)];
    }
};

// The table from the lines of the element database (Windows-1250).
PropertyTable ReadPropertyTable(const std::vector<std::string>& databaseLines);
// The same from the content archive's UKLAD\DANE.TXT; nothing when it cannot
// be read.
std::optional<PropertyTable> ReadPropertyTableFromArchive(const std::string& archive);

// The number of the element drawn at (column, row), or 0.
int ElementAt(const PropertyTable& table, int column, int row);

// A number with a decimal comma and at most `decimals` decimals, without
// trailing zeros ("2,5", "1000", "0,09").
std::string FormatDecimal(double value, int decimals);

// The perceptually uniform viridis colour at t in [0, 1] (clamped): dark
// violet at 0, yellow at 1, lightness rising all the way.
Rgb Viridis(double t);

// Black or white, whichever is more readable on `background`.
Rgb TextColourOn(Rgb background);

// The colour of a property's missing values.
inline constexpr Rgb kMissingColour { 0xC8, 0xC8, 0xC8 };

// A colour scale over [low, high], linear or logarithmic.
struct ColourScale {
    double low = 0;
    double high = 1;
    bool logarithmic = false;
    // Where `value` stands on the scale, 0 at low and 1 at high (clamped).
    double Position(double value) const;
    Rgb ColourOf(double value) const { return Viridis(Position(value)); }
    // Round values inside [low, high] for the legend, in rising order: steps
    // of 1, 2 or 5 times a power of ten (linear), or the powers of ten with
    // their doubles and fives (logarithmic); at least two.
    std::vector<double> Ticks() const;
};
// The scale spanning the property's values in `table`; nothing when it has
// no number at all.
std::optional<ColourScale> ScaleFor(const PropertyTable& table, TableProperty property);

// The state of matter at normal pressure.
enum class MatterState { Solid, Liquid, Gas, Unknown };

// The temperatures the state mode offers, in °C.
inline constexpr int kLowestCelsius = -273;
inline constexpr int kHighestCelsius = 6000;
// Kelvins of a temperature in °C.
inline constexpr double CelsiusToKelvin(double celsius)
{
    return celsius + 273.15;
}

// The state of `element` at `celsius` from its melting and boiling points:
// solid below melting, liquid from melting to boiling, gas from boiling up.
// A boiling point noted "(sublimacja)" is where the solid turns to gas. A
// melting point noted with a pressure ("-272,2 (2,5 MPa)", helium) is no
// melting point at normal pressure: the element stays liquid down to the
// lowest temperature. Unknown where the points at hand cannot tell.
MatterState StateAt(const TableElement& element, double celsius);

// Polish names of the states: "ciało stałe", "ciecz", "gaz", "brak danych".
std::string_view StateName(MatterState state);
// Their colours: solid, liquid and gas far apart in lightness and hue.
Rgb StateColour(MatterState state);

// The hover text of an element: "Żelazo (Fe, 26): Gęstość 7,874 g/cm³".
std::string PropertyHoverText(const PropertyTable& table, int element, TableProperty property);
std::string StateHoverText(const PropertyTable& table, int element, double celsius);

} // namespace orbita
