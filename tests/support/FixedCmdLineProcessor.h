#pragma once
// A command-line interface whose FAT16 answer a test chooses.

#include "core/RyBaseToCmdLineProcessor.h"

namespace test {

class FixedCmdLineProcessor : public CRyBaseToCmdLineProcessor {
 public:
  explicit FixedCmdLineProcessor(int fat16Requested) : fat16Requested(fat16Requested) {}
  int IsFat16Requested() override { return fat16Requested; }

 private:
  int fat16Requested;
};

}  // namespace test
