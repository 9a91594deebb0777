// The processors a process may use: a CPU set narrowed by a batch scheduler
// or taskset counts, not the machine's processors.
#include "common/cores.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <thread>
#include <vector>

namespace roombox {
namespace {

// usableCores() on a thread of its own whose affinity is the first `count`
// CPUs of allowed; -1 when the affinity cannot be set. Threads inherit the
// affinity of the thread that makes them, so the test's own threads keep
// theirs.
int coresWithAffinity(const cpu_set_t& allowed, int count) {
  int result = -1;
  std::thread([&] {
    cpu_set_t narrowed;
    CPU_ZERO(&narrowed);
    int taken = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE && taken < count; ++cpu) {
      if (!CPU_ISSET(cpu, &allowed)) continue;
      CPU_SET(cpu, &narrowed);
      ++taken;
    }
    if (::sched_setaffinity(0, sizeof(narrowed), &narrowed) == 0) result = usableCores();
  }).join();
  return result;
}

TEST(UsableCores, AreTheCpusOfTheAffinityMask) {
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  ASSERT_EQ(::sched_getaffinity(0, sizeof(allowed), &allowed), 0);
  const int available = CPU_COUNT(&allowed);
  EXPECT_EQ(usableCores(), available);
  EXPECT_EQ(coresWithAffinity(allowed, 1), 1);
  if (available > 2) {
    EXPECT_EQ(coresWithAffinity(allowed, available - 1), available - 1);
  }
}

}  // namespace
}  // namespace roombox
