#include "platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A name of this process's own, so that test runs do not meet.
fs::path temp_path(const std::string& name) {
  return fs::temp_directory_path() / ("plmn_platform_test." + std::to_string(getpid()) + name);
}

std::string read_all(int fd) {
  std::string bytes;
  char block[256];
  for (int n; (n = static_cast<int>(read(fd, block, sizeof block))) > 0;) bytes.append(block, n);
  return bytes;
}

TEST(OpenInput, ReadsTheBytesAsTheyStand) {
  // What a text-mode read would change: CR LF, a CR before it, Ctrl-Z.
  const std::string bytes =
      "\xEF\xBB\xBF"
      "13F2540080\r\n13F254008\r\r\n\x1A"
      "1332540080\n";
  const fs::path path = temp_path(".txt");
  std::ofstream(path, std::ios::binary) << bytes;
  EXPECT_EQ(path_type(path.string().c_str()), file_type::regular);
  int fd = open_input(path.string().c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(descriptor_type(fd), file_type::regular);
  EXPECT_EQ(read_all(fd), bytes);
  close(fd);
  fs::remove(path);
}

#ifndef _WIN32
// The path may be replaced by a FIFO after its status was queried: opening
// it must not wait for a writer, and the descriptor must say what it is.
TEST(OpenInput, FifoOpensAtOnceAndIsNotRegular) {
  const fs::path path = temp_path(".fifo");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  int fd = open_input(path.c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(descriptor_type(fd), file_type::other);
  close(fd);
  fs::remove(path);
}
#endif

TEST(OpenInput, MissingFileFails) {
  const fs::path path = temp_path(".missing");
  fs::remove(path);
  EXPECT_EQ(path_type(path.string().c_str()), file_type::unknown);
  errno = 0;
  EXPECT_EQ(open_input(path.string().c_str()), -1);
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
