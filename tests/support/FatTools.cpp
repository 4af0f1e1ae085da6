#include "tests/support/FatTools.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <vector>

namespace test {

namespace {

constexpr std::uint32_t kSectorSize = 512;

std::uint32_t LittleEndian32(const std::vector<char>& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= std::uint32_t{static_cast<std::uint8_t>(bytes[offset + i])} << (8 * i);
  }
  return value;
}

}  // namespace

ToolRun RunTool(const std::string& command) {
  ToolRun run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool CutPartition(const std::string& image, const std::string& partition,
                  std::uint32_t& startSector, std::uint32_t& sectorCount) {
  std::ifstream in(image, std::ios::binary);
  std::vector<char> mbr(kSectorSize);
  if (!in.read(mbr.data(), kSectorSize)) return false;
  startSector = LittleEndian32(mbr, 0x1C6);
  sectorCount = LittleEndian32(mbr, 0x1CA);
  in.seekg(std::streamoff{startSector} * kSectorSize);
  std::ofstream out(partition, std::ios::binary);
  std::vector<char> chunk(1 << 20);
  for (std::uint64_t left = std::uint64_t{sectorCount} * kSectorSize; left > 0;) {
    const std::size_t length = left < chunk.size() ? static_cast<std::size_t>(left) : chunk.size();
    if (!in.read(chunk.data(), static_cast<std::streamsize>(length))) return false;
    out.write(chunk.data(), static_cast<std::streamsize>(length));
    left -= length;
  }
  return out.good();
}

ScratchDirectory::ScratchDirectory() {
  char pattern[] = "/tmp/ombra-fat-XXXXXX";
  if (mkdtemp(pattern) != nullptr) path = pattern;
}

ScratchDirectory::~ScratchDirectory() {
  if (!path.empty()) RunTool("rm -rf '" + path + "'");
}

}  // namespace test
