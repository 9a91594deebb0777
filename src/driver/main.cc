#include "driver/run_pipeline.h"

int main(int argc, char** argv) { return runPipeline(argc, argv); }
