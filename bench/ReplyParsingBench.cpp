// Splitting a refresh reply of 10,000 visitors, against the bare cost of
// finding its separators.
#include "RefreshReplyFixture.h"
#include "Separators.h"
#include "SplitReply.h"

#include <benchmark/benchmark.h>

#include <string_view>

namespace {

const QString& Reply10k() {
  static const QString reply = MakeRefreshReply(10000);
  return reply;
}

// Blocks, then lines, then fields: what the console does with a reply.
void BM_SplitReply(benchmark::State& state) {
  const QString& reply = Reply10k();
  for (auto _ : state) {
    const QStringList blocks = SplitReply(reply, kSepBlock);
    qsizetype fields = 0;
    for (const QString& line : SplitReply(blocks.first(), kSepLine)) fields += SplitReply(line, kSepField).size();
    benchmark::DoNotOptimize(fields);
  }
  state.SetBytesProcessed(state.iterations() * reply.size() * 2);
  state.counters["bytes"] = double(reply.size() * 2);
}
BENCHMARK(BM_SplitReply)->Unit(benchmark::kMillisecond);

// The floor: only find every separator of the same three levels, copying
// nothing.
std::size_t CountSeparators(std::u16string_view text, std::u16string_view sep) {
  std::size_t count = 0;
  for (std::size_t at = text.find(sep); at != std::u16string_view::npos; at = text.find(sep, at + sep.size()))
    ++count;
  return count;
}

void BM_FindSeparatorsBaseline(benchmark::State& state) {
  const QString& reply = Reply10k();
  const std::u16string_view text(reinterpret_cast<const char16_t*>(reply.utf16()), std::size_t(reply.size()));
  for (auto _ : state) {
    std::size_t n = CountSeparators(text, u"<blk>") + CountSeparators(text, u"<ln>") + CountSeparators(text, u"<fld>");
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(state.iterations() * reply.size() * 2);
}
BENCHMARK(BM_FindSeparatorsBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
