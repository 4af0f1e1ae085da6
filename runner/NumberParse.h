#pragma once
// Strict parsing of option values: the whole text must be the number.

#include <cstdint>
#include <string>

// Decimal, no sign; false when not a number or above maximum.
bool ParseDecimal(const std::string& text, std::uint64_t maximum, std::uint64_t& out);
// Hexadecimal without prefix, no sign; false when not a number or above maximum.
bool ParseHex(const std::string& text, std::uint64_t maximum, std::uint64_t& out);
