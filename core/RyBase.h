#pragma once
// Root of the object model: every object carries its class name, the status
// of its last recorded failure and the system error that came with it.

#include <cstdint>
#include <string>

class CRyBase {
 public:
  explicit CRyBase(const char* name);
  CRyBase(const CRyBase&) = default;
  CRyBase& operator=(const CRyBase&) = default;
  virtual ~CRyBase();

  virtual std::int32_t GetStatus() const;
  virtual std::uint32_t GetSystemError() const;

  std::string GetObjectName() const { return objectName; }

 protected:
  std::int32_t status = 0;
  std::uint32_t systemError = 0;

 private:
  std::string objectName;
};
