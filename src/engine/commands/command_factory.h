// Making a command of a stored kind, and the kinds' names.
#pragma once

#include <memory>
#include <string_view>

#include "engine/commands/command.h"

namespace kivo {

// A new command of kind 0..60; others raise "不正なコマンド".
std::unique_ptr<TCommand> CreateCommand(int kind);

// "If", "Elseif", ... as the editor names the kinds; empty outside 0..60.
std::string_view CommandKindName(int kind);
// The editor's Japanese display name (CP932).
std::string_view CommandKindDisplayName(int kind);
// The kind of an English name (ASCII case ignored), or -1.
int CommandKindByName(std::string_view name);

}  // namespace kivo
