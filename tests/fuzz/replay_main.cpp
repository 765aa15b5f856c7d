// The fuzzers built as plain programs: each argument is a corpus folder or an
// input file, and every input is run once through the fuzz target. Under the
// sanitizers this keeps every input ever found checked by the test command.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunOne(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // A copy of its own size, so that ASan sees a read past the input's end.
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (!entry.is_regular_file()) continue;
        RunOne(entry.path());
        ++inputs;
      }
    } else {
      RunOne(arg);
      ++inputs;
    }
  }
  std::printf("%d inputs replayed\n", inputs);
  // A corpus that went missing would replay nothing and pass.
  return inputs > 0 ? 0 : 1;
}
