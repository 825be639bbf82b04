#include "morvane/morvane.h"
#include "shell/startup.h"

int main(int argc, char** argv) { return shell::Main(morvane::MorvaneProgram(), argc, argv); }
