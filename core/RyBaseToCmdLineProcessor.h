#pragma once
// What the engine may ask of the command line: whether FAT16 was forced.

#include "core/RyBase.h"

class CRyBaseToCmdLineProcessor : public CRyBase {
 public:
  explicit CRyBaseToCmdLineProcessor(const char* name = "CRyBaseToCmdLineProcessor")
      : CRyBase(name) {}

  virtual int IsFat16Requested() { return 0; }
};
