#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "capture/hourly_log.h"
#include "capture/hourly_statistics.h"
#include "capture/record.h"
#include "platform/files.h"
#include "platform/record_block.h"
#include "platform/system.h"

namespace skein {

// What the capture thread knows, copied out in one piece.
struct CaptureState {
  std::string baseDirectory;
  std::string currentRecord;
  std::string lastRecord;
  RecordTime recordTime;
  std::string logName;
  std::string activeLogName;
  std::string periodHour;
  HourCounters counters;
  bool logOpen = false;
  bool statisticsOpen = false;
};

// The background thread that polls the record channel every 10 ms and logs each new record.
//
// Every item it shares with the main thread sits behind one lock, held for a whole poll, so that
// each main-thread action ("Write to disk", "Directory", a settings save, the exit summary) falls
// between two polls and never inside one. The label is set after the lock is released: a front end
// may have to wait for the main thread to take the text, and the main thread may be waiting for
// the lock.
class CaptureLoop {
 public:
  using LabelSink = std::function<void(std::string_view)>;

  static constexpr int kPollIntervalMs = 10;
  static constexpr std::int32_t kPollsPerFlush = 6000;

  // `channel` may be null: the thread then ends at once and nothing is logged.
  CaptureLoop(platform::RecordBlock* channel, platform::WorkingDirectory& directory,
              platform::System& system, LabelSink setLabel);
  CaptureLoop(const CaptureLoop&) = delete;
  CaptureLoop& operator=(const CaptureLoop&) = delete;
  ~CaptureLoop() { Stop(); }

  // The settings of an earlier run; set before Start.
  void Restore(std::string baseDirectory, std::string lastRecord);

  void Start();
  // Lets the current poll finish, then joins the thread. Nothing is accepted afterwards, so the
  // last record logged stays the last one that reached the log.
  void Stop();

  // The thread's first step: the label text, the first 29 characters of the last record.
  std::string Begin();
  // One poll. Returns the label text when it accepted a record.
  std::optional<std::string> Poll();

  // Main-thread actions.
  void WriteToDisk();
  void ChangeBaseDirectory(std::string baseDirectory);
  std::string CurrentLogPath() const;
  // The exit summary, then the hourly log closes. Neither file is opened again.
  void CloseFiles();
  CaptureState State() const;

 private:
  void Run();
  void RollOver();

  platform::RecordBlock* channel_;
  platform::System& system_;
  LabelSink setLabel_;

  mutable std::mutex mutex_;
  std::string baseDirectory_;
  std::string currentRecord_;
  std::string lastRecord_;
  RecordTime recordTime_;
  std::string logName_;
  std::string activeLogName_;
  bool firstPollDone_ = false;
  bool dayEntered_ = false;
  std::int32_t pollCount_ = 0;
  platform::WorkingDirectory& directory_;
  HourlyLog log_;
  HourlyStatistics statistics_;

  std::atomic<bool> stopRequested_{false};
  std::thread thread_;
};

}  // namespace skein
