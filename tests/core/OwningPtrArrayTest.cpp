#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RyOwningPtrArray.h"
#include "core/RyVersionInfo.h"
#include "sim/Machine.h"

namespace {

// Elements that log their construction and destruction.
std::vector<std::string> lifeLog;

class LoggedElement : public CRyBase {
 public:
  explicit LoggedElement(const char* name) : CRyBase(name) {
    lifeLog.push_back("new " + GetObjectName());
  }
  ~LoggedElement() override { lifeLog.push_back("delete " + GetObjectName()); }
};

// Creates elements except at the indices a test lists.
struct SometimesFailingCreate {
  std::vector<std::uint32_t> failAt;
  LoggedElement* operator()(std::uint32_t index, const char* elementName) const {
    for (std::uint32_t failed : failAt) {
      if (failed == index) return nullptr;
    }
    const std::string name = std::string(elementName) + std::to_string(index);
    return new LoggedElement(name.c_str());
  }
};

using LoggedArray = CRyOwningPtrArray<LoggedElement, SometimesFailingCreate>;

class OwningPtrArrayTest : public ::testing::Test {
 protected:
  void SetUp() override { lifeLog.clear(); }
  sim::ScopedMachine machine;
};

TEST_F(OwningPtrArrayTest, CreatesInIndexOrderAndDeletesAll) {
  {
    LoggedArray array(3, "CRySystemDrivePtrArray", "E", SometimesFailingCreate{});
    EXPECT_EQ(array.GetStatus(), RyStatus::kSuccess);
    EXPECT_EQ(array.GetObjectName(), "CRySystemDrivePtrArray");
    EXPECT_EQ(lifeLog, (std::vector<std::string>{"new E0", "new E1", "new E2"}));
  }
  EXPECT_EQ(lifeLog, (std::vector<std::string>{"new E0", "new E1", "new E2", "delete E0",
                                               "delete E1", "delete E2"}));
  EXPECT_EQ(machine->LiveAllocationCount(), 0u);
}

TEST_F(OwningPtrArrayTest, ElementThatCannotBeCreatedStaysNull) {
  {
    LoggedArray array(3, "A", "E", SometimesFailingCreate{{1}});
    EXPECT_EQ(array.GetStatus(), RyStatus::kSuccess);
    LoggedElement* middle = reinterpret_cast<LoggedElement*>(1);
    ASSERT_EQ(array.GetAt(1, middle), RyStatus::kSuccess);
    EXPECT_EQ(middle, nullptr);
  }
  EXPECT_EQ(lifeLog, (std::vector<std::string>{"new E0", "new E2", "delete E0", "delete E2"}));
}

TEST_F(OwningPtrArrayTest, NoElementsWithoutStorage) {
  machine->FailAllocationsAfter(0);
  LoggedArray array(3, "A", "E", SometimesFailingCreate{});
  EXPECT_EQ(array.GetStatus(), RyStatus::kFailed);
  EXPECT_TRUE(lifeLog.empty());
}

TEST_F(OwningPtrArrayTest, VersionArrayHoldsZeroVersions) {
  CRyVersionInfoPtrArray versions(4, "CRyVersionInfoPtrArray");
  ASSERT_EQ(versions.GetStatus(), RyStatus::kSuccess);
  ASSERT_EQ(versions.GetCount(), 4u);
  for (std::uint32_t i = 0; i < 4; ++i) {
    CRyVersionInfo* version = nullptr;
    ASSERT_EQ(versions.GetAt(i, version), RyStatus::kSuccess);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->GetObjectName(), "CRyVersionInfo");
    EXPECT_EQ(version->ToString(), L"000.000.000");
  }
}

}  // namespace
