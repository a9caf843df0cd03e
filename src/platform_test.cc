#include "platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>

#include <csignal>
#endif

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
// Holds a write lease on `path` in a child process, as a file server does,
// and lets go as soon as the system tells it that a reader wants the file,
// or after 10 s. Returns the child's pid once the lease is held, or -1 where
// the file system takes no lease on the file. The child ends with status 0
// if a reader asked for the file.
pid_t hold_lease(const fs::path& path) {
  int held[2];
  if (pipe(held) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    // The holder is told of a reader by SIGIO, which it waits for.
    sigset_t sigio;
    sigemptyset(&sigio);
    sigaddset(&sigio, SIGIO);
    sigprocmask(SIG_BLOCK, &sigio, nullptr);
    int fd = open(path.c_str(), O_RDWR);
    char ok = fd >= 0 && fcntl(fd, F_SETLEASE, F_WRLCK) == 0 ? 'y' : 'n';
    (void)!write(held[1], &ok, 1);
    const timespec timeout = {10, 0};
    bool asked = ok == 'y' && sigtimedwait(&sigio, nullptr, &timeout) == SIGIO;
    _exit(asked ? 0 : 1);  // closing the file ends the lease
  }
  close(held[1]);
  char ok = 'n';
  if (pid > 0 && (read(held[0], &ok, 1) != 1 || ok != 'y')) {
    waitpid(pid, nullptr, 0);
    pid = -1;
  }
  close(held[0]);
  return pid;
}

// The path may be replaced by a FIFO after its status was queried: opening
// it must not wait for a writer, and the descriptor must say what it is. A
// file under a lease must not fail to open: the open waits for the holder.
TEST(OpenInput, NeverWaitsForAFifoButWaitsOutALease) {
  const fs::path fifo = temp_path(".fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  int fd = open_input(fifo.c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(descriptor_type(fd), file_type::other);
  close(fd);
  fs::remove(fifo);

  const fs::path path = temp_path(".leased");
  std::ofstream(path, std::ios::binary) << "13F2540080\n";
  fd = open_input(path.c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "a file is read with blocking I/O";
  close(fd);

  pid_t holder = hold_lease(path);
  if (holder < 0) {
    fs::remove(path);
    GTEST_SKIP() << "this file system takes no lease";
  }
  fd = open_input(path.c_str());
  int error = errno, status = -1;
  waitpid(holder, &status, 0);
  EXPECT_EQ(status, 0) << "the lease holder was not asked to let go";
  ASSERT_GE(fd, 0) << std::strerror(error);
  EXPECT_EQ(descriptor_type(fd), file_type::regular);
  EXPECT_EQ(read_all(fd), "13F2540080\n");
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
