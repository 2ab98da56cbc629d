#pragma once

namespace orbita {

// The chemical elements of the program: atomic numbers 1 to 118, one cell,
// one page and one database record each. The one place that counts them.
inline constexpr int kFirstElement = 1;
inline constexpr int kElementCount = 118;
inline constexpr int kLastElement = kFirstElement + kElementCount - 1;

constexpr bool IsElementNumber(int number)
{
    return number >= kFirstElement && number <= kLastElement;
}

} // namespace orbita
