#include "halvard/halvard.h"
#include "results/run.h"

int main(int argc, char** argv) { return results::Main(halvard::HalvardProgram(), argc, argv); }
