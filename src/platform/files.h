#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace skein::platform {

// An open file that takes bytes at its end. Destroying it closes the file.
class WritableFile {
 public:
  virtual ~WritableFile() = default;

  // Hands the bytes to the system. False when any of them were refused (disk full, I/O error);
  // some of them may have been written all the same.
  virtual bool Write(std::string_view bytes) = 0;
  // Whether the file holds bytes and the last of them is not a line feed: a line was cut short
  // by a crash or a full disk.
  virtual bool EndsInsideLine() = 0;
};

// The capture thread's current directory and the files it opens by bare name in it. A relative
// name resolves against the directory entered last. On Linux the directory is kept apart from the
// process's own; on Windows it is the process's current directory, which "Open logfile" starts the
// text viewer in.
class WorkingDirectory {
 public:
  virtual ~WorkingDirectory() = default;

  // Makes `name` the current directory. False when it cannot be entered.
  virtual bool Enter(std::string_view name) = 0;
  // Creates the one directory `name` (its parent must exist). False when it was not created.
  virtual bool Create(std::string_view name) = 0;
  // Opens `name` for appending, creating it empty when missing. Readers may share the file; the
  // open fails when another writer holds it. Null on failure.
  virtual std::unique_ptr<WritableFile> OpenForAppend(std::string_view name) = 0;
};

// A replacement for a file that is being written: the bytes go to a temporary file beside the
// target, which only replaces the target once all of them are on disk. Dropping it without a
// successful Commit removes the temporary file and leaves the target as it was.
class PendingFile {
 public:
  virtual ~PendingFile() = default;

  // Writes `bytes` as the whole new content and puts it in the target's place.
  virtual bool Commit(std::string_view bytes) = 0;
};

// Files named by full path: the settings file and the size check of "Open logfile".
class Files {
 public:
  virtual ~Files() = default;

  // The whole content of an existing file, or nothing when it cannot be opened for reading.
  virtual std::optional<std::string> ReadAll(std::string_view path) = 0;
  // Starts a replacement of `path`. Null when the temporary file cannot be created.
  virtual std::unique_ptr<PendingFile> Replace(std::string_view path) = 0;
  // The size in bytes of the file at `path` (trailing separators ignored): -1 when the path is
  // empty or names nothing, -2 when it names a directory.
  virtual std::int64_t QueryFileSize(std::string_view path) = 0;
};

}  // namespace skein::platform
