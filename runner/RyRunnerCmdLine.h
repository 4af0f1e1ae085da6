#pragma once
// The runner's answer to the engine's one command-line question.

#include "core/RyBaseToCmdLineProcessor.h"

class CRyRunnerCmdLine : public CRyBaseToCmdLineProcessor {
 public:
  explicit CRyRunnerCmdLine(bool fat16) : fat16(fat16 ? 1 : 0) {}
  int IsFat16Requested() override { return fat16; }

 private:
  int fat16;
};
