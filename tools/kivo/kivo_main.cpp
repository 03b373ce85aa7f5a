// kivo: the data tool for people who make, inspect and repair games.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    std::puts("usage: kivo COMMAND [ARGS]\n\nCommands arrive with the data tools.");
    return argc < 2 ? 2 : 0;
  }
  std::fprintf(stderr, "kivo: unknown command '%s' (see kivo --help)\n", argv[1]);
  return 2;
}
