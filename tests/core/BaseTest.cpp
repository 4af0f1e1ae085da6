#include <gtest/gtest.h>

#include "core/RyBase.h"
#include "core/RyStatus.h"

namespace {

// An object that records a failure the way device objects do.
class FailingObject : public CRyBase {
 public:
  FailingObject() : CRyBase("CRyDisk") {}
  void Fail(std::int32_t code, std::uint32_t error) {
    status = code;
    systemError = error;
  }
};

TEST(BaseObject, StartsSoundWithItsName) {
  FailingObject object;
  EXPECT_EQ(object.GetStatus(), RyStatus::kSuccess);
  EXPECT_EQ(object.GetSystemError(), 0u);
  EXPECT_EQ(object.GetObjectName(), "CRyDisk");
}

TEST(BaseObject, CopyCarriesFailureAndName) {
  FailingObject failed;
  failed.Fail(RyStatus::kDeviceOpenFailed, 5);
  FailingObject copy(failed);
  EXPECT_EQ(copy.GetStatus(), RyStatus::kDeviceOpenFailed);
  EXPECT_EQ(copy.GetSystemError(), 5u);
  EXPECT_EQ(copy.GetObjectName(), "CRyDisk");

  FailingObject assigned;
  assigned = failed;
  EXPECT_EQ(assigned.GetStatus(), RyStatus::kDeviceOpenFailed);
  EXPECT_EQ(assigned.GetSystemError(), 5u);
}

TEST(BaseObject, NameIsReturnedAsCopy) {
  FailingObject object;
  std::string name = object.GetObjectName();
  name[0] = 'X';
  EXPECT_EQ(object.GetObjectName(), "CRyDisk");
}

TEST(BaseObject, DeletedThroughBasePointer) {
  CRyBase* object = new FailingObject;
  EXPECT_EQ(object->GetObjectName(), "CRyDisk");
  delete object;  // the sanitizer build checks the virtual destructor
}

}  // namespace
