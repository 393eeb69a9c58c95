#include "app/run.h"

int main(int argc, char** argv) { return fdpull::RunTool(argc, argv); }
