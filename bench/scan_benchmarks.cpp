// Reading speed of the image reader alone: images held in memory, so neither
// the disk nor the page cache is part of the figure.

#include "synthetic_image.h"

#include "image/image_scan.h"
#include "image/memory_byte_source.h"

#include <benchmark/benchmark.h>

#include <span>
#include <string>

namespace {

constexpr std::size_t kImageBytes = 1024 * 1024;

const std::string& S19Image()
{
    static const std::string image = tavex::bench::S19ImageText(kImageBytes);
    return image;
}

const std::string& S20Image()
{
    static const std::string image = tavex::bench::S20ImageText(kImageBytes);
    return image;
}

template <class ScanFunction>
void MeasureScan(benchmark::State& state, const std::string& image, const char* fileName, ScanFunction scan)
{
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(image.data()), image.size());
    for (auto _ : state) {
        tavex::MemoryByteSource source(bytes);
        tavex::ImageCursor cursor{&source, bytes.size(), 0, 0, fileName};
        const tavex::ScanPass pass = scan(cursor);
        if (!pass.passes) {
            state.SkipWithError(pass.message.c_str());
            return;
        }
        benchmark::DoNotOptimize(pass.statistics.dataBytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.size()));
}

void ScanS19(benchmark::State& state)
{
    MeasureScan(state, S19Image(), "image.s19", [](tavex::ImageCursor& cursor) { return tavex::ScanS19(cursor, 0); });
}

// Hardware 1 drops the "#if-hardware 2" block, hardware 2 sends it: both read
// and verify every line.
void ScanS20(benchmark::State& state)
{
    const auto hardware = static_cast<std::int32_t>(state.range(0));
    MeasureScan(state, S20Image(), "image.s20",
                [hardware](tavex::ImageCursor& cursor) { return tavex::ScanS20(cursor, hardware); });
}

} // namespace

BENCHMARK(ScanS19);
BENCHMARK(ScanS20)->ArgName("hardware")->Arg(1)->Arg(2);
