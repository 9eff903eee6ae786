// Lines per second through AppendFile, against the two plain ways of writing buffered lines, in
// the same run: fwrite with a 4096-byte setvbuf buffer, and std::ofstream with its own buffer.
// Each writer appends a text and CR LF as two pieces, the way AppendFile takes a line.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "capture/append_file.h"
#include "platform/posix/posix_working_directory.h"
#include "scratch_directory.h"
#include "write_path_bench.h"

namespace skein::bench {
namespace {

// The file is emptied this often, off the clock, so that a long run fits in /dev/shm.
constexpr std::int64_t kLinesPerEmptying = 1 << 16;

// A record-like text of `length` bytes.
std::string LineOf(std::size_t length) {
  std::string line = "2026-12-31 22:03:00 #000001 ";
  for (std::size_t i = 0; line.size() < length; ++i) line += char('a' + i % 26);
  line.resize(length);
  line.back() = '1';
  return line;
}

void Count(benchmark::State& state, const std::string& line) {
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * std::int64_t(line.size() + 2));
}

// Between two stretches of lines: the file is emptied with the clock stopped.
void EmptyOffTheClock(benchmark::State& state, const std::string& path) {
  state.PauseTiming();
  EmptyFile(path);
  state.ResumeTiming();
}

void AppendFileLines(benchmark::State& state, const std::string& parent, std::size_t length) {
  ScratchDirectory scratch(parent);
  platform::PosixWorkingDirectory directory;
  AppendFile file;
  if (scratch.Path().empty() || !directory.Enter(scratch.Path()) ||
      !file.Open(directory, "lines.log")) {
    state.SkipWithError("cannot open a file below the directory");
    return;
  }
  const std::string path = scratch.Path() + "/lines.log";
  const std::string line = LineOf(length);
  std::int64_t untilEmptying = kLinesPerEmptying;
  for (auto _ : state) {
    file.WriteLine(line);
    if (--untilEmptying == 0) {
      EmptyOffTheClock(state, path);
      untilEmptying = kLinesPerEmptying;
    }
  }
  file.Close();
  Count(state, line);
}

void FwriteLines(benchmark::State& state, const std::string& parent, std::size_t length) {
  ScratchDirectory scratch(parent);
  const std::string path = scratch.Path() + "/lines.log";
  std::FILE* file = scratch.Path().empty() ? nullptr : std::fopen(path.c_str(), "ab");
  if (file == nullptr || std::setvbuf(file, nullptr, _IOFBF, AppendFile::kBufferSize) != 0) {
    if (file != nullptr) std::fclose(file);
    state.SkipWithError("cannot open a file below the directory");
    return;
  }
  const std::string line = LineOf(length);
  std::int64_t untilEmptying = kLinesPerEmptying;
  for (auto _ : state) {
    std::fwrite(line.data(), 1, line.size(), file);
    std::fwrite("\r\n", 1, 2, file);
    if (--untilEmptying == 0) {
      EmptyOffTheClock(state, path);
      untilEmptying = kLinesPerEmptying;
    }
  }
  std::fclose(file);
  Count(state, line);
}

void OfstreamLines(benchmark::State& state, const std::string& parent, std::size_t length) {
  ScratchDirectory scratch(parent);
  const std::string path = scratch.Path() + "/lines.log";
  std::ofstream file;
  if (!scratch.Path().empty()) file.open(path, std::ios::binary | std::ios::app);
  if (!file) {
    state.SkipWithError("cannot open a file below the directory");
    return;
  }
  const std::string line = LineOf(length);
  std::int64_t untilEmptying = kLinesPerEmptying;
  for (auto _ : state) {
    file.write(line.data(), std::streamsize(line.size()));
    file.write("\r\n", 2);
    if (--untilEmptying == 0) {
      EmptyOffTheClock(state, path);
      untilEmptying = kLinesPerEmptying;
    }
  }
  file.close();
  Count(state, line);
}

}  // namespace

void RegisterWritePathBenchmarks(const std::string& diskDirectory) {
  struct Place {
    const char* name;
    std::string directory;
  };
  const Place places[] = {{"shm", "/dev/shm"}, {"disk", diskDirectory}};
  for (const Place& place : places) {
    for (const std::size_t length : {std::size_t{40}, std::size_t{250}}) {
      const std::string suffix = "/" + std::string(place.name) + "/" + std::to_string(length);
      const std::string directory = place.directory;
      benchmark::RegisterBenchmark(("write/AppendFile" + suffix).c_str(),
                                   [directory, length](benchmark::State& state) {
                                     AppendFileLines(state, directory, length);
                                   });
      benchmark::RegisterBenchmark(
          ("write/fwrite" + suffix).c_str(),
          [directory, length](benchmark::State& state) { FwriteLines(state, directory, length); });
      benchmark::RegisterBenchmark(("write/ofstream" + suffix).c_str(),
                                   [directory, length](benchmark::State& state) {
                                     OfstreamLines(state, directory, length);
                                   });
    }
  }
}

}  // namespace skein::bench
