#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The unit converter's rules, without Qt: its quantities and units, what a
// box accepts, the check of a box's text and the conversion from one unit to
// the others of its quantity, written in the general format with a decimal
// comma. The arithmetic is exact decimal at 50 digits; a result is rounded
// once, to the chosen number of significant digits.
namespace orbita::units {

enum class Quantity { Pressure, Length, Volume, Temperature, Mass };

// In the order in which the window looks for the box that has the focus.
enum class Unit {
    LengthM,
    LengthKM,
    LengthMM,
    LengthCM,
    WeightKG,
    WeightT,
    WeightG,
    WeightQ,
    WeightMG,
    WeightDAG,
    TempC,
    TempK,
    TempR,
    TempF,
    PressPA,
    PressHPA,
    PressMPA,
    PressBAR,
    VolumeM,
    VolumeL,
    VolumeCM,
    VolumeMM,
};

struct QuantityInfo {
    Quantity quantity;
    const char* item; // the drop-down list's item, UTF-8 ("Długość")
    const char* page; // the notebook page's name ("Dlugosc")
};

struct UnitInfo {
    Unit unit;
    Quantity quantity;
    const char* box; // the edit box's component name ("LengthMBox")
    const char* caption; // its label, UTF-8 ("Metr [m]")
    const char* hint; // its tooltip, UTF-8, or empty
};

// The quantities in the drop-down list's (sorted) order.
std::span<const QuantityInfo> Quantities();
const QuantityInfo& InfoOf(Quantity quantity);
// Every unit, in the focus-search order.
std::span<const UnitInfo> Units();
const UnitInfo& InfoOf(Unit unit);
// The units of a quantity in the order their boxes stand on its page.
std::vector<Unit> PageUnits(Quantity quantity);

// The precisions offered: significant digits of every result.
inline constexpr int kPrecisions[] = { 10, 15, 20 };
// The longest text a box may hold for a conversion.
inline constexpr std::size_t kMaxInputLength = 40;

// What a box accepts of typed or pasted text (UTF-8): a full stop becomes a
// comma; digits, "," and "-" pass. Text holding any other character is refused
// as a whole (nothing).
std::optional<std::string> AcceptedEntry(std::string_view text);

// What a box shows after the user changed its text from `before` to `after`
// (typing, pasting, dropping): the inserted characters pass AcceptedEntry
// with their full stops made commas; nothing means the change is undone.
// Deleting always passes.
std::optional<std::string> EditedEntry(std::string_view before, std::string_view after);

// A message box the window shows instead of converting (UTF-8).
struct InputError {
    std::string text;
    std::string title;
};

// Checks a box's text before it is converted: nothing when it is a number of
// the form -?[0-9]*(,[0-9]*)? with at least one digit and at most
// kMaxInputLength characters (spaces around it aside).
std::optional<InputError> CheckInput(std::string_view text);

// `value` rounded once to `digits` significant digits in the general format:
// fixed without trailing zeros while the integer part has at most `digits`
// digits and the magnitude is at least 0,00001, otherwise "1,5E25", "1E-8"
// (no "+", no leading zeros in the exponent). `value` is a decimal number
// with a full stop ("-0.00001", "1.5e25"); zero of either sign is "0".
std::string FormatGeneral(std::string_view value, int digits);

struct UnitText {
    Unit unit;
    std::string text; // UTF-8
};

// The result of converting a box's text.
struct Conversion {
    std::optional<InputError> error; // set: nothing is converted
    std::vector<UnitText> results; // every other unit of the quantity, in page order
};

// Converts the text of the box of `from` to every other unit of its
// quantity with `digits` significant digits. Factors are exact powers of ten;
// temperatures follow their formulas as written, with 5/9 and 4/9 held at 50
// digits. A result below 10^-20 of the largest term of its formula is 0.
Conversion Convert(Unit from, std::string_view text, int digits);

} // namespace orbita::units
