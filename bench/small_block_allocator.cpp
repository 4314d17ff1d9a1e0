// The small block allocator and the allocator registry against malloc/free in the same
// process: allocate+dispose pairs, and batches of 1000 allocations followed by 1000
// disposals, for 16 to 4096 bytes on 1 and 2 threads. Run under LD_PRELOAD, "Malloc" is the preloaded
// allocator (bench/run-allocator-peers does the runs and prints the table). One operation is one block
// allocated and given back; the label carries the operations per iteration.
#include <tarncore/utility/Allocator.h>
#include <tarncore/utility/SmallBlockAllocator.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace sba = tarncore::utility::SmallBlockAllocator;

namespace {

struct SmallBlock {
    static void* Allocate(unsigned int inSize) { return sba::Allocate(inSize); }
    static void Dispose(void* inBlock, unsigned int inSize) { sba::Dispose(inBlock, inSize); }
};

struct Registry {
    static void* Allocate(unsigned int inSize) { return tarncore::utility::Allocator::Allocate(inSize); }
    static void Dispose(void* inBlock, unsigned int inSize) {
        tarncore::utility::Allocator::Dispose(inBlock, inSize);
    }
};

struct Malloc {
    static void* Allocate(unsigned int inSize) { return std::malloc(inSize); }
    static void Dispose(void* inBlock, unsigned int) { std::free(inBlock); }
};

template <class Allocator>
void Pair(benchmark::State& state) {
    const auto size = static_cast<unsigned int>(state.range(0));
    for (auto _ : state) {
        void* block = Allocator::Allocate(size);
        benchmark::DoNotOptimize(block);
        Allocator::Dispose(block, size);
    }
    state.SetItemsProcessed(state.iterations());
}

template <class Allocator>
void Batch(benchmark::State& state) {
    const auto size = static_cast<unsigned int>(state.range(0));
    const int kBatch = 1000;
    std::vector<void*> blocks(kBatch);
    for (auto _ : state) {
        for (void*& block : blocks) {
            block = Allocator::Allocate(size);
            benchmark::DoNotOptimize(block);
        }
        for (void* block : blocks) Allocator::Dispose(block, size);
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void Sizes(benchmark::internal::Benchmark* inBenchmark) {
    for (int size : {16, 64, 256, 1024, 4096}) inBenchmark->Arg(size);
    inBenchmark->Threads(1)->Threads(2)->UseRealTime();
}

}  // namespace

BENCHMARK_TEMPLATE(Pair, SmallBlock)->Apply(Sizes);
BENCHMARK_TEMPLATE(Pair, Registry)->Apply(Sizes);
BENCHMARK_TEMPLATE(Pair, Malloc)->Apply(Sizes);
BENCHMARK_TEMPLATE(Batch, SmallBlock)->Apply(Sizes);
BENCHMARK_TEMPLATE(Batch, Registry)->Apply(Sizes);
BENCHMARK_TEMPLATE(Batch, Malloc)->Apply(Sizes);

BENCHMARK_MAIN();
