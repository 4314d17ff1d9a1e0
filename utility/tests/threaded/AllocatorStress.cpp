// The stress run both allocators share.
#include "AllocatorStress.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace stress {

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

}  // namespace

void Run(const StressedAllocator& inAllocator, int inThreads) {
    const char* seconds = std::getenv("TARNCORE_ALLOCATOR_STRESS_SECONDS");
    const double runSeconds = seconds != nullptr && std::atof(seconds) > 0 ? std::atof(seconds) : 0.5;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(long(runSeconds * 1000));
    std::mutex exchangeMutex;
    std::vector<Block> exchange;  // blocks on their way from one thread to another
    std::atomic<long> damaged{0}, handedOver{0}, missing{0};
    auto allocate = [&](std::mt19937& ioRandom) {
        const std::uint32_t size = inAllocator.randomSize(ioRandom);
        Block block{static_cast<unsigned char*>(inAllocator.allocate(size)), size,
                    static_cast<unsigned char>(ioRandom())};
        missing += block.data == nullptr;
        if (block.data == nullptr) block.size = 0;
        block.Pattern(true);
        return block;
    };
    auto dispose = [&](const Block& inBlock) {
        damaged += !inBlock.Pattern(false);
        inAllocator.dispose(inBlock.data, inBlock.size);
    };

    auto work = [&](unsigned inSeed) {
        std::mt19937 random(inSeed);
        std::vector<Block> live;
        for (long count = 0; (count & 63) != 0 || std::chrono::steady_clock::now() < deadline; ++count) {
            const std::uint32_t action = random() % 100;
            if (action < 45 || live.empty()) {
                live.push_back(allocate(random));
            } else if (action == 99 && inAllocator.trim != nullptr && random() % 16 == 0) {
                inAllocator.trim();
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

    // Short-lived threads take blocks from the exchange, give some back, leave new ones
    // and end, while the workers go on: whatever a thread keeps of its own goes back.
    auto visit = [&](unsigned inSeed) {
        std::mt19937 random(inSeed);
        for (int i = 0; i < 64; ++i) {
            std::lock_guard<std::mutex> lock(exchangeMutex);
            if (!exchange.empty() && random() % 2 == 0) {
                dispose(exchange.back());
                exchange.pop_back();
            } else {
                exchange.push_back(allocate(random));
            }
        }
    };

    std::vector<std::thread> threads;
    for (int t = 0; t < inThreads; ++t) threads.emplace_back(work, 1234u + t);
    for (unsigned visitor = 0; std::chrono::steady_clock::now() < deadline; ++visitor) {
        std::thread(visit, 99u + visitor).join();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (auto& thread : threads) thread.join();
    for (const Block& block : exchange) dispose(block);
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(damaged, 0);
    EXPECT_GT(handedOver, 0);
}

}  // namespace stress
