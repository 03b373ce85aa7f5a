// A fresh folder under the temporary folder, removed with everything in it when the test ends.
#pragma once

#include <string>

namespace kivo::testkit {

class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing "/".
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  // Writes a file (creating its folders) and returns its path.
  std::string Write(const std::string& name, const std::string& contents) const;
  std::string Read(const std::string& name) const;

private:
  std::string path_;
};

}  // namespace kivo::testkit
