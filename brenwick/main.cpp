#include "brenwick/brenwick.h"
#include "results/run.h"

int main(int argc, char** argv) { return results::Main(brenwick::BrenwickProgram(), argc, argv); }
