#include "halvard/halvard.h"
#include "shell/startup.h"

int main(int argc, char** argv) { return shell::Main(halvard::HalvardProgram(), argc, argv); }
