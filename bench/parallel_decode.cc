// How far two rooms side by side can go on this machine: decodes one
// panorama the way roombox-batch's workers do (roombox::readPanorama on one
// thread, into the memory of the worker's previous panorama) 2 x count times
// on one thread, then count times on each of two threads at once, and prints
// the wall time of each and their ratio (0.5 when two decodes at once cost
// no more than one). Nothing is written, so the file system plays no part.
// Usage: parallel_decode <panorama path> [count, default 16]. Exits 2 when
// the panorama cannot be read.

#include "roombox/error.h"
#include "roombox/read_panorama.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>
#include <vector>

namespace {

// Decodes path count times on each of `threads` threads at once, each into
// its own reused memory; returns the wall time in seconds.
double decodeOnThreads(const std::string& path, int count, int threads) {
  const auto started = std::chrono::steady_clock::now();
  std::vector<std::exception_ptr> failures(threads);
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&, t] {
      try {
        cv::Mat memory;
        for (int k = 0; k < count; ++k) memory = roombox::readPanorama(path, 1, memory);
      } catch (...) {
        failures[t] = std::current_exception();
      }
    });
  }
  for (std::thread& thread : pool) thread.join();
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("Usage: %s <panorama path> [count]\n", argv[0]);
    return 2;
  }
  const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 16;
  try {
    decodeOnThreads(argv[1], 1, 1);  // the file in the page cache, the code paged in
    const double one = decodeOnThreads(argv[1], 2 * count, 1);
    const double two = decodeOnThreads(argv[1], count, 2);
    std::printf("%d decodes on one thread: %.3f s; on two threads at once: %.3f s; ratio %.2f\n",
                2 * count, one, two, two / one);
  } catch (const roombox::Error& error) {
    std::printf("%s\n", error.what());
    return 2;
  }
  return 0;
}
