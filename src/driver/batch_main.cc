#include "driver/batch_command_line.h"

int main(int argc, char** argv) { return roombox::runBatchCommandLine(argc, argv); }
