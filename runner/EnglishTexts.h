#pragma once
// The English texts of the runner, by text number, and the tables that map
// status codes and phases to text numbers.

#include <cstdint>

namespace english {

// The general text of a sense code without a text of its own.
inline constexpr int kUnknownSenseText = 621;
// What a status without a message entry shows.
inline constexpr int kNoMessageText = 159;
// The component phases: a format with one string, the component's name.
inline constexpr int kEraseComponentText = 171;
inline constexpr int kWriteComponentText = 196;

// Null when the number has no text here (sense texts are in SenseTexts.h).
const wchar_t* FindNumberedText(int textNumber);
// 0 when the code has no message entry (codes above 0 or below -59).
int StatusTextNumber(std::int32_t code);
// 0 for phases without a text; component phases give 171 or 196.
int PhaseTextNumber(int phase);
// The component number a component phase names; 0 for other phases.
std::uint8_t PhaseComponent(int phase);

}  // namespace english
