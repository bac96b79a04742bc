#pragma once

#include <string>
#include <vector>

// One line of resources/resources.manifest, read by the tests so that every
// listed resource is checked and none is forgotten.
struct ManifestEntry {
  int id;
  std::string type;  // "TEXTFILE" or "BITMAP"
  std::string name;  // k<name> in the generated resource_ids.h
  std::string path;  // absolute, as the test program can open it
};

std::vector<ManifestEntry> ReadManifest();
std::vector<unsigned char> ReadWholeFile(const std::string& path);
