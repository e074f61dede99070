// Runs a libFuzzer target without libFuzzer (for gcc builds and the normal test suite): every
// file given (or every file in a folder given) is fed to the target as it is, then as a fixed
// number of deterministic mutations, so each build shakes the parser a little.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void Feed(const std::string& bytes) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string Mutate(std::string bytes, std::mt19937& random) {
  const int edits = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < edits; ++i) {
    const size_t at = bytes.empty() ? 0 : random() % (bytes.size() + 1);
    switch (random() % 5) {
      case 0:  // flip a byte
        if (!bytes.empty()) bytes[at % bytes.size()] = static_cast<char>(random());
        break;
      case 1:  // insert a byte
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), static_cast<char>(random()));
        break;
      case 2:  // cut the tail
        bytes.resize(at);
        break;
      case 3:  // repeat a slice
        if (!bytes.empty()) {
          const size_t from = random() % bytes.size();
          const size_t length = 1 + random() % std::min<size_t>(64, bytes.size() - from);
          bytes.insert(at, bytes.substr(from, length));
        }
        break;
      default:  // drop a byte
        if (!bytes.empty()) bytes.erase(at % bytes.size(), 1);
        break;
    }
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> seeds;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(argv[i])) {
      for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else {
      files.emplace_back(argv[i]);
    }
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  seeds.emplace_back();
  std::mt19937 random(12345);
  for (const auto& seed : seeds) {
    Feed(seed);
    for (int i = 0; i < 2000; ++i)
      Feed(Mutate(seed, random));
  }
  std::printf("fed %zu seeds and their mutations\n", seeds.size());
  return 0;
}
