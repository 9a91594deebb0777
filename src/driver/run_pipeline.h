#pragma once

// Runs the whole tool for the command line argc/argv: stores the settings,
// runs every stage once in order with its console line, writes the outputs
// and returns the exit status (1 after a complete run, 2 after the usage
// text). A stage that fails ends the process itself with status 2.
int runPipeline(int argc, char** argv);
