#pragma once

namespace roombox {

// The number of processors this process may run on: the CPUs of its
// affinity mask (which batch schedulers such as Slurm, taskset and container
// runtimes with cpusets narrow to the job's share), else the processors the
// machine has; at least 1.
int usableCores();

}  // namespace roombox
