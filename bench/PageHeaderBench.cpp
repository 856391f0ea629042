// Micro-benchmark: decoding page headers, the first step of every page read.
#include <benchmark/benchmark.h>

#include "pages/PageHeader.h"

namespace {

void BM_PageHeader(benchmark::State& state) {
    std::vector<std::uint8_t> image(pw::kPageSize, 0);
    image[1] = 1;
    image[4] = 0x00;
    image[5] = static_cast<std::uint8_t>(state.range(0) ? 1 : 0);  // torn bits on or off
    for (auto _ : state) {
        pw::CPage_Header header(image);
        benchmark::DoNotOptimize(header.objectId);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PageHeader)->Arg(0)->Arg(1);

}  // namespace
