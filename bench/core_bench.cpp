// Throughput of the import parsing and of composing the output, in lines per second. The goal is at least five
// million lines per second for parse plus compose, and a time per line at 1M within 30% of that at 10k.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "card_writer.h"
#include "number_list.h"
#include "vcard.h"

namespace tavix {
namespace {

// `count` eleven-digit mobile numbers, one per line, CR LF ends, as Notepad writes them.
std::string NumberFile(std::int64_t count) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(count) * 13);
    std::uint64_t number = 13800000000;
    for (std::int64_t i = 0; i < count; ++i) {
        bytes += std::to_string(number + static_cast<std::uint64_t>(i) * 7919 % 100000000);
        bytes += "\r\n";
    }
    return bytes;
}

CardOptions BenchOptions() {
    CardOptions options;
    options.stripDashes = true;
    options.stripSpaces = true;
    options.nameMode = NameMode::CustomWithSequence;
    options.customName = "客户";
    return options;
}

// Stands for a file: takes the chunks and keeps nothing.
class DiscardingSink : public ChunkSink {
  public:
    bool Write(std::string_view chunk) override {
        benchmark::DoNotOptimize(chunk.data());
        bytes += chunk.size();
        return true;
    }
    std::uint64_t bytes = 0;
};

void ComposeThroughWriter(const NumberLines& lines, const CardOptions& options) {
    DiscardingSink sink;
    CardWriter writer(sink);
    for (std::size_t i = 1; i <= lines.Count(); ++i) {
        writer.Add(lines.Entry(i), i, options);
    }
    writer.Finish();
    benchmark::DoNotOptimize(sink.bytes);
}

void BM_ParseNumberLines(benchmark::State& state) {
    const std::string bytes = NumberFile(state.range(0));
    for (auto _ : state) {
        NumberLines lines = ParseNumberLines(bytes, LegacyDecoder());
        benchmark::DoNotOptimize(lines.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_CardWriter(benchmark::State& state) {
    const NumberLines lines = ParseNumberLines(NumberFile(state.range(0)), LegacyDecoder());
    const CardOptions options = BenchOptions();
    for (auto _ : state) {
        ComposeThroughWriter(lines, options);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ComposeOutputText(benchmark::State& state) {
    const NumberLines lines = ParseNumberLines(NumberFile(state.range(0)), LegacyDecoder());
    const CardOptions options = BenchOptions();
    for (auto _ : state) {
        std::string text = ComposeOutputText(lines, options);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What a conversion does in memory: the file's bytes in, every card out to the sink.
void BM_ParseAndCompose(benchmark::State& state) {
    const std::string bytes = NumberFile(state.range(0));
    const CardOptions options = BenchOptions();
    for (auto _ : state) {
        ComposeThroughWriter(ParseNumberLines(bytes, LegacyDecoder()), options);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void LineCounts(benchmark::internal::Benchmark* bench) {
    bench->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ParseNumberLines)->Apply(LineCounts);
BENCHMARK(BM_CardWriter)->Apply(LineCounts);
BENCHMARK(BM_ComposeOutputText)->Apply(LineCounts);
BENCHMARK(BM_ParseAndCompose)->Apply(LineCounts);

}  // namespace
}  // namespace tavix

BENCHMARK_MAIN();
