// Replay driver for the fuzz targets when they are not built with libFuzzer:
// feeds every file of the given corpus folders, then bit-flipped copies of
// them (about 5,000) and a fixed set of seeded random inputs. Bounded in
// count, so ctest runs every target in every build, the sanitizer build
// included.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<std::vector<uint8_t>> seeds;
  for (int i = 1; i < argc; ++i) {
    fs::path p(argv[i]);
    std::vector<fs::path> files;
    if (fs::is_directory(p)) {
      for (const auto& e : fs::directory_iterator(p))
        if (e.is_regular_file()) files.push_back(e.path());
    } else if (fs::is_regular_file(p)) {
      files.push_back(p);
    }
    for (const auto& f : files) {
      std::ifstream in(f, std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  std::mt19937 rng(20261210);
  std::size_t runs = 0;
  // Up to 200 mutations of each seed, about 5,000 in all: scripts/fuzz grows
  // the corpora, and the replay must stay quick in the sanitizer build.
  const std::size_t perSeed = 5000 / std::max<std::size_t>(seeds.size(), 1);
  const int mutations = static_cast<int>(std::clamp<std::size_t>(perSeed, 2, 200));
  for (const auto& s : seeds) {
    LLVMFuzzerTestOneInput(s.data(), s.size());
    ++runs;
    for (int m = 0; m < mutations; ++m) {
      auto copy = s;
      if (!copy.empty()) {
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < flips; ++k) copy[rng() % copy.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
        if (rng() % 4 == 0) copy.resize(rng() % (copy.size() + 1));
      }
      LLVMFuzzerTestOneInput(copy.data(), copy.size());
      ++runs;
    }
  }
  for (int i = 0; i < 5000; ++i) {
    std::vector<uint8_t> data(rng() % 1024);
    for (auto& b : data) b = static_cast<uint8_t>(rng());
    LLVMFuzzerTestOneInput(data.data(), data.size());
    ++runs;
  }
  std::printf("replayed %zu inputs (%zu seeds)\n", runs, seeds.size());
  return 0;
}
