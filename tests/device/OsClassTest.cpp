#include <gtest/gtest.h>

#include "device/RyOsClass.h"
#include "sim/Machine.h"

namespace {

TEST(OsClass, ClassifiesTheWindowsVersion) {
  struct Case {
    DWORD major, minor;
    OsClass expected;
  };
  const Case cases[] = {
      {4, 0, kOsClassWindows9x},    {4, 10, kOsClassWindows9x},   {4, 11, kOsClassUnsupported},
      {4, 20, kOsClassUnsupported}, {4, 89, kOsClassUnsupported}, {4, 90, kOsClassWindowsMe},
      {5, 0, kOsClassWindows2000},  {5, 1, kOsClassWindowsXp},    {5, 2, kOsClassWindowsXp},
      {6, 0, kOsClassUnsupported},  {3, 51, kOsClassUnsupported}, {10, 0, kOsClassUnsupported},
  };
  sim::ScopedMachine machine;
  for (const Case& c : cases) {
    sim::WindowsVersion version = sim::WindowsVersion::WindowsXp();
    version.major = c.major;
    version.minor = c.minor;
    machine->SetWindowsVersion(version);
    EXPECT_EQ(GetOsClass(), c.expected) << c.major << "." << c.minor;
  }
}

TEST(OsClass, NamedSystems) {
  sim::ScopedMachine machine;
  machine->SetWindowsVersion(sim::WindowsVersion::Windows98());
  EXPECT_TRUE(IsWindows9xClass(GetOsClass()));
  machine->SetWindowsVersion(sim::WindowsVersion::WindowsMe());
  EXPECT_EQ(GetOsClass(), kOsClassWindowsMe);
  machine->SetWindowsVersion(sim::WindowsVersion::WindowsNt4());
  EXPECT_EQ(GetOsClass(), kOsClassWindows9x);  // NT 4.0 reports 4.0 too
  machine->SetWindowsVersion(sim::WindowsVersion::Windows2003());
  EXPECT_TRUE(IsWindowsNtClass(GetOsClass()));
  machine->SetWindowsVersion(sim::WindowsVersion::WindowsVista());
  EXPECT_EQ(GetOsClass(), kOsClassUnsupported);
}

TEST(OsClass, FailedVersionQueryIsUnsupported) {
  sim::ScopedMachine machine;
  machine->SetVersionQueryFails(true);
  EXPECT_EQ(GetOsClass(), kOsClassUnsupported);
}

}  // namespace
