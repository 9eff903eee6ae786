#include "capture/capture_loop.h"

#include "capture/log_tree.h"
#include "capture/record_channel.h"

namespace skein {

CaptureLoop::CaptureLoop(platform::RecordBlock* channel, platform::WorkingDirectory& directory,
                         platform::System& system, LabelSink setLabel)
    : channel_(channel),
      system_(system),
      setLabel_(std::move(setLabel)),
      directory_(directory),
      log_(directory),
      statistics_(directory) {}

void CaptureLoop::Restore(std::string baseDirectory, std::string lastRecord) {
  std::lock_guard lock(mutex_);
  baseDirectory_ = std::move(baseDirectory);
  lastRecord_ = std::move(lastRecord);
}

void CaptureLoop::Start() {
  if (thread_.joinable()) return;
  stopRequested_ = false;
  thread_ = std::thread([this] { Run(); });
}

void CaptureLoop::Stop() {
  stopRequested_ = true;
  if (thread_.joinable()) thread_.join();
}

void CaptureLoop::Run() {
  if (channel_ == nullptr) return;
  setLabel_(Begin());
  while (!stopRequested_) {
    if (std::optional<std::string> label = Poll()) setLabel_(*label);
    system_.Delay(kPollIntervalMs);
  }
}

std::string CaptureLoop::Begin() {
  std::lock_guard lock(mutex_);
  logName_ = LogNameOf(lastRecord_);
  recordTime_ = RecordTime::Of(lastRecord_);
  return std::string(FirstChars(lastRecord_, 29));
}

std::optional<std::string> CaptureLoop::Poll() {
  std::optional<std::string> label;
  std::lock_guard lock(mutex_);
  std::optional<std::string> text;
  if (channel_ != nullptr) text = ReadRecordText(*channel_);
  if (text) {
    currentRecord_ = std::move(*text);
    logName_ = LogNameOf(currentRecord_);
    recordTime_ = RecordTime::Of(currentRecord_);
    if (!firstPollDone_) {
      statistics_.StartPeriod(currentRecord_);
      firstPollDone_ = true;
    }
    if (logName_ != activeLogName_) RollOver();

    if (currentRecord_ != lastRecord_ && currentRecord_.size() >= kMinimumRecordLength) {
      // A record is taken only in the poll that can write it: one whose day directory or log
      // cannot be reached stays in the block and is tried again at the next poll, and is counted
      // once, when it is written.
      if (!dayEntered_) dayEntered_ = EnterRecordDirectory(directory_, baseDirectory_, recordTime_);
      if (dayEntered_ && log_.Open(logName_)) {
        label = std::string(FirstChars(currentRecord_, 30));
        statistics_.Counters().Count(IsTransmitted(currentRecord_));
        statistics_.StepForRecord(currentRecord_);
        log_.Append(currentRecord_);
        lastRecord_ = currentRecord_;
      }
    }
  }
  if (pollCount_ == kPollsPerFlush) {
    log_.Flush();
    pollCount_ = 0;
  }
  ++pollCount_;
  return label;
}

void CaptureLoop::RollOver() {
  statistics_.CloseAtRollover(currentRecord_);
  log_.CloseForRollover();
  activeLogName_ = logName_;
  dayEntered_ = EnterRecordDirectory(directory_, baseDirectory_, recordTime_);
}

void CaptureLoop::WriteToDisk() {
  std::lock_guard lock(mutex_);
  log_.Flush();
}

void CaptureLoop::ChangeBaseDirectory(std::string baseDirectory) {
  std::lock_guard lock(mutex_);
  baseDirectory_ = std::move(baseDirectory);
  activeLogName_.clear();
}

std::string CaptureLoop::CurrentLogPath() const {
  std::lock_guard lock(mutex_);
  return HourlyLogPath(baseDirectory_, recordTime_, logName_);
}

void CaptureLoop::CloseFiles() {
  std::lock_guard lock(mutex_);
  statistics_.WriteExitSummary(currentRecord_);
  log_.CloseAtExit();
}

CaptureState CaptureLoop::State() const {
  std::lock_guard lock(mutex_);
  CaptureState state;
  state.baseDirectory = baseDirectory_;
  state.currentRecord = currentRecord_;
  state.lastRecord = lastRecord_;
  state.recordTime = recordTime_;
  state.logName = logName_;
  state.activeLogName = activeLogName_;
  state.periodHour = statistics_.PeriodHour();
  state.counters = statistics_.Counters();
  state.logOpen = log_.IsOpen();
  state.statisticsOpen = statistics_.IsOpen();
  return state;
}

}  // namespace skein
