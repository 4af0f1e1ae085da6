#pragma once
// A resource object that serves texts from tables a test fills in.

#include <cstdint>
#include <map>
#include <string>

#include "core/RyResource.h"

namespace test {

class TableResource : public CRyResource {
 public:
  std::int32_t GetSenseCodeText(std::uint16_t code, std::wstring& out, int useEnglish) override;
  std::int32_t GetText(int textNumber, std::wstring& out) override;

  // Text numbers to texts. A number that is missing fails with -28.
  std::map<int, std::wstring> texts;
  // Vendor sense codes to text numbers; an unknown code gives text 621, -63.
  std::map<std::uint16_t, int> senseCodes;
  // The useEnglish flag of the last sense code request.
  int lastUseEnglish = -1;
};

}  // namespace test
