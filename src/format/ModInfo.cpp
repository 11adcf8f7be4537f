#include "format/ModInfo.h"

#include "format/RulesText.h"

std::string modNameProblem(const std::string& name) {
  if (name.empty()) return "the name is empty";
  if (name.size() > kMaxModNameBytes) return "the name is longer than " + std::to_string(kMaxModNameBytes) + " bytes";
  if (name == "." || name == "..") return "the name is \"" + name + "\"";
  for (char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.';
    if (!plain) return "the name holds a character other than letters, digits, '-', '_' and '.'";
  }
  return {};
}

Expected<ModInfo> parseModInfo(std::span<const uint8_t> bytes, const std::string& file) {
  if (bytes.size() > kMaxModInfoBytes)
    return LoadError{file, 1, "larger than " + std::to_string(kMaxModInfoBytes) + " bytes: a mod.txt holds three lines"};
  Expected<RulesText> text = parseRulesText(bytes, file);
  if (!text) return text.error();
  ModInfo info;
  size_t seen[3] = {0, 0, 0};  // the line of each key, 0 when not given
  const char* const keys[3] = {"name", "description", "game"};
  std::string* const values[3] = {&info.name, &info.description, &info.gameVersion};
  for (const RulesLine& line : text->lines) {
    size_t k = 0;
    while (k < 3 && line.key != keys[k]) ++k;
    if (k == 3) return LoadError{file, line.line, "unknown key \"" + line.key + "\" (name, description, game)"};
    if (seen[k]) return LoadError{file, line.line, std::string(keys[k]) + " is given twice"};
    seen[k] = line.line;
    *values[k] = line.value;
  }
  for (size_t k = 0; k < 3; ++k)
    if (!seen[k]) return LoadError{file, 1, std::string("no ") + keys[k] + " = ... line"};
  if (std::string bad = modNameProblem(info.name); !bad.empty()) return LoadError{file, seen[0], bad};
  if (info.gameVersion.empty())
    return LoadError{file, seen[2], "game = is empty: give the game version the mod was made for"};
  return info;
}
