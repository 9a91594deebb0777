#include "driver/command_line.h"

int main(int argc, char** argv) { return roombox::runCommandLine(argc, argv); }
