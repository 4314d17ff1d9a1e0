// Several threads allocate, fill, check and dispose blocks of the allocator registry at once,
// and hand blocks to each other. Every block's contents are checked before it goes back,
// so a block handed out twice or a broken free list shows as a mismatch.
//
// The run is short by default (CI); TARNCORE_ALLOCATOR_STRESS_SECONDS sets its length.
#include <tarncore/utility/Allocator.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

using tarncore::utility::Allocator;

namespace {

struct Block {
    unsigned char* data;
    std::uint32_t size;
    unsigned char pattern;
    // Writes the block's pattern (inWrite) or tells whether it still holds it.
    bool Pattern(bool inWrite) const {
        for (std::uint32_t i = 0; i < size; ++i) {
            const auto expected = static_cast<unsigned char>(pattern + i * 7);
            if (inWrite)
                data[i] = expected;
            else if (data[i] != expected)
                return false;
        }
        return true;
    }
};

// Mostly small sizes, all of the per-size allocators, and a few heap blocks.
std::uint32_t RandomSize(std::mt19937& ioRandom) {
    const std::uint32_t kind = ioRandom() % 100;
    if (kind < 60) return ioRandom() % 129;
    if (kind < 95) return ioRandom() % 1025;
    return 1025 + ioRandom() % 8000;
}

void Stress(int inThreads) {
    const char* seconds = std::getenv("TARNCORE_ALLOCATOR_STRESS_SECONDS");
    const double runSeconds = seconds != nullptr && std::atof(seconds) > 0 ? std::atof(seconds) : 0.5;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(long(runSeconds * 1000));
    std::mutex exchangeMutex;
    std::vector<Block> exchange;  // blocks on their way from one thread to another
    std::atomic<long> damaged{0}, handedOver{0};
    auto dispose = [&](const Block& inBlock) {
        damaged += !inBlock.Pattern(false);
        Allocator::Dispose(inBlock.data, inBlock.size);
    };

    auto work = [&](unsigned inSeed) {
        std::mt19937 random(inSeed);
        std::vector<Block> live;
        for (long count = 0; (count & 63) != 0 || std::chrono::steady_clock::now() < deadline; ++count) {
            const std::uint32_t action = random() % 100;
            if (action < 45 || live.empty()) {
                const std::uint32_t size = RandomSize(random);
                live.push_back({static_cast<unsigned char*>(Allocator::Allocate(size)), size,
                                static_cast<unsigned char>(random())});
                live.back().Pattern(true);
            } else if (action < 85 || live.size() > 2000) {
                const std::size_t index = random() % live.size();
                dispose(live[index]);
                live[index] = live.back();
                live.pop_back();
            } else {
                std::lock_guard<std::mutex> lock(exchangeMutex);
                if (action < 92) {
                    exchange.push_back(live.back());
                    live.pop_back();
                } else if (!exchange.empty()) {
                    ++handedOver;
                    damaged += !exchange.back().Pattern(false);
                    live.push_back(exchange.back());
                    exchange.pop_back();
                }
            }
        }
        for (const Block& block : live) dispose(block);
    };

    std::vector<std::thread> threads;
    for (int t = 0; t < inThreads; ++t) threads.emplace_back(work, 4321u + t);
    for (auto& thread : threads) thread.join();
    for (const Block& block : exchange) dispose(block);
    EXPECT_EQ(damaged, 0);
    EXPECT_GT(handedOver, 0);
}

}  // namespace

TEST(AllocatorStress, TwoThreads) { Stress(2); }

TEST(AllocatorStress, FourThreads) { Stress(4); }
