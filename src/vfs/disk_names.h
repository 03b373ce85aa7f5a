// The data layer's shared resolver of data names on disk, and small helpers for "\"-separated names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace kivo {

// One resolver for the process, folding names by the Shift-JIS case rule.
TNameResolver& DiskNames();

// The host path of folder + name (a CP932 data name) when that file exists; an absolute host
// name ("/...") stands for itself.
std::optional<std::string> FindDiskFile(const std::string& folder, std::string_view name, bool allowFolder = false);
// The components of a data name, split at "\" and "/" outside double-byte characters.
std::vector<std::string> SplitDataName(std::string_view name);

// The host path (UTF-8, "/" between folders) below a target folder for a data name, or "" when
// the name is absolute, has a drive or climbs out with "..": what the tools write stays inside.
std::string SafeRelativePath(std::string_view dataName);

// The extension of a data name's last component, with its dot ("" when there is none).
std::string ExtensionOf(std::string_view name);
// The data name's last component.
std::string BareNameOf(std::string_view name);

}  // namespace kivo
