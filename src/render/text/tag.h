// TTag: a markup tag token read into its name and attributes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

class TTag {
public:
  struct TAttribute {
    std::string Name;
    std::string Value;
    bool HasValue = false;
  };

  // Whether a token is a tag: longer than one byte, "<" ... ">", and not a comment, script or
  // style block (those are kept whole and mean nothing).
  static bool IsTag(std::string_view token);
  // Reads "<NAME ATTR=VALUE ATTR='VALUE' ATTR=\"VALUE\" FLAG>"; malformed parts read as far as
  // they go and are never an error.
  static TTag Parse(std::string_view token);

  const std::string& Name() const { return name_; }
  bool IsNamed(std::string_view name) const;  // ignoring case
  const std::vector<TAttribute>& Attributes() const { return attributes_; }
  // The first attribute of that name (ignoring case), or nullptr.
  const TAttribute* Find(std::string_view name) const;
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  // Its value ("" when absent or without a value).
  std::string Value(std::string_view name) const;

private:
  std::string name_;
  std::vector<TAttribute> attributes_;
};

}  // namespace kivo
