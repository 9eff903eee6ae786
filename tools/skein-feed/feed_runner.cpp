#include "skein-feed/feed_runner.h"

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "skein-feed/feed_block.h"
#include "skein-feed/record_lines.h"

namespace skein::feed {
namespace {

class Publisher {
 public:
  Publisher(platform::SharedMemoryBlock& block, const FeedOptions& options, std::ostream& output,
            std::ostream& errors)
      : block_(block), options_(options), output_(output), errors_(errors) {}

  bool Publish(std::string_view text) {
    if (!block_.Publish(text)) {
      errors_ << "skein-feed: cannot write to the block \"" << options_.block << "\"\n";
      return false;
    }
    if (options_.print) {
      // What the block took, so the printed lines can be held against the log as they are.
      output_ << text.substr(0, platform::kRecordBlockSize) << '\n' << std::flush;
    }
    return true;
  }

  bool PublishAndHold(std::string_view text) {
    if (!Publish(text)) return false;
    if (options_.holdMs > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(options_.holdMs));
    return true;
  }

 private:
  platform::SharedMemoryBlock& block_;
  const FeedOptions& options_;
  std::ostream& output_;
  std::ostream& errors_;
};

bool PublishLines(std::istream& lines, std::string_view from, Publisher& publisher,
                  std::ostream& errors) {
  std::string record;
  while (ReadRecordLine(lines, record)) {
    if (!publisher.PublishAndHold(record)) return false;
  }
  if (lines.bad()) {
    errors << "skein-feed: reading " << from << " failed\n";
    return false;
  }
  return true;
}

}  // namespace

int RunFeed(const FeedOptions& options, std::istream& input, std::ostream& output,
            std::ostream& errors) {
  // The file comes first, so that a mistyped path does not leave a new block behind.
  std::ifstream file;
  if (options.source == RecordSource::File) {
    file.open(options.file, std::ios::binary);
    if (!file) {
      errors << "skein-feed: cannot open \"" << options.file << "\"\n";
      return 1;
    }
  }
  const auto block = platform::SharedMemoryBlock::Open(options.block, platform::kRecordBlockSize);
  if (!block) {
    errors << "skein-feed: cannot open the shared-memory block \"" << options.block << "\"\n";
    return 1;
  }
  Publisher publisher(*block, options, output, errors);

  bool published = true;
  switch (options.source) {
    case RecordSource::File:
      published = PublishLines(file, "\"" + options.file + "\"", publisher, errors);
      break;
    case RecordSource::Stdin:
      published = PublishLines(input, "standard input", publisher, errors);
      break;
    case RecordSource::Generate: {
      RecordGenerator generator(options.generate);
      while (published) {
        const auto record = generator.Next();
        if (!record) break;
        published = publisher.PublishAndHold(*record);
      }
      break;
    }
  }
  if (!published) return 1;
  if (options.finalText && !publisher.Publish(*options.finalText)) return 1;
  return 0;
}

}  // namespace skein::feed
