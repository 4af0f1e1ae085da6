#pragma once
// What device objects reach through their owner, the updater: the error
// record, the progress interface, the text source and the configuration.
// None of the pointers is owned by the caller; any but the error record may
// be null.

class CRyConfigInfo;
class CRyErrorRecord;
class CRyProgress;
class CRyResource;

class CRyDeviceOwner {
 public:
  virtual ~CRyDeviceOwner() = default;
  virtual CRyErrorRecord* GetErrorRecord() = 0;
  virtual CRyProgress* GetProgress() = 0;
  virtual CRyResource* GetResource() = 0;
  virtual CRyConfigInfo* GetConfigInfo() = 0;
};
