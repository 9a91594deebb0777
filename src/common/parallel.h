#pragma once

#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace roombox {

// Runs work(worker, item) for every item 0..count-1 on up to `threads`
// threads (the calling thread among them; fewer when the system cannot start
// more). worker (0..threads-1) names the thread running the item, so that a
// caller can keep state from one item to the next of a thread in a slot of
// its own per worker. An exception thrown by work on any thread stops the
// items not yet begun; every thread is joined, and the first exception is
// rethrown here, in the caller, as it was thrown (roombox::Error,
// std::bad_alloc, ...). So a failing item never ends the process and never
// leaves a thread running.
template <typename Work>
void runParallelWorkers(int threads, int count, const Work& work) {
  std::atomic<int> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  const auto worker = [&](int id) noexcept {
    try {
      for (int item = next++; item < count; item = next++) work(id, item);
    } catch (...) {
      next = count;  // no new items; the ones running finish
      const std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> pool;
  try {
    pool.reserve(static_cast<std::size_t>(threads > 1 ? threads - 1 : 0));
    for (int t = 1; t < threads; ++t) pool.emplace_back(worker, t);
  } catch (const std::system_error&) {
    // Without another thread the ones running take its share.
  } catch (const std::bad_alloc&) {
  }
  worker(0);
  for (std::thread& thread : pool) thread.join();
  if (failure) std::rethrow_exception(failure);
}

// runParallelWorkers for work(item) that keeps no state per worker.
template <typename Work>
void runParallel(int threads, int count, const Work& work) {
  runParallelWorkers(threads, count, [&work](int, int item) { work(item); });
}

}  // namespace roombox
