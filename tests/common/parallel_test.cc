// The thread pool every stage shares: failures reach the caller, every item
// runs once, and a worker's slot is its own.
#include "common/parallel.h"

#include "roombox/error.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <thread>
#include <vector>

namespace roombox {
namespace {

// A failure on a worker thread reaches the caller as it was thrown, after
// every thread has been joined, and the items not yet begun are skipped.
TEST(RunParallel, RethrowsTheFirstFailureOfAnyThreadInTheCaller) {
  for (const int threads : {1, 2, 4}) {
    SCOPED_TRACE(threads);
    std::atomic<int> done{0};
    EXPECT_THROW(runParallel(threads, 100000,
                             [&done](int item) {
                               if (item == 37) throw Error("item 37\n");
                               ++done;
                             }),
                 Error);
    EXPECT_LT(done.load(), 100000 - 1);
    EXPECT_THROW(runParallel(threads, 8, [](int item) {
                   if (item % 2 == 1) throw std::bad_alloc();
                 }),
                 std::bad_alloc);
  }
}

// Every item runs once, and the worker an item is given names a thread of
// its own: no two items of one worker overlap, so a worker's slot of state
// needs no lock.
TEST(RunParallel, GivesEachItemOnceAndEachWorkerItsOwnSlot) {
  for (const int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    std::vector<std::atomic<int>> runs(200);
    std::vector<std::atomic<int>> busy(static_cast<std::size_t>(threads));
    std::atomic<bool> overlap{false};
    std::atomic<bool> outside{false};
    runParallelWorkers(threads, 200, [&](int worker, int item) {
      if (worker < 0 || worker >= threads) {
        outside = true;
        return;
      }
      if (busy[static_cast<std::size_t>(worker)]++ != 0) overlap = true;
      ++runs[static_cast<std::size_t>(item)];
      std::this_thread::yield();
      --busy[static_cast<std::size_t>(worker)];
    });
    EXPECT_FALSE(outside);
    EXPECT_FALSE(overlap);
    for (const std::atomic<int>& count : runs) EXPECT_EQ(count.load(), 1);
  }
}

}  // namespace
}  // namespace roombox
