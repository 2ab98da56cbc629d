#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace orbita {

// The collection of the tip-of-the-day window (UTF-8), in table order:
// first kSayingCount sayings of Polish authors, each in lower case and
// followed by " - " and its author, then kHintCount hints about the program.
constexpr std::size_t kSayingCount = 85;
constexpr std::size_t kHintCount = 10;
constexpr std::size_t kTipCount = kSayingCount + kHintCount;

const std::array<std::string_view, kTipCount>& TipTexts();

} // namespace orbita
