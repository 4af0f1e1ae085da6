// mkimage [--product A.B.C] [--component A.B.C] [--line TEXT]... [--no-marker]
//         PAYLOAD OUTPUT
// Writes OUTPUT: the header lines (version lines first, then the --line
// texts), the marker unless --no-marker, then the bytes of PAYLOAD.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/mkimage/ImageWriter.h"

namespace {

bool ParseVersion(const std::string& text, mkimage::ImageVersion& version) {
  return std::sscanf(text.c_str(), "%u.%u.%u", &version.major, &version.minor, &version.revision) ==
         3;
}

int Usage() {
  std::fprintf(stderr,
               "usage: mkimage [--product A.B.C] [--component A.B.C] [--line TEXT]... "
               "[--no-marker] PAYLOAD OUTPUT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  mkimage::ImageFile file;
  std::vector<std::string> extraLines;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    mkimage::ImageVersion version;
    if (argument == "--product" && hasValue && ParseVersion(argv[++i], version)) {
      file.headerLines.push_back(mkimage::ProductVersionLine(version));
    } else if (argument == "--component" && hasValue && ParseVersion(argv[++i], version)) {
      file.headerLines.push_back(mkimage::ComponentVersionLine(version));
    } else if (argument == "--line" && hasValue) {
      extraLines.push_back(argv[++i]);
    } else if (argument == "--no-marker") {
      file.withMarker = false;
    } else if (argument.rfind("--", 0) == 0) {
      return Usage();
    } else {
      paths.push_back(argument);
    }
  }
  if (paths.size() != 2) return Usage();
  file.headerLines.insert(file.headerLines.end(), extraLines.begin(), extraLines.end());
  std::ifstream payload(paths[0], std::ios::binary);
  if (!payload) {
    std::fprintf(stderr, "mkimage: cannot read %s\n", paths[0].c_str());
    return 1;
  }
  file.payload.assign(std::istreambuf_iterator<char>(payload), std::istreambuf_iterator<char>());
  const std::vector<std::uint8_t> bytes = mkimage::BuildImageFile(file);
  std::ofstream output(paths[1], std::ios::binary);
  output.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  if (!output) {
    std::fprintf(stderr, "mkimage: cannot write %s\n", paths[1].c_str());
    return 1;
  }
  return 0;
}
