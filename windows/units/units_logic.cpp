#include "windows/units/units_logic.h"

#include <algorithm>
#include <array>
#include <boost/multiprecision/cpp_dec_float.hpp>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace orbita::units {
namespace {

using Decimal = boost::multiprecision::cpp_dec_float_50;

constexpr QuantityInfo kQuantities[] = {
    { Quantity::Pressure, "Ciśnienie", "Cisnienie" },
    { Quantity::Length, "Długość", "Dlugosc" },
    { Quantity::Volume, "Objętość", "Objetosc" },
    { Quantity::Temperature, "Temperatura", "Temperatura" },
    { Quantity::Mass, "Waga", "Waga" },
};

constexpr UnitInfo kUnits[] = {
    { Unit::LengthM, Quantity::Length, "LengthMBox", "Metr [m]", "" },
    { Unit::LengthKM, Quantity::Length, "LengthKMBox", "Kilometr [km]", "" },
    { Unit::LengthMM, Quantity::Length, "LengthMMBox", "Milimetr [mm]", "" },
    { Unit::LengthCM, Quantity::Length, "LengthCMBox", "Centymetr [cm]", "" },
    { Unit::WeightKG, Quantity::Mass, "WeightKGBox", "Kilogram [kg]", "" },
    { Unit::WeightT, Quantity::Mass, "WeightTBox", "Tona [t]", "" },
    { Unit::WeightG, Quantity::Mass, "WeightGBox", "Gram [g]", "" },
    { Unit::WeightQ, Quantity::Mass, "WeightQBox", "Kwintal [q]",
        "Jednostka masy stosowana w obrocie płodami rolnymi (1q = 100 kg). Obecnie nieużywana (nielegalna)" },
    { Unit::WeightMG, Quantity::Mass, "WeightMGBox", "Miligram [mg]", "" },
    { Unit::WeightDAG, Quantity::Mass, "WeightDAGBox", "Dekagram [dag]", "" },
    { Unit::TempC, Quantity::Temperature, "TempCBox", "Celsjusz [C]", "" },
    { Unit::TempK, Quantity::Temperature, "TempKBox", "Kelvin [K]", "" },
    { Unit::TempR, Quantity::Temperature, "TempRBox", "Reaumur [R]", "" },
    { Unit::TempF, Quantity::Temperature, "TempFBox", "Fahrenheit [F]", "" },
    { Unit::PressPA, Quantity::Pressure, "PressPABox", "Pa", "" },
    { Unit::PressHPA, Quantity::Pressure, "PressHPABox", "hPa", "" },
    { Unit::PressMPA, Quantity::Pressure, "PressMPABox", "MPa", "" },
    { Unit::PressBAR, Quantity::Pressure, "PressBARBox", "bar",
        "Jednostka ciśnienia (1 bar = 1000 mbar = 10^5 Pa)" },
    { Unit::VolumeM, Quantity::Volume, "VolumeMBox", "Metr [m3]", "" },
    { Unit::VolumeL, Quantity::Volume, "VolumeLBox", "Litr [dm3 lub l]", "" },
    { Unit::VolumeCM, Quantity::Volume, "VolumeCMBox", "Centymetr [cm3]", "" },
    { Unit::VolumeMM, Quantity::Volume, "VolumeMMBox", "Milimetr [mm3]", "" },
};

// The boxes of each page from the top.
constexpr Unit kPressurePage[] = { Unit::PressPA, Unit::PressHPA, Unit::PressBAR, Unit::PressMPA };
constexpr Unit kLengthPage[] = { Unit::LengthM, Unit::LengthMM, Unit::LengthCM, Unit::LengthKM };
constexpr Unit kVolumePage[] = { Unit::VolumeM, Unit::VolumeCM, Unit::VolumeMM, Unit::VolumeL };
constexpr Unit kTemperaturePage[] = { Unit::TempR, Unit::TempK, Unit::TempC, Unit::TempF };
constexpr Unit kMassPage[]
    = { Unit::WeightKG, Unit::WeightG, Unit::WeightMG, Unit::WeightQ, Unit::WeightDAG, Unit::WeightT };

struct Factor {
    Unit from;
    Unit to;
    const char* factor; // exact decimal
};

// Result = source value x factor.
constexpr Factor kFactors[] = {
    { Unit::LengthM, Unit::LengthKM, "0.001" },
    { Unit::LengthM, Unit::LengthCM, "100" },
    { Unit::LengthM, Unit::LengthMM, "1000" },
    { Unit::LengthKM, Unit::LengthM, "1000" },
    { Unit::LengthKM, Unit::LengthCM, "100000" },
    { Unit::LengthKM, Unit::LengthMM, "1000000" },
    { Unit::LengthMM, Unit::LengthM, "0.001" },
    { Unit::LengthMM, Unit::LengthCM, "0.1" },
    { Unit::LengthMM, Unit::LengthKM, "0.000001" },
    { Unit::LengthCM, Unit::LengthM, "0.01" },
    { Unit::LengthCM, Unit::LengthMM, "10" },
    { Unit::LengthCM, Unit::LengthKM, "0.00001" },
    { Unit::WeightKG, Unit::WeightT, "0.001" },
    { Unit::WeightKG, Unit::WeightG, "1000" },
    { Unit::WeightKG, Unit::WeightQ, "0.01" },
    { Unit::WeightKG, Unit::WeightMG, "1000000" },
    { Unit::WeightKG, Unit::WeightDAG, "100" },
    { Unit::WeightT, Unit::WeightKG, "1000" },
    { Unit::WeightT, Unit::WeightG, "1000000" },
    { Unit::WeightT, Unit::WeightQ, "10" },
    { Unit::WeightT, Unit::WeightMG, "1000000000" },
    { Unit::WeightT, Unit::WeightDAG, "100000" },
    { Unit::WeightG, Unit::WeightKG, "0.001" },
    { Unit::WeightG, Unit::WeightT, "0.000001" },
    { Unit::WeightG, Unit::WeightQ, "0.00001" },
    { Unit::WeightG, Unit::WeightMG, "1000" },
    { Unit::WeightG, Unit::WeightDAG, "0.1" },
    { Unit::WeightQ, Unit::WeightKG, "100" },
    { Unit::WeightQ, Unit::WeightT, "0.1" },
    { Unit::WeightQ, Unit::WeightG, "100000" },
    { Unit::WeightQ, Unit::WeightMG, "100000000" },
    { Unit::WeightQ, Unit::WeightDAG, "10000" },
    { Unit::WeightMG, Unit::WeightKG, "0.000001" },
    { Unit::WeightMG, Unit::WeightT, "0.000000001" },
    { Unit::WeightMG, Unit::WeightQ, "0.00000001" },
    { Unit::WeightMG, Unit::WeightG, "0.001" },
    { Unit::WeightMG, Unit::WeightDAG, "0.0001" },
    { Unit::WeightDAG, Unit::WeightKG, "0.01" },
    { Unit::WeightDAG, Unit::WeightT, "0.00001" },
    { Unit::WeightDAG, Unit::WeightQ, "0.0001" },
    { Unit::WeightDAG, Unit::WeightG, "10" },
    { Unit::WeightDAG, Unit::WeightMG, "10000" },
    { Unit::PressPA, Unit::PressHPA, "0.01" },
    { Unit::PressPA, Unit::PressMPA, "0.000001" },
    { Unit::PressPA, Unit::PressBAR, "0.00001" },
    { Unit::PressHPA, Unit::PressPA, "100" },
    { Unit::PressHPA, Unit::PressMPA, "0.0001" },
    { Unit::PressHPA, Unit::PressBAR, "0.001" },
    { Unit::PressMPA, Unit::PressPA, "1000000" },
    { Unit::PressMPA, Unit::PressHPA, "10000" },
    { Unit::PressMPA, Unit::PressBAR, "10" },
    { Unit::PressBAR, Unit::PressPA, "100000" },
    { Unit::PressBAR, Unit::PressHPA, "1000" },
    { Unit::PressBAR, Unit::PressMPA, "0.1" },
    { Unit::VolumeM, Unit::VolumeL, "1000" },
    { Unit::VolumeM, Unit::VolumeCM, "1000000" },
    { Unit::VolumeM, Unit::VolumeMM, "1000000000" },
    { Unit::VolumeL, Unit::VolumeM, "0.001" },
    { Unit::VolumeL, Unit::VolumeCM, "1000" },
    { Unit::VolumeL, Unit::VolumeMM, "1000000" },
    { Unit::VolumeCM, Unit::VolumeM, "0.000001" },
    { Unit::VolumeCM, Unit::VolumeL, "0.001" },
    { Unit::VolumeCM, Unit::VolumeMM, "1000" },
    { Unit::VolumeMM, Unit::VolumeM, "0.000000001" },
    { Unit::VolumeMM, Unit::VolumeL, "0.000001" },
    { Unit::VolumeMM, Unit::VolumeCM, "0.001" },
};

const char* const kInvalidNumber = "Wprowadzono nieprawidłową wartość liczbową";
const char* const kNoNumber = "Brak wartości liczbowej";
const char* const kFormulaError = "Błąd formuły";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

// A value of a temperature formula with the largest magnitude met on the way
// (operands and intermediate results): what is left of a difference of
// nearly equal terms is measured against it.
struct Term {
    Decimal value;
    Decimal scale;

    explicit Term(const Decimal& v)
        : value(v)
        , scale(abs(v))
    {
    }
    Term combine(const Decimal& operand, const Decimal& result) const
    {
        Term next(result);
        next.scale = std::max({ scale, Decimal(abs(operand)), Decimal(abs(result)) });
        return next;
    }
    Term operator+(const Decimal& b) const { return combine(b, value + b); }
    Term operator-(const Decimal& b) const { return combine(b, value - b); }
    Term operator*(const Decimal& b) const { return combine(b, value * b); }
};

const Decimal& fiveNinths()
{
    static const Decimal value = Decimal(5) / 9;
    return value;
}

const Decimal& fourNinths()
{
    static const Decimal value = Decimal(4) / 9;
    return value;
}

// The temperature formulas, left to right as written.
Term temperature(Unit from, Unit to, const Decimal& v)
{
    const Term t(v);
    const Decimal d0_8("0.8"), d1_8("1.8"), d1_25("1.25"), d2_25("2.25");
    switch (from) {
    case Unit::TempC:
        if (to == Unit::TempK)
            return (t + Decimal("274.15")) - Decimal(1);
        if (to == Unit::TempR)
            return t * d0_8 + d0_8 - d0_8;
        return t * d1_8 + Decimal("33.8") - d1_8;
    case Unit::TempK:
        if (to == Unit::TempC)
            return (t - Decimal("272.15")) - Decimal(1);
        if (to == Unit::TempR)
            return t * d0_8 - Decimal("218.52");
        return t * d1_8 - Decimal("459.67");
    case Unit::TempR:
        if (to == Unit::TempK)
            return t * d1_25 + Decimal("273.15");
        if (to == Unit::TempC)
            return t * d1_25;
        return t * d2_25 + Decimal(32);
    default: // Fahrenheit
        if (to == Unit::TempK)
            return ((t - Decimal(32)) * fiveNinths() + Decimal("274.15")) - Decimal(1);
        if (to == Unit::TempC)
            return (t - Decimal(32)) * fiveNinths();
        return (t - Decimal(32)) * fourNinths();
    }
}

Decimal linear(Unit from, Unit to, const Decimal& v)
{
    for (const Factor& f : kFactors)
        if (f.from == from && f.to == to)
            return v * Decimal(f.factor);
    throw std::logic_error("no factor between these units");
}

// The text of a checked box as a number: "-,5" is -0.5, "5," is 5.
Decimal parse(std::string_view text)
{
    std::string number;
    bool negative = false;
    if (text.starts_with('-')) {
        negative = true;
        text.remove_prefix(1);
    }
    const std::size_t comma = text.find(',');
    const std::string_view whole = text.substr(0, comma);
    const std::string_view fraction
        = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    number = (negative ? "-" : "") + std::string(whole.empty() ? "0" : whole) + "."
        + std::string(fraction.empty() ? "0" : fraction);
    return Decimal(number);
}

std::string format(const Decimal& value, int digits)
{
    if (!boost::multiprecision::isfinite(value))
        return {};
    if (value.is_zero())
        return "0";
    return FormatGeneral(
        value.str(std::numeric_limits<Decimal>::digits10, std::ios_base::scientific), digits);
}

} // namespace

std::span<const QuantityInfo> Quantities()
{
    return kQuantities;
}

const QuantityInfo& InfoOf(Quantity quantity)
{
    return *std::find_if(std::begin(kQuantities), std::end(kQuantities),
        [quantity](const QuantityInfo& info) { return info.quantity == quantity; });
}

std::span<const UnitInfo> Units()
{
    return kUnits;
}

const UnitInfo& InfoOf(Unit unit)
{
    return kUnits[static_cast<std::size_t>(unit)];
}

std::vector<Unit> PageUnits(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Pressure:
        return { std::begin(kPressurePage), std::end(kPressurePage) };
    case Quantity::Length:
        return { std::begin(kLengthPage), std::end(kLengthPage) };
    case Quantity::Volume:
        return { std::begin(kVolumePage), std::end(kVolumePage) };
    case Quantity::Temperature:
        return { std::begin(kTemperaturePage), std::end(kTemperaturePage) };
    case Quantity::Mass:
        break;
    }
    return { std::begin(kMassPage), std::end(kMassPage) };
}

std::optional<std::string> AcceptedEntry(std::string_view text)
{
    std::string entry(text);
    for (char& c : entry) {
        if (c == '.')
            c = ',';
        else if (!isDigit(c) && c != ',' && c != '-')
            return std::nullopt;
    }
    return entry;
}

std::optional<std::string> EditedEntry(std::string_view before, std::string_view after)
{
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
        && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::optional<std::string> inserted
        = AcceptedEntry(after.substr(prefix, after.size() - prefix - suffix));
    if (!inserted)
        return std::nullopt;
    return std::string(after.substr(0, prefix)) + *inserted
        + std::string(after.substr(after.size() - suffix));
}

std::optional<InputError> CheckInput(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return InputError { "Wprowadź dowolną wartość liczbową", kNoNumber };
    const std::size_t minus = text.find('-');
    if (minus != std::string_view::npos && (minus != 0 || text.find('-', 1) != std::string_view::npos))
        return InputError { kInvalidNumber, kFormulaError };
    if (text == "-")
        return InputError { kNoNumber, kFormulaError };
    const std::size_t comma = text.find(',');
    if (comma != std::string_view::npos && text.find(',', comma + 1) != std::string_view::npos)
        return InputError { kInvalidNumber, kFormulaError };
    // What the rules above let through but is no number: ",", "-,", letters
    // or a full stop set from elsewhere, a digit string too long to be meant.
    const std::string_view body = text.starts_with('-') ? text.substr(1) : text;
    const bool wellFormed = std::all_of(body.begin(), body.end(), [](char c) {
        return isDigit(c) || c == ',';
    }) && std::any_of(body.begin(), body.end(), isDigit);
    if (!wellFormed || text.size() > kMaxInputLength)
        return InputError { kInvalidNumber, kFormulaError };
    return std::nullopt;
}

std::string FormatGeneral(std::string_view value, int digits)
{
    // Split into sign, significant digits and the exponent of the first digit.
    bool negative = false;
    if (value.starts_with('-') || value.starts_with('+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    std::string mantissa;
    int pointAt = -1; // digits before the point
    std::size_t i = 0;
    for (; i < value.size() && (isDigit(value[i]) || value[i] == '.'); ++i) {
        if (value[i] == '.')
            pointAt = static_cast<int>(mantissa.size());
        else
            mantissa += value[i];
    }
    if (pointAt < 0)
        pointAt = static_cast<int>(mantissa.size());
    long exponentPart = 0;
    if (i < value.size() && (value[i] == 'e' || value[i] == 'E'))
        exponentPart = std::strtol(std::string(value.substr(i + 1)).c_str(), nullptr, 10);
    const std::size_t first = mantissa.find_first_not_of('0');
    if (first == std::string::npos)
        return "0";
    // value = 0.<mantissa from first> x 10^(pointAt - first) ...
    long exponent = exponentPart + pointAt - static_cast<long>(first) - 1; // of the first significant digit
    std::string significant = mantissa.substr(first);

    // Rounded once, half away from zero.
    const auto count = static_cast<std::size_t>(digits);
    if (significant.size() > count) {
        const bool up = significant[count] >= '5';
        significant.resize(count);
        if (up) {
            std::size_t k = count;
            while (k > 0 && significant[k - 1] == '9')
                significant[--k] = '0';
            if (k == 0) {
                significant.insert(significant.begin(), '1');
                significant.pop_back();
                ++exponent;
            } else {
                ++significant[k - 1];
            }
        }
    }
    while (significant.size() > 1 && significant.back() == '0')
        significant.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent + 1 <= digits && exponent >= -5) {
        if (exponent >= 0) {
            const auto whole = static_cast<std::size_t>(exponent + 1);
            if (significant.size() <= whole) {
                text += significant + std::string(whole - significant.size(), '0');
            } else {
                text += significant.substr(0, whole) + "," + significant.substr(whole);
            }
        } else {
            text += "0," + std::string(static_cast<std::size_t>(-exponent - 1), '0') + significant;
        }
    } else {
        text += significant.substr(0, 1);
        if (significant.size() > 1)
            text += "," + significant.substr(1);
        text += "E" + std::to_string(exponent);
    }
    return text;
}

Conversion Convert(Unit from, std::string_view text, int digits)
{
    Conversion conversion;
    if ((conversion.error = CheckInput(text)))
        return conversion;
    const Decimal value = parse(trimmed(text));
    const Quantity quantity = InfoOf(from).quantity;
    for (Unit to : PageUnits(quantity)) {
        if (to == from)
            continue;
        std::string result;
        if (quantity == Quantity::Temperature) {
            const Term t = temperature(from, to, value);
            // What is left of terms that cancel is the rounding of 5/9 and 4/9.
            const bool cancelled = abs(t.value) < t.scale * Decimal("1e-20");
            result = format(cancelled ? Decimal(0) : t.value, digits);
        } else {
            result = format(linear(from, to, value), digits);
        }
        if (result.empty()) {
            conversion.error = InputError { kInvalidNumber, kFormulaError };
            conversion.results.clear();
            return conversion;
        }
        conversion.results.push_back({ to, std::move(result) });
    }
    return conversion;
}

} // namespace orbita::units
