#pragma once
// How the engine fetches numbered texts from the shell's language resources.

#include <cstdint>
#include <string>

#include "core/RyBase.h"

class CRyResource : public CRyBase {
 public:
  explicit CRyResource(const char* name = "CRyResource") : CRyBase(name) {}

  // The text of a vendor sense code of the player. A code without a text of
  // its own delivers the general text 621 and -63; -28 when a text could not
  // be loaded. useEnglish 1 asks for the log language.
  virtual std::int32_t GetSenseCodeText(std::uint16_t code, std::wstring& out, int useEnglish) = 0;
  // A numbered text in the user's language; -28 when it could not be loaded.
  virtual std::int32_t GetText(int textNumber, std::wstring& out) = 0;

  static constexpr int kUnknownSenseCodeText = 621;
};
