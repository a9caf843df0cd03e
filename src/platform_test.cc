#include "platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_util.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>

#include <csignal>
#endif

namespace {

namespace fs = std::filesystem;

TEST(OpenInput, ReadsTheBytesAsTheyStand) {
  // What a text-mode read would change: CR LF, a CR before it, Ctrl-Z.
  const std::string bytes =
      "\xEF\xBB\xBF"
      "13F2540080\r\n13F254008\r\r\n\x1A"
      "1332540080\n";
  temp_folder folder;
  const fs::path path = folder.file("list.txt", bytes);
  EXPECT_EQ(path_type(path.string().c_str()), file_type::regular);
  int fd = open_input(path.string().c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(descriptor_type(fd), file_type::regular);
  EXPECT_EQ(read_all(fd), bytes);
  close(fd);
}

#ifndef _WIN32
// Holds a write lease on `path` in a child process, as a file server does,
// and lets go as soon as the system tells it that a reader wants the file,
// or after 10 s. When it is told, it first renames `swap_in`, if given, over
// the path. Returns the child's pid once the lease is held, or -1 where the
// file system takes no lease on the file. The child ends with status 0 if a
// reader asked for the file.
pid_t hold_lease(const fs::path& path, const fs::path& swap_in = {}) {
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
    if (asked && !swap_in.empty()) asked = rename(swap_in.c_str(), path.c_str()) == 0;
    _exit(asked ? 0 : 1);  // closing the file ends the lease
  }
  close(held[1]);
  char ok = 'n';
  if (pid > 0 && (read(held[0], &ok, 1) != 1 || ok != 'y')) {
    waitpid(pid, nullptr, 0);
    pid = -1;
  }
  close(held[0]);
  // Back once the holder sleeps waiting to be told, so that it is woken by a
  // reader rather than finding the signal already there.
  const fs::path stat = "/proc/" + std::to_string(pid) + "/stat";
  for (int i = 0; pid > 0 && i < 1000; ++i) {
    std::ifstream in(stat);
    std::string fields;
    std::getline(in, fields);
    size_t name_end = fields.rfind(')');
    if (name_end != std::string::npos && fields.compare(name_end, 4, ") S ") == 0) break;
    usleep(1000);
  }
  return pid;
}

// Opens `path` while another process holds a lease on it and renames a
// FIFO over it when told that a reader wants the file. Returns the wait
// status of the opener: exit status 0 if it read the file, 2 if it told the
// FIFO apart, and the signal SIGALRM if it waited for a writer.
int open_while_swapped(const fs::path& path) {
  const fs::path swap_in = path.parent_path() / "swap";
  if (mkfifo(swap_in.c_str(), 0600) != 0) return -1;
  // Both on one CPU, and the opener at the lowest priority there is, so that
  // the holder runs as soon as it is told, between the opener's system calls.
  cpu_set_t all_cpus, one_cpu;
  sched_getaffinity(0, sizeof all_cpus, &all_cpus);
  CPU_ZERO(&one_cpu);
  CPU_SET(std::max(sched_getcpu(), 0), &one_cpu);
  sched_setaffinity(0, sizeof one_cpu, &one_cpu);
  pid_t holder = hold_lease(path, swap_in);
  pid_t opener = holder < 0 ? -1 : fork();
  if (opener == 0) {
    const sched_param idle = {};
    sched_setscheduler(0, SCHED_IDLE, &idle);
    alarm(10);
    int fd = open_input(path.c_str());
    file_type type = fd < 0 ? file_type::unknown : descriptor_type(fd);
    if (type == file_type::other) _exit(2);
    _exit(type == file_type::regular && read_all(fd) == "13F2540080\n" ? 0 : 1);
  }
  sched_setaffinity(0, sizeof all_cpus, &all_cpus);
  int status = -1;
  if (opener > 0) waitpid(opener, &status, 0);
  if (holder > 0) waitpid(holder, nullptr, 0);
  fs::remove(swap_in);  // where the swap did not happen
  return status;
}

// The path may be replaced by a FIFO after its status was queried: opening
// it must not wait for a writer, and the descriptor must say what it is. A
// file under a lease must not fail to open: the open waits for the holder.
TEST(OpenInput, NeverWaitsForAFifoButWaitsOutALease) {
  temp_folder folder;
  const fs::path fifo = folder.path() / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  int fd = open_input(fifo.c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(descriptor_type(fd), file_type::other);
  close(fd);

  const fs::path path = folder.file("leased", "13F2540080\n");
  fd = open_input(path.c_str());
  ASSERT_GE(fd, 0);
  EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "a file is read with blocking I/O";
  close(fd);

  pid_t holder = hold_lease(path);
  if (holder < 0) GTEST_SKIP() << "this file system takes no lease";
  fd = open_input(path.c_str());
  int error = errno, status = -1;
  waitpid(holder, &status, 0);
  EXPECT_EQ(status, 0) << "the lease holder was not asked to let go";
  ASSERT_GE(fd, 0) << std::strerror(error);
  EXPECT_EQ(descriptor_type(fd), file_type::regular);
  EXPECT_EQ(read_all(fd), "13F2540080\n");
  close(fd);

  // The holder renames a FIFO over the path as it is told to let go, so a
  // second look at the path finds the FIFO. Each round is one race, which
  // the swap wins most of the time.
  for (int round = 0; round < 3; ++round) {
    fs::remove(path);  // the FIFO of the round before
    write_file(path, "13F2540080\n");
    status = open_while_swapped(path);
    ASSERT_FALSE(WIFSIGNALED(status)) << "the open waited for a writer of the FIFO";
    // The FIFO told apart, or the file read if the open came first.
    ASSERT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 2 || WEXITSTATUS(status) == 0))
        << "status " << status << " in round " << round;
  }
}
#endif

TEST(OpenInput, MissingFileFails) {
  temp_folder folder;
  const fs::path path = folder.path() / "missing";
  EXPECT_EQ(path_type(path.string().c_str()), file_type::unknown);
  errno = 0;
  EXPECT_EQ(open_input(path.string().c_str()), -1);
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
