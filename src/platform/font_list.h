// The installed font family names, for the script's font lists.
#pragma once

#include <string>
#include <vector>

namespace kivo {

// Family names as CP932, sorted and without repeats; a family's Japanese name when it has one.
// Names that CP932 cannot hold are left out. Empty when fontconfig finds nothing.
std::vector<std::string> FontFamilyNames(bool fixedPitchOnly);

}  // namespace kivo
