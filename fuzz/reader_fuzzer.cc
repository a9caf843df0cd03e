// libFuzzer target: arbitrary bytes through the reader, the decoder and the
// table, compared with the plainly written reference reading of the rules.
// The first byte sets the size of the pieces the input is fed in, so that
// the fuzzer also explores where block boundaries fall.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "reader.h"
#include "test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t piece = 1 + data[0];
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);

  plmn_table plmns;
  list_reader reader(plmns);
  for (size_t at = 0; at < input.size(); at += piece) {
    reader.feed(std::string_view(input).substr(at, piece));
  }
  reader.finish();
  if (listing(plmns) != reference_listing(input)) std::abort();
  return 0;
}
