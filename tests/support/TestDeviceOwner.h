#pragma once
// The owner a transport reaches in tests: a real error record and
// configuration, a recording progress and a table resource.

#include "app/RyConfigInfo.h"
#include "device/RyDeviceOwner.h"
#include "device/RyErrorRecord.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TableResource.h"

namespace test {

class TestDeviceOwner : public CRyDeviceOwner {
 public:
  CRyErrorRecord* GetErrorRecord() override { return &errorRecord; }
  CRyProgress* GetProgress() override { return withProgress ? &progress : nullptr; }
  CRyResource* GetResource() override { return withResource ? &resource : nullptr; }
  CRyConfigInfo* GetConfigInfo() override { return &config; }

  CRyErrorRecord errorRecord;
  RecordingProgress progress;
  TableResource resource;
  CRyConfigInfo config;
  bool withProgress = true;
  bool withResource = true;
};

}  // namespace test
