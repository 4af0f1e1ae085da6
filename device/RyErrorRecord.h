#pragma once
// The updater's record of the last failure: which object failed, with which
// status and system error, for which component, and a detail text (a sense
// text, a path). Message composition reads it for the detail shown to the
// user.

#include <cstdint>
#include <string>

class CRyBase;

class CRyErrorRecord {
 public:
  static constexpr std::uint8_t kNoComponent = 255;

  CRyErrorRecord() = default;
  virtual ~CRyErrorRecord() = default;

  // Copies the source's name, status and system error; returns the latter.
  std::int32_t Record(const CRyBase& source);
  std::int32_t RecordItem(const CRyBase& source, std::uint8_t index);
  std::int32_t RecordText(const CRyBase& source, const std::wstring& detail);

  const std::string& GetClassName() const { return className; }
  std::int32_t GetStatus() const { return status; }
  std::int32_t GetSystemError() const { return systemError; }
  std::uint8_t GetComponentIndex() const { return componentIndex; }
  const std::wstring& GetText() const { return text; }

 private:
  std::string className;
  std::int32_t status = 0;
  std::int32_t systemError = 0;
  std::uint8_t componentIndex = kNoComponent;
  std::wstring text;
};
