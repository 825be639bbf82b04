#include "quillon/quillon.h"
#include "results/run.h"

int main(int argc, char** argv) { return results::Main(quillon::QuillonProgram(), argc, argv); }
