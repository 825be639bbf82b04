#include "morvane/morvane.h"
#include "results/run.h"

int main(int argc, char** argv) { return results::Main(morvane::MorvaneProgram(), argc, argv); }
