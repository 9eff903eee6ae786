#pragma once

#include <string>
#include <string_view>

namespace skein::bench {

// A fresh directory below `parent`, removed with everything in it when this goes away. Path()
// is empty when it could not be made.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(std::string_view parent);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Empties the file at `path` in place; whoever appends to it goes on at the new end.
void EmptyFile(const std::string& path);

}  // namespace skein::bench
