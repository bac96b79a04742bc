#include "tests/win32/manifest.h"

#include <fstream>
#include <iterator>
#include <sstream>

// The source tree as the test program sees it under Wine (a drive letter in
// front of the Unix path); set by the build.
static const std::string kResourceDir = std::string(GLOAMERY_SOURCE_DIR) + "/resources/";

std::vector<ManifestEntry> ReadManifest() {
  std::vector<ManifestEntry> entries;
  std::ifstream manifest(kResourceDir + "resources.manifest");
  std::string line;
  while (std::getline(manifest, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    ManifestEntry entry;
    if (fields >> entry.id >> entry.type >> entry.name >> entry.path) {
      entry.path = kResourceDir + entry.path;
      entries.push_back(entry);
    }
  }
  return entries;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
