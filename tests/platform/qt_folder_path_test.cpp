#include "platform/qt/folder_path.h"

#include <gtest/gtest.h>

namespace skein::platform {
namespace {

TEST(QtFolderPath, TheDialogOpensAtTheFolderWithoutTrailingSeparators) {
  const struct {
    const char* folder;
    const char* opened;
  } cases[] = {
      {"/data/logs/", "/data/logs"},
      {"/data/logs//", "/data/logs"},
      {"/data/logs", "/data/logs"},
      {"/", "/"},
      {"//", "/"},
      {"", ""},
      {"logs/", "logs"},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderToOpen(c.folder), c.opened) << c.folder;
}

TEST(QtFolderPath, AChosenFolderEndsWithOneSeparator) {
  const struct {
    const char* chosen;
    const char* kept;
  } cases[] = {
      {"/data/logs", "/data/logs/"}, {"/data/logs/", "/data/logs/"}, {"/", "/"}, {"", ""},
      {"/a b/c", "/a b/c/"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithTrailingSeparator(c.chosen), c.kept) << c.chosen;
}

}  // namespace
}  // namespace skein::platform
