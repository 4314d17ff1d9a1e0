// Several threads allocate, fill, check and dispose blocks of random sizes at once, and
// hand blocks to each other. Every block's contents are checked before it goes back,
// so a block handed out twice or a broken free list shows as a mismatch.
//
// The run is short by default (CI); TARNCORE_ALLOCATOR_STRESS_SECONDS sets its length.
#include <tarncore/utility/SmallBlockAllocator.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace sba = tarncore::utility::SmallBlockAllocator;

namespace {

struct Block {
    unsigned char* data;
    std::uint32_t size;
    unsigned char pattern;
};

void Fill(const Block& inBlock) {
    for (std::uint32_t i = 0; i < inBlock.size; ++i)
        inBlock.data[i] = static_cast<unsigned char>(inBlock.pattern + i * 7);
}

bool Intact(const Block& inBlock) {
    for (std::uint32_t i = 0; i < inBlock.size; ++i)
        if (inBlock.data[i] != static_cast<unsigned char>(inBlock.pattern + i * 7)) return false;
    return true;
}

double RunSeconds() {
    const char* text = std::getenv("TARNCORE_ALLOCATOR_STRESS_SECONDS");
    const double seconds = text != nullptr ? std::atof(text) : 0.0;
    return seconds > 0 ? seconds : 0.5;
}

// Mostly small sizes, some up to 8192, the two chunk sizes and a few system blocks.
std::uint32_t RandomSize(std::mt19937& ioRandom) {
    const std::uint32_t kind = ioRandom() % 100;
    if (kind < 60) return ioRandom() % 257;
    if (kind < 90) return ioRandom() % 8193;
    if (kind < 94) return 4144;
    if (kind < 96) return 66352;
    return 8193 + ioRandom() % 60000;
}

// Blocks on their way from one thread to another.
class Exchange {
public:
    void Put(const Block& inBlock) {
        std::lock_guard<std::mutex> lock(mMutex);
        mBlocks.push_back(inBlock);
    }
    bool Take(Block& outBlock) {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mBlocks.empty()) return false;
        outBlock = mBlocks.back();
        mBlocks.pop_back();
        return true;
    }

private:
    std::mutex mMutex;
    std::vector<Block> mBlocks;
};

void Stress(int inThreads) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(RunSeconds()));
    Exchange exchange;
    std::atomic<long> damaged{0};
    std::atomic<long> operations{0};
    std::atomic<long> handedOver{0};

    auto work = [&](unsigned inSeed) {
        std::mt19937 random(inSeed);
        std::vector<Block> live;
        long count = 0;
        auto dispose = [&](const Block& inBlock) {
            if (!Intact(inBlock)) ++damaged;
            sba::Dispose(inBlock.data, inBlock.size);
        };
        while ((count & 63) != 0 || std::chrono::steady_clock::now() < deadline) {
            ++count;
            const std::uint32_t action = random() % 100;
            if (action < 45 || live.empty()) {
                const std::uint32_t size = RandomSize(random);
                Block block{static_cast<unsigned char*>(sba::Allocate(size)), size,
                            static_cast<unsigned char>(random())};
                ASSERT_NE(block.data, nullptr);
                Fill(block);
                live.push_back(block);
            } else if (action < 85 || live.size() > 2000) {
                const std::size_t index = random() % live.size();
                dispose(live[index]);
                live[index] = live.back();
                live.pop_back();
            } else if (action < 92) {
                exchange.Put(live.back());
                live.pop_back();
            } else {
                Block block;
                if (exchange.Take(block)) {
                    ++handedOver;
                    if (!Intact(block)) ++damaged;
                    live.push_back(block);
                }
            }
        }
        for (const Block& block : live) dispose(block);
        operations += count;
    };

    std::vector<std::thread> threads;
    for (int t = 0; t < inThreads; ++t) threads.emplace_back(work, 1234u + t);
    for (auto& thread : threads) thread.join();
    Block block;
    while (exchange.Take(block)) {
        if (!Intact(block)) ++damaged;
        sba::Dispose(block.data, block.size);
    }
    EXPECT_EQ(damaged, 0);
    EXPECT_GT(handedOver, 0);
    ::testing::Test::RecordProperty("operations", std::to_string(operations.load()));
}

}  // namespace

TEST(SmallBlockAllocatorStress, TwoThreads) { Stress(2); }

TEST(SmallBlockAllocatorStress, FourThreads) { Stress(4); }
