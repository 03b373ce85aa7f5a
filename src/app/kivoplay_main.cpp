// kivoplay: the player program.
#include <string>
#include <vector>

#include "app/player_subsystems.h"
#include "app/program_entry.h"

int main(int argc, char** argv) {
  kivo::TPlayerSubsystems subsystems;
  return kivo::RunProgram(std::vector<std::string>(argv + 1, argv + argc), subsystems);
}
