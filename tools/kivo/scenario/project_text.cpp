// project.txt in both directions.
#include "project_text.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

#include "page_text.h"
#include "platform/cp932.h"
#include "text_values.h"

namespace kivo::scenario {
namespace {

struct TBad {
  size_t position;
  std::string message;
};

std::string Cp(const std::string& utf8, size_t at) {
  if (!IsUtf8RepresentableInCp932(utf8)) throw TBad{at, "the text has characters without a Shift-JIS form"};
  return Utf8ToCp932(utf8);
}

bool Flag(const std::string& v, size_t at) {
  if (v == "yes" || v == "true" || v == "1") return true;
  if (v == "no" || v == "false" || v == "0") return false;
  throw TBad{at, "expected yes or no"};
}

int32_t Int(const std::string& v, size_t at) {
  int32_t n = 0;
  if (!ParseInt(v, n)) throw TBad{at, "expected a whole number"};
  return n;
}

void Size(const std::string& v, size_t at, int32_t& w, int32_t& h) {
  size_t x = v.find('x');
  if (x == std::string::npos) throw TBad{at, "expected WIDTHxHEIGHT"};
  w = Int(v.substr(0, x), at);
  h = Int(v.substr(x + 1), at + x + 1);
}

// The words of a value: bare or quoted, as the page text spells strings.
std::vector<std::string> Words(const std::string& v, size_t at) {
  std::vector<std::string> words;
  try {
    for (const TToken& t : Tokenize(v, 0)) words.push_back(StringValue(v.substr(t.begin, t.end - t.begin)));
  } catch (const TLexError& e) {
    throw TBad{at + e.position, e.message};
  }
  return words;
}

std::string One(const std::string& v, size_t at) {
  if (v.empty()) return {};
  std::vector<std::string> w = Words(v, at);
  if (w.size() != 1) throw TBad{at, "expected one value (quote text with blanks)"};
  return w[0];
}

std::string FloatText(Extended f) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.21Lg", static_cast<long double>(f));
  return buffer;
}

std::string S(const std::string& cp932) {
  std::string utf8 = Cp932ToUtf8(cp932);
  return Utf8ToCp932(utf8) == cp932 ? SpellString(utf8) : SpellBytes(cp932);
}

// A text value: quoted, "@bytes:HEX", or the rest of the line as it stands.
std::string Str(const std::string& value, size_t at) {
  if (value.starts_with("@bytes:")) return One(value, at);
  return Cp(value.starts_with("\"") ? One(value, at) : value, at);
}

}  // namespace

TProjectText ParseProjectText(const std::string& file, const std::string& utf8) {
  TProjectText p;
  TProjectSetting& s = p.setting;
  std::vector<TSourceError> errors;
  std::map<std::string, std::function<void(const std::string&, size_t)>> keys = {
      {"version", [&](auto& v, size_t at) {
         int32_t version = Int(v, at);
         if (version < 0 || version > TProjectSetting::kNewestVersion)
           throw TBad{at, "project file versions run up to " + std::to_string(TProjectSetting::kNewestVersion)};
         s.version = version;
       }},
      {"title", [&](auto& v, size_t at) { s.title = Str(v, at); }},
      {"screen", [&](auto& v, size_t at) { Size(v, at, s.screenWidth, s.screenHeight); }},
      {"fullScreenHint", [&](auto& v, size_t at) { Size(v, at, s.fullScreenWidthHint, s.fullScreenHeightHint); }},
      {"start", [&](auto& v, size_t at) { s.startPage = Str(v, at); }},
      {"exit", [&](auto& v, size_t at) { s.exitPage = Str(v, at); }},
      {"registryKey", [&](auto& v, size_t at) { s.registryKey = Str(v, at); }},
      {"imageSeed", [&](auto& v, size_t at) { s.imageSeed = Int(v, at); }},
      {"writeStatusFile", [&](auto& v, size_t at) { s.writeStatusFile = Flag(v, at); }},
      {"idleYield", [&](auto& v, size_t at) { s.idleYield = Flag(v, at); }},
      {"mediaExtensions", [&](auto& v, size_t at) { s.mediaExtensions = Str(v, at); }},
      {"pauseWhenInactive", [&](auto& v, size_t at) { s.pauseWhenInactive = Flag(v, at); }},
      {"startFlag", [&](auto& v, size_t at) { s.startFlag = Flag(v, at); }},
      {"toolbar", [&](auto& v, size_t at) { s.toolbarVisible = Flag(v, at); }},
      {"discPrompt", [&](auto& v, size_t at) { s.discPrompt = Str(v, at); }},
      {"quitNotice", [&](auto& v, size_t at) { s.quitNotice = Str(v, at); }},
      {"var", [&](auto& v, size_t at) {
         std::vector<std::string> w = Words(v, at);
         if (w.size() < 2 || w.size() > 3) throw TBad{at, "var NAME TYPE [VALUE]"};
         TInitialVariable var;
         var.name = Cp(w[0], at);
         std::string value = w.size() == 3 ? w[2] : "";
         static const char* kTypes[] = {"none", "int", "float", "flag", "string"};
         int type = -1;
         for (int k = 0; k < 5; ++k)
           if (w[1] == kTypes[k]) type = k;
         if (type < 0) throw TBad{at, "a variable type is none, int, float, flag or string"};
         var.type = static_cast<uint8_t>(type);
         if (type == TInitialVariable::Integer) var.intValue = value.empty() ? 0 : Int(value, at);
         if (type == TInitialVariable::Float) {
           char* end = nullptr;
           var.floatValue = value.empty() ? 0 : std::strtold(value.c_str(), &end);
           if (!value.empty() && *end) throw TBad{at, "expected a number"};
         }
         if (type == TInitialVariable::Boolean) var.boolValue = !value.empty() && Flag(value, at);
         if (type == TInitialVariable::String) var.stringValue = Cp(value, at);
         if (type == TInitialVariable::None && !value.empty()) throw TBad{at, "a variable of type none has no value"};
         s.initialVariables.push_back(var);
       }},
      {"disc", [&](auto& v, size_t at) {
         std::vector<std::string> w = Words(v, at);
         if (w.size() != 2) throw TBad{at, "disc FOLDER NUMBER"};
         s.folderDiscs.Add(Cp(w[0], at), Int(w[1], at));
       }},
      {"install.title", [&](auto& v, size_t at) { p.install.Title = Str(v, at); p.installTitleGiven = true; }},
      {"install.disc", [&](auto& v, size_t at) { p.install.DiscIndex = Int(v, at); }},
      {"install.file", [&](auto& v, size_t at) { p.install.Files.push_back(Str(v, at)); }},
      {"install.allInstalled", [&](auto& v, size_t at) { p.install.AllInstalled = Flag(v, at) ? 1 : 0; }},
  };
  size_t from = 0;
  for (int number = 1; from <= utf8.size(); ++number) {
    size_t nl = utf8.find('\n', from);
    std::string line = utf8.substr(from, nl == std::string::npos ? std::string::npos : nl - from);
    from = nl == std::string::npos ? utf8.size() + 1 : nl + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t a = line.find_first_not_of(" \t");
    if (a == std::string::npos || line[a] == '#') continue;
    // KEY = VALUE, or KEY VALUE for the list keys (var, disc, install.file).
    size_t keyEnd = a;
    while (keyEnd < line.size() && line[keyEnd] != ' ' && line[keyEnd] != '\t' && line[keyEnd] != '=') ++keyEnd;
    try {
      std::string key = line.substr(a, keyEnd - a);
      size_t v = line.find_first_not_of(" \t", keyEnd);
      if (v != std::string::npos && line[v] == '=') v = line.find_first_not_of(" \t", v + 1);
      std::string value = v == std::string::npos ? "" : line.substr(v, line.find_last_not_of(" \t") + 1 - v);
      auto found = keys.find(key);
      if (found == keys.end()) throw TBad{a, "unknown key '" + key + "'"};
      if (key == "start") p.startLine = number;
      found->second(value, v == std::string::npos ? line.size() : v);
    } catch (const TBad& e) {
      errors.push_back({file, number, ColumnOf(line, e.position), e.message});
    }
  }
  if (!errors.empty()) throw ESourceErrors(std::move(errors));
  if (!p.installTitleGiven) p.install.Title = s.title;
  return p;
}

std::string PrintProjectText(const TProjectSetting& s, const TKivoInstallSet* install) {
  const TProjectSetting d;
  std::string out;
  auto line = [&out](const std::string& key, const std::string& value) {
    bool list = key == "var" || key == "disc" || key == "install.file";
    out += key + (list ? " " : " = ") + value + "\n";
  };
  auto flag = [](bool b) { return std::string(b ? "yes" : "no"); };
  if (s.version != d.version) line("version", std::to_string(s.version));
  line("title", S(s.title));
  line("screen", std::to_string(s.screenWidth) + "x" + std::to_string(s.screenHeight));
  if (s.fullScreenWidthHint != d.fullScreenWidthHint || s.fullScreenHeightHint != d.fullScreenHeightHint)
    line("fullScreenHint", std::to_string(s.fullScreenWidthHint) + "x" + std::to_string(s.fullScreenHeightHint));
  line("start", S(s.startPage));
  if (!s.exitPage.empty()) line("exit", S(s.exitPage));
  if (!s.registryKey.empty()) line("registryKey", S(s.registryKey));
  if (s.imageSeed != d.imageSeed) line("imageSeed", std::to_string(s.imageSeed));
  if (s.writeStatusFile != d.writeStatusFile) line("writeStatusFile", flag(s.writeStatusFile));
  if (s.idleYield != d.idleYield) line("idleYield", flag(s.idleYield));
  if (s.mediaExtensions != d.mediaExtensions) line("mediaExtensions", S(s.mediaExtensions));
  if (s.pauseWhenInactive != d.pauseWhenInactive) line("pauseWhenInactive", flag(s.pauseWhenInactive));
  if (s.startFlag != d.startFlag) line("startFlag", flag(s.startFlag));
  if (s.toolbarVisible != d.toolbarVisible) line("toolbar", flag(s.toolbarVisible));
  if (!s.discPrompt.empty()) line("discPrompt", S(s.discPrompt));
  if (!s.quitNotice.empty()) line("quitNotice", S(s.quitNotice));
  static const char* kTypes[] = {"none", "int", "float", "flag", "string"};
  for (const TInitialVariable& v : s.initialVariables) {
    std::string text = S(v.name) + " " + (v.type <= 4 ? kTypes[v.type] : "none");
    if (v.type == TInitialVariable::Integer) text += " " + std::to_string(v.intValue);
    if (v.type == TInitialVariable::Float) text += " " + FloatText(v.floatValue);
    if (v.type == TInitialVariable::Boolean) text += " " + flag(v.boolValue);
    if (v.type == TInitialVariable::String) text += " " + (v.stringValue.empty() ? std::string("\"\"") : S(v.stringValue));
    line("var", text);
  }
  for (const auto& e : s.folderDiscs.Entries()) line("disc", S(e.folder) + " " + std::to_string(e.disc));
  if (install) {
    if (install->Title != s.title) line("install.title", S(install->Title));
    if (install->DiscIndex != 0) line("install.disc", std::to_string(install->DiscIndex));
    for (const std::string& f : install->Files) line("install.file", S(f));
    if (install->AllInstalled) line("install.allInstalled", "yes");
  }
  return out;
}

}  // namespace kivo::scenario
