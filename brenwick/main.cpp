#include "brenwick/brenwick.h"
#include "shell/startup.h"

int main(int argc, char** argv) { return shell::Main(brenwick::BrenwickProgram(), argc, argv); }
