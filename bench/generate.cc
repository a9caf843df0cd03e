// Writes a PLMN list file for the benchmark to standard output.
//
// Usage: plmn_generate KIND SIZE
//   realistic  lines of 8 to 64 entries drawn from a pool of 3,000 networks
//              with a mix of access technologies, a third of the slots free
//   oneline    the same entries, all on one line
//   distinct   every entry a different network
//   utf16      the realistic file saved as UTF-16LE, with its byte-order
//              mark: twice the bytes for the same list
// SIZE is in bytes (of the text as UTF-8), with an optional suffix k, M or G (powers of 1000). The
// seed is fixed, so the same arguments always give the same file.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kActs[] = {"C080", "4000", "8000", "0080", "4080",
                                 "C880", "FFFF", "0000", "C0C0", "4880"};

// The entry text of MCC/MNC/ACT, as a SIM stores it.
std::string entry(const std::string& mcc, const std::string& mnc, const std::string& act) {
  char mnc3 = mnc.size() == 3 ? mnc[2] : 'F';
  return {mcc[1], mcc[0], mnc3, mcc[2], mnc[1], mnc[0], act[0], act[1], act[2], act[3]};
}

std::string digits(uint64_t value, int count) {
  std::string text(count, '0');
  for (int i = count - 1; i >= 0; --i, value /= 10) text[i] = static_cast<char>('0' + value % 10);
  return text;
}

// Writes the text, in UTF-8 or, as `utf16`, in UTF-16LE after its mark. The
// text is all ASCII, so a character is its byte and a zero byte in UTF-16LE.
class Writer {
 public:
  explicit Writer(bool utf16 = false) : utf16_(utf16) {
    if (utf16_) buffer_.append("\xFF\xFE");
  }
  ~Writer() { flush(); }
  void put(std::string_view text) {
    if (utf16_) {
      for (char c : text) buffer_.append({c, '\0'});
    } else {
      buffer_.append(text);
    }
    written_ += text.size();
    if (buffer_.size() >= (1 << 20)) flush();
  }
  // Characters written so far.
  uint64_t written() const { return written_; }

 private:
  void flush() {
    std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    buffer_.clear();
  }
  bool utf16_;
  std::string buffer_;
  uint64_t written_ = 0;
};

void realistic(uint64_t size, bool one_line, bool utf16) {
  std::mt19937_64 random(20261209);
  std::vector<std::string> pool;
  for (int i = 0; i < 3000; ++i) {
    std::string mcc = digits(200 + random() % 600, 3);
    std::string mnc = digits(random() % 1000, random() % 3 == 0 ? 3 : 2);
    pool.push_back(entry(mcc, mnc, kActs[random() % std::size(kActs)]));
  }
  Writer out(utf16);
  while (out.written() < size) {
    int entries = 8 + static_cast<int>(random() % 57);
    for (int i = 0; i < entries; ++i) {
      out.put(random() % 3 == 0 ? "FFFFFF0000" : pool[random() % pool.size()]);
    }
    if (!one_line) out.put("\r\n");
  }
}

void distinct(uint64_t size) {
  // Counts through MCC, MNC and ACT so that no two entries share a key.
  Writer out;
  for (uint64_t i = 0; out.written() < size; ++i) {
    char act[8];
    std::snprintf(act, sizeof act, "%04X", static_cast<unsigned>(i / 1000000 % 0x10000));
    out.put(entry(digits(i % 1000, 3), digits(i / 1000 % 1000, 3), act));
    if (i % 32 == 31) out.put("\n");
  }
}

uint64_t parse_size(const char* text) {
  char* end;
  uint64_t value = std::strtoull(text, &end, 10);
  switch (*end) {
    case 'k':
      return value * 1000;
    case 'M':
      return value * 1000 * 1000;
    case 'G':
      return value * 1000 * 1000 * 1000;
    default:
      return value;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: plmn_generate realistic|oneline|distinct|utf16 SIZE\n");
    return 2;
  }
  std::string_view kind = argv[1];
  uint64_t size = parse_size(argv[2]);
  if (kind == "realistic" || kind == "oneline" || kind == "utf16") {
    realistic(size, kind == "oneline", kind == "utf16");
  } else if (kind == "distinct") {
    distinct(size);
  } else {
    std::fprintf(stderr, "plmn_generate: unknown kind %s\n", argv[1]);
    return 2;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
