#include "device/RyErrorRecord.h"

#include "core/RyBase.h"

std::int32_t CRyErrorRecord::Record(const CRyBase& source) {
  className = source.GetObjectName();
  status = source.GetStatus();
  systemError = static_cast<std::int32_t>(source.GetSystemError());
  return systemError;
}

std::int32_t CRyErrorRecord::RecordItem(const CRyBase& source, std::uint8_t index) {
  componentIndex = index;
  return Record(source);
}

std::int32_t CRyErrorRecord::RecordText(const CRyBase& source, const std::wstring& detail) {
  text = detail;
  return Record(source);
}
