#pragma once
// Whole files in and out as bytes, for the suites, tools and benchmarks that
// read committed images or write drawn ones.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_lice {

// Empty when the file cannot be read.
inline std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// False unless every byte reached the file and it closed cleanly; an empty
// buffer counts as a failure, since every caller writes a whole image.
inline bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace testing_lice
