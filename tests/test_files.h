// Reading and writing whole files in tests, byte for byte.
#ifndef TALONIX_TESTS_TEST_FILES_H_
#define TALONIX_TESTS_TEST_FILES_H_

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testfiles {

// The file's lines split at LF (a CR stays at the end of its line).
inline std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Empty when the file cannot be read.
inline std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Creates the missing directories on the way.
inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace testfiles

#endif  // TALONIX_TESTS_TEST_FILES_H_
