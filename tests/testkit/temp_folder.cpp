// Test folders.
#include "testkit/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace kivo::testkit {

TempFolder::TempFolder() {
  std::random_device rd;
  std::filesystem::path p = std::filesystem::temp_directory_path() /
                            ("kivotest-" + std::to_string(rd()) + "-" + std::to_string(rd()));
  std::filesystem::create_directories(p);
  path_ = p.string() + "/";
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempFolder::Write(const std::string& name, const std::string& contents) const {
  std::filesystem::path p = path_ + name;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << contents;
  return p.string();
}

std::string TempFolder::Read(const std::string& name) const {
  std::ifstream in(path_ + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace kivo::testkit
