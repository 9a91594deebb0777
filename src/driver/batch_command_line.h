#pragma once

namespace roombox {

// The roombox-batch command: reads the command line, runs every room of the
// dataset (or of the list) on a pool of threads, each as the roombox command
// would run it, its console lines going to ROOM/PREFIX-log.txt, appends a
// report line per room, prints progress and a summary on standard output,
// and returns the exit status: 0 when every room is done, 1 when any failed,
// 2 after a usage error or when the dataset, the list or the report cannot
// be read or written (with the message on standard error), 0 after --help
// and --version.
int runBatchCommandLine(int argc, const char* const* argv);

}  // namespace roombox
