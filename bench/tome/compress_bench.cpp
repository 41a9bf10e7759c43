// CompressBlock and DecodeBlock throughput on 25000-byte blocks of realistic text: the bundled
// glossary (real prose with marks) and synthetic entry text.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "synthetic_source.h"
#include "tome/block_codec.h"
#include "tome/format.h"

namespace {

constexpr size_t kBlock = lv::kWrittenBlockSize;

std::string GlossaryText() {
  std::ifstream in(LV_SAMPLE_SOURCE, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  // Whole blocks only: repeat the text if it is short.
  std::string blocks;
  while (!text.empty() && blocks.size() < 4 * kBlock) blocks += text;
  blocks.resize(blocks.empty() ? 0 : 4 * kBlock);
  return blocks;
}

std::string SyntheticText() { return lv::bench::SyntheticSource(7).StoredTextSample(16 * kBlock); }

void CompressBlocks(benchmark::State& state, const std::string& text) {
  if (text.empty()) {
    state.SkipWithError("no text");
    return;
  }
  const auto* data = reinterpret_cast<const uint8_t*>(text.data());
  const size_t blocks = text.size() / kBlock;
  std::vector<uint8_t> out(lv::MaxCompressedSize(kBlock));
  size_t i = 0;
  size_t compressed = 0;
  for (auto _ : state) {
    const size_t n = lv::CompressBlock(data + (i++ % blocks) * kBlock, kBlock, out.data());
    benchmark::DoNotOptimize(n);
    compressed += n;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBlock));
  state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(state.iterations() * kBlock);
}

void DecodeBlocks(benchmark::State& state, const std::string& text) {
  const auto* data = reinterpret_cast<const uint8_t*>(text.data());
  std::vector<uint8_t> compressed(lv::MaxCompressedSize(kBlock));
  const size_t n = lv::CompressBlock(data, kBlock, compressed.data());
  std::vector<uint8_t> out(kBlock + 3000);
  for (auto _ : state) {
    benchmark::DoNotOptimize(lv::DecodeBlock(compressed.data(), n, out.data(), out.size(), false));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBlock));
}

void BM_CompressBlock_Glossary(benchmark::State& state) { CompressBlocks(state, GlossaryText()); }
void BM_CompressBlock_Synthetic(benchmark::State& state) { CompressBlocks(state, SyntheticText()); }
void BM_DecodeBlock_Synthetic(benchmark::State& state) { DecodeBlocks(state, SyntheticText()); }

BENCHMARK(BM_CompressBlock_Glossary)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompressBlock_Synthetic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeBlock_Synthetic)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
