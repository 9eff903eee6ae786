#pragma once

#include <string>

namespace skein::bench {

// "write/<writer>/<shm|disk>/<text length>" for AppendFile, fwrite and std::ofstream; the disk
// files go below `diskDirectory`.
void RegisterWritePathBenchmarks(const std::string& diskDirectory);

}  // namespace skein::bench
