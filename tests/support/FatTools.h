#pragma once
// Running the FAT tools of the host (fsck.fat, mtools) on a saved drive
// image: the programs no one here wrote judge what the formatter wrote.

#include <cstdint>
#include <string>

namespace test {

struct ToolRun {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

ToolRun RunTool(const std::string& command);

// Copies the first partition of the MBR disk image into its own file, for
// fsck.fat, which has no offset option. False when the image is unreadable.
bool CutPartition(const std::string& image, const std::string& partition,
                  std::uint32_t& startSector, std::uint32_t& sectorCount);

// A private directory for the images of one test, removed with the object.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& Path() const { return path; }

 private:
  std::string path;
};

}  // namespace test
