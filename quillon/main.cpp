#include "quillon/quillon.h"
#include "shell/startup.h"

int main(int argc, char** argv) { return shell::Main(quillon::QuillonProgram(), argc, argv); }
