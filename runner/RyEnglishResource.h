#pragma once
// The runner's resource object: English texts for everything the engine and
// the runner ask for, with the status and phase texts composed as the
// dialogs compose them.

#include <cstdint>
#include <string>

#include "core/RyResource.h"

class CRyConfigInfo;

class CRyEnglishResource : public CRyResource {
 public:
  // config (not owned) names the components in the component phases.
  explicit CRyEnglishResource(const CRyConfigInfo* config);

  std::int32_t GetSenseCodeText(std::uint16_t code, std::wstring& out, int useEnglish) override;
  std::int32_t GetText(int textNumber, std::wstring& out) override;

  // The text of a status code; -60 (and the no-message text) for a code
  // without a message entry.
  std::int32_t GetStatusText(std::int32_t code, std::wstring& out);
  // Empty for phases without a text and for component numbers without a
  // present component.
  void GetPhaseText(int phase, std::wstring& out);

 private:
  const CRyConfigInfo* config;
};
