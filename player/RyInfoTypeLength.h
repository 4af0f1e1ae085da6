#pragma once
// Answer lengths of the information types of the two info commands, held as
// a table indexed by type.

#include <cstddef>
#include <cstdint>

namespace RyInfoType {

// A type that the command does not provide.
inline constexpr std::uint32_t kNotProvided = 0;
// A type whose length the caller gives.
inline constexpr std::uint32_t kCallerLength = 0xFFFFFFFF;

template <std::size_t N>
constexpr bool IsProvided(const std::uint32_t (&lengths)[N], std::uint32_t type) {
  return type < N && lengths[type] != kNotProvided;
}

// The data-in length of type; 0 for a type that is not provided.
template <std::size_t N>
constexpr std::uint32_t AnswerLength(const std::uint32_t (&lengths)[N], std::uint32_t type,
                                     std::uint32_t callerLength) {
  if (!IsProvided(lengths, type)) return 0;
  return lengths[type] == kCallerLength ? callerLength : lengths[type];
}

}  // namespace RyInfoType
