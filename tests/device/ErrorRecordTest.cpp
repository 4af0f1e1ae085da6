#include <gtest/gtest.h>

#include "core/RyBase.h"
#include "device/RyErrorRecord.h"

namespace {

class FailedObject : public CRyBase {
 public:
  FailedObject(const char* name, std::int32_t code, std::uint32_t error) : CRyBase(name) {
    status = code;
    systemError = error;
  }
};

TEST(ErrorRecord, StartsEmpty) {
  const CRyErrorRecord record;
  EXPECT_EQ(record.GetClassName(), "");
  EXPECT_EQ(record.GetStatus(), 0);
  EXPECT_EQ(record.GetSystemError(), 0);
  EXPECT_EQ(record.GetComponentIndex(), 255);
  EXPECT_EQ(record.GetText(), L"");
}

TEST(ErrorRecord, EachRecordKeepsWhatItDoesNotSet) {
  CRyErrorRecord record;
  EXPECT_EQ(record.RecordText(FailedObject("CRyScsi_Nt", -23, 0), L"0x70, 0x0"), 0);
  EXPECT_EQ(record.RecordItem(FailedObject("CRyFwComponent", -11, 2), 3), 2);
  EXPECT_EQ(record.GetClassName(), "CRyFwComponent");
  EXPECT_EQ(record.GetStatus(), -11);
  EXPECT_EQ(record.GetSystemError(), 2);
  EXPECT_EQ(record.GetComponentIndex(), 3);
  EXPECT_EQ(record.GetText(), L"0x70, 0x0");  // kept from the earlier record

  EXPECT_EQ(record.Record(FailedObject("CRyScsi_Nt", -25, 1167)), 1167);
  EXPECT_EQ(record.GetClassName(), "CRyScsi_Nt");
  EXPECT_EQ(record.GetComponentIndex(), 3);
  EXPECT_EQ(record.GetText(), L"0x70, 0x0");
}

}  // namespace
