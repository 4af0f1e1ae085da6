#pragma once
// The player's vendor sense codes: which text number each has, and the
// English texts of those numbers.

#include <cstdint>
#include <string>

namespace english {

inline constexpr int kFirstSenseText = 223;
inline constexpr int kLastSenseText = 421;

// 0 when the code has no text of its own.
int SenseTextNumber(std::uint16_t code);
// false when the number is not one of a sense code.
bool SenseText(int textNumber, std::wstring& out);

}  // namespace english
