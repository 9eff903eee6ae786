#pragma once

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace skein::testing {

// An in-memory directory tree with "/" as separator and "/" as its root. It records every write
// that reaches "the system", so buffering can be checked, and can be told to refuse things.
class FakeWorkingDirectory final : public platform::WorkingDirectory {
 public:
  struct FileData {
    std::string content;
    int writes = 0;
    bool openForWriting = false;
  };

  FakeWorkingDirectory() { directories.insert("/"); }

  // Adds a directory and all its parents.
  void AddDirectory(std::string_view path) {
    std::string full = Resolve(path);
    for (std::size_t at = 1; at <= full.size(); ++at) {
      if (at == full.size() || full[at] == '/') directories.insert(full.substr(0, at));
    }
  }

  std::string Resolve(std::string_view name) const {
    std::string path = (!name.empty() && name.front() == '/')
                           ? std::string(name)
                           : (current == "/" ? "/" : current + "/") + std::string(name);
    std::string clean;
    for (char c : path) {
      if (c == '/' && !clean.empty() && clean.back() == '/') continue;
      clean += c;
    }
    while (clean.size() > 1 && clean.back() == '/') clean.pop_back();
    return clean;
  }

  static std::string Parent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
  }

  bool Enter(std::string_view name) override {
    ++enters;
    const std::string path = Resolve(name);
    if (!directories.contains(path)) return false;
    current = path;
    return true;
  }

  bool Create(std::string_view name) override {
    created.push_back(std::string(name));
    const std::string path = Resolve(name);
    if (refuseCreate || directories.contains(path) || files.contains(path)) return false;
    if (!directories.contains(Parent(path))) return false;
    directories.insert(path);
    return true;
  }

  std::unique_ptr<platform::WritableFile> OpenForAppend(std::string_view name) override {
    ++opens;
    const std::string path = Resolve(name);
    if (refuseOpen || refusedFiles.contains(path) || directories.contains(path)) return nullptr;
    if (!directories.contains(Parent(path))) return nullptr;
    FileData& data = files[path];
    if (data.openForWriting) return nullptr;
    data.openForWriting = true;
    return std::make_unique<File>(*this, path);
  }

  std::string current = "/";
  std::set<std::string> directories;
  std::map<std::string, FileData> files;
  std::set<std::string> refusedFiles;
  std::vector<std::string> created;
  bool refuseOpen = false;
  bool refuseCreate = false;
  bool refuseWrites = false;
  // What the disk still takes; a write beyond it is cut short and fails.
  std::size_t freeSpace = std::numeric_limits<std::size_t>::max();
  int opens = 0;
  int enters = 0;

 private:
  class File final : public platform::WritableFile {
   public:
    File(FakeWorkingDirectory& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
    ~File() override { owner_.files[path_].openForWriting = false; }
    bool Write(std::string_view bytes) override {
      FileData& data = owner_.files[path_];
      ++data.writes;
      if (owner_.refuseWrites) return false;
      const std::size_t taken = std::min(bytes.size(), owner_.freeSpace);
      data.content += bytes.substr(0, taken);
      owner_.freeSpace -= taken;
      return taken == bytes.size();
    }
    bool EndsInsideLine() override {
      const std::string& content = owner_.files[path_].content;
      return !content.empty() && content.back() != '\n';
    }

   private:
    FakeWorkingDirectory& owner_;
    std::string path_;
  };
};

}  // namespace skein::testing
