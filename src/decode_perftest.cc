// Micro-benchmark of decode_line on one line of 40 entries, as a SIM's
// preferred-network file holds them: a few networks repeated, free slots.

#include <benchmark/benchmark.h>

#include <string>

#include "decode.h"

namespace {

std::string line_of_40() {
  const char* const entries[] = {"62F210C880", "62F2204000", "32F4514080", "02F810C080",
                                 "1300148880", "FFFFFF0000", "13F4804000", "FFFFFF0000"};
  std::string line;
  for (int i = 0; i < 40; ++i) line += entries[i % 8];
  return line;
}

void BM_DecodeLine(benchmark::State& state) {
  std::string line = line_of_40();
  plmn_table plmns;
  for (auto _ : state) decode_line(line, plmns);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_DecodeLine);

}  // namespace
