// The allocator statistics entry point: no statistics are kept.
#include <tarncore/utility/SmallBlockAllocator.h>

namespace tarncore {
namespace utility {
namespace SmallBlockAllocator {
namespace Metrics {

bool GetSnapshot(Snapshot&) { return false; }

}  // namespace Metrics
}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
