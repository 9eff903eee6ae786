#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace skein::testing {

// Files as an in-memory map of path to bytes. It can be told to refuse reads of some paths, to
// refuse starting replacements, or to fail their commits, and it counts what happened.
class MemoryFiles final : public platform::Files {
 public:
  std::map<std::string, std::string, std::less<>> files;
  std::set<std::string, std::less<>> unreadable;
  bool refuseReplace = false;
  bool failCommit = false;
  int reads = 0;
  int replacesStarted = 0;
  int commits = 0;

  std::optional<std::string> ReadAll(std::string_view path) override {
    ++reads;
    if (unreadable.contains(path)) return std::nullopt;
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  }

  std::unique_ptr<platform::PendingFile> Replace(std::string_view path) override {
    if (refuseReplace) return nullptr;
    ++replacesStarted;
    return std::make_unique<Pending>(*this, std::string(path));
  }

  std::int64_t QueryFileSize(std::string_view path) override {
    const auto found = files.find(path);
    return found == files.end() ? -1 : static_cast<std::int64_t>(found->second.size());
  }

  bool Has(std::string_view path) const { return files.find(path) != files.end(); }

 private:
  class Pending final : public platform::PendingFile {
   public:
    Pending(MemoryFiles& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
    bool Commit(std::string_view bytes) override {
      if (owner_.failCommit) return false;
      ++owner_.commits;
      owner_.files[path_] = std::string(bytes);
      return true;
    }

   private:
    MemoryFiles& owner_;
    std::string path_;
  };
};

}  // namespace skein::testing
