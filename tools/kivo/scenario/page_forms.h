// How each command kind appears in the page text: its fields by name, the one written without
// a name, and which stored indexes the compiler works out itself.
#pragma once

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "engine/commands/command.h"

namespace kivo::scenario {

enum class TFieldType { Expr, ExprList, Str, Int, Byte, Text };
// Byte fields that have names for their values.
enum class TByteNames { None, Type, Scope };

struct TField {
  std::string name;
  TFieldType type;
  std::function<void*(TCommand&)> at;  // the member, typed by `type`
  Gate gate;
  TByteNames names = TByteNames::None;
};

// Indexes that follow from the loop structure.
enum class TLoopIndex { None, End, Head, Break, Continue };

struct TKindForm {
  std::string main;       // the field written without its name, or ""
  bool restOfLine = false;  // the main field is the rest of the line as it stands
  std::vector<TField> fields;
  bool component = false;   // other names are properties
  std::string labelField;   // the Int field that "label=NAME" sets
  std::string labelPage;    // the Str field naming the page that holds the label
  TLoopIndex loop = TLoopIndex::None;
  std::string loopField;

  const TField* Find(const std::string& name) const;
};

const TKindForm& KindForm(int kind);

// Byte values by name ("int", "local", ...) and back; -1 when unknown.
int ByteValueByName(TByteNames names, const std::string& text);
std::string ByteValueName(TByteNames names, int value);

// The loop indexes of each command as the structure gives them (by kind and indent):
// While: the index after its WhileLoop; WhileLoop: its While; Break: the index after the
// enclosing loop's WhileLoop; Continue: that WhileLoop; -1 outside any loop. kUnpaired for a
// While or WhileLoop that has no partner at its indentation; 0 for other kinds.
constexpr int32_t kUnpaired = INT_MIN;
std::vector<int32_t> LoopIndexes(const std::vector<int>& kinds, const std::vector<int32_t>& indents);

}  // namespace kivo::scenario
