#include "output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "test_util.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace {

// What `output` writes of `text` from the file or the path to a reader
// shown `shown`, through a file, as the tool writes it.
std::string written(const std::string& text, terminal shown) {
  temp_folder folder;
  const std::string path = (folder.path() / "output").string();
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0600);
  EXPECT_GE(fd, 0);
  {
    output out(fd, shown);
    out.write_untrusted(text);
    EXPECT_EQ(out.flush(), 0);
  }
  close(fd);
  return read_file(path);
}

// A pipe or a file gets every byte; a terminal, runs of what it is shown as
// it stands (see terminal_test.cc), each broken by one "?".
TEST(Output, WritesTheTextAsTheReaderIsShownIt) {
  const std::string text =
      "\x1B[2J"
      "13\xC3\xA9\r\xE2\x80\xAE"
      "45\xFF";
  EXPECT_EQ(written(text, terminal::none), text);
  EXPECT_EQ(written(text, terminal::utf8), "?[2J13\xC3\xA9??45?");
  EXPECT_EQ(written(text, terminal::ascii), "?[2J13??????45?");
}

}  // namespace
