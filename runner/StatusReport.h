#pragma once
// What the runner prints for a status: "status -57: <meaning>", then what
// the error record knows (the failing object, its system error, the detail
// text or the image file).

#include <cstdint>
#include <string>

class CRyConfigInfo;
class CRyEnglishResource;
class CRyErrorRecord;

std::string DescribeStatus(CRyEnglishResource& resource, std::int32_t code);
// Empty when the record holds no failure.
std::string DescribeErrorRecord(const CRyErrorRecord& record, const CRyConfigInfo& config);
