// Script pages as text: the compiler from the scenario text form to TPage and the printer back.
// docs/scenario-text.md describes the form.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/page.h"

namespace kivo::scenario {

// One problem of a source file; line and column count from 1, columns in characters.
struct TSourceError {
  std::string file;
  int line = 0;
  int column = 0;
  std::string message;  // UTF-8
  std::string Text() const;  // "file:line:column: message"
};

// Every problem found in the sources; what() gives them one a line.
class ESourceErrors : public std::runtime_error {
public:
  explicit ESourceErrors(std::vector<TSourceError> errors);
  const std::vector<TSourceError>& Errors() const { return errors_; }

private:
  std::vector<TSourceError> errors_;
};

struct TPageSource {
  std::string file;      // for messages
  std::string pageName;  // CP932, folders separated by "\", e.g. "sub\\intro.ksb"
  std::string text;      // UTF-8
};

// Compiles a set of pages. A label named by Jump, Call, PCReset, Reset or GameSave is looked up
// in the page the command names, which may be any page of the set. Raises ESourceErrors with all
// the problems found; no page is returned then.
std::vector<std::unique_ptr<TPage>> CompilePages(const std::vector<TPageSource>& sources);
std::unique_ptr<TPage> CompilePage(const TPageSource& source);

// The pages a printed page may name labels of, by stored page name; may give null.
using TPageFinder = std::function<const TPage*(const std::string& pageName)>;

// The page as UTF-8 text that CompilePage turns back into the same bytes.
std::string PrintPage(const TPage& page, const TPageFinder& findPage = {});

// The bytes TPage::SaveToStream writes.
std::string PageBytes(const TPage& page);

}  // namespace kivo::scenario
