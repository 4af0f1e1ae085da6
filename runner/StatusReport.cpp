#include "runner/StatusReport.h"

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "device/RyErrorRecord.h"
#include "runner/RyEnglishResource.h"
#include "runner/TextEncoding.h"

std::string DescribeStatus(CRyEnglishResource& resource, std::int32_t code) {
  std::wstring text;
  resource.GetStatusText(code, text);
  return "status " + std::to_string(code) + ": " + ToUtf8(text);
}

std::string DescribeErrorRecord(const CRyErrorRecord& record, const CRyConfigInfo& config) {
  if (record.GetStatus() == RyStatus::kSuccess) return {};
  std::string description =
      "  failed in " + record.GetClassName() + " with status " + std::to_string(record.GetStatus());
  if (record.GetSystemError() != 0) {
    description += ", system error " + std::to_string(record.GetSystemError());
  }
  std::string fileName;
  // The component is the record's only for a file failure; other failures
  // leave the index of an earlier one.
  if (record.GetStatus() == RyStatus::kFileOpenFailed &&
      record.GetComponentIndex() != CRyErrorRecord::kNoComponent &&
      config.GetComponentFileName(record.GetComponentIndex(), fileName) == RyStatus::kSuccess) {
    description += ", image file " + fileName;
  }
  if (!record.GetText().empty()) {
    std::string detail = ToUtf8(record.GetText());
    // Sense texts end in a byte list on a line of its own.
    for (std::size_t at = detail.find("\r\n"); at != std::string::npos; at = detail.find("\r\n")) {
      detail.replace(at, 2, " / ");
    }
    description += "\n  detail: " + detail;
  }
  return description;
}
