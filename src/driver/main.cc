#include "driver/run_command_line.h"

int main(int argc, char** argv) { return roombox::runCommandLine(argc, argv); }
