#include "format/RulesText.h"

#include "format/JsonText.h"

#include <cerrno>
#include <cstdlib>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && isBlank(s[a])) ++a;
  while (b > a && isBlank(s[b - 1])) --b;
  return s.substr(a, b - a);
}

// Why the line is not UTF-8 text, or "".
std::string textProblem(const std::string& line) {
  for (unsigned char c : line) {
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      const char hex[] = "0123456789ABCDEF";
      return std::string("a control byte (0x") + hex[c >> 4] + hex[c & 15] + "): this is not a text file";
    }
  }
  if (!isUtf8(line)) return "bytes that are not UTF-8 text";
  return {};
}

}  // namespace

Expected<RulesText> parseRulesText(std::span<const uint8_t> bytes, const std::string& file) {
  if (bytes.size() > kMaxRulesTextBytes)
    return LoadError{file, 1, "the file holds " + std::to_string(bytes.size()) + " bytes, more than a rules file may (" +
                                  std::to_string(kMaxRulesTextBytes) + ")"};
  RulesText out;
  size_t lineNumber = 0;
  size_t start = 0;
  // Skips a UTF-8 byte order mark, which some editors write.
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) start = 3;
  while (start < bytes.size()) {
    ++lineNumber;
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n') ++end;
    std::string line(reinterpret_cast<const char*>(bytes.data()) + start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (std::string why = textProblem(line); !why.empty()) return LoadError{file, lineNumber, why};
    const std::string text = trimmed(line);
    if (text.empty() || text[0] == '#') continue;
    const size_t eq = text.find('=');
    if (eq == std::string::npos)
      return LoadError{file, lineNumber, "a rule is written `key = value`, this line has no '='"};
    RulesLine rule;
    rule.key = trimmed(text.substr(0, eq));
    rule.value = trimmed(text.substr(eq + 1));
    rule.line = lineNumber;
    if (rule.key.empty()) return LoadError{file, lineNumber, "nothing before the '=': a rule is written `key = value`"};
    out.lines.push_back(std::move(rule));
  }
  return out;
}

std::pair<std::string, std::string> splitFirstWord(const std::string& text) {
  const size_t blank = text.find_first_of(" \t");
  if (blank == std::string::npos) return {text, ""};
  const size_t rest = text.find_first_not_of(" \t", blank);
  return {text.substr(0, blank), rest == std::string::npos ? "" : text.substr(rest)};
}

std::vector<std::string> splitWords(const std::string& text) {
  std::vector<std::string> out;
  for (std::string rest = text; !rest.empty();) {
    auto [word, more] = splitFirstWord(rest);
    out.push_back(word);
    rest = more;
  }
  return out;
}

bool wholeNumberIn(const std::string& text, long lo, long hi, long& out) {
  if (text.empty() || text.size() > 12) return false;
  if (text[0] != '-' && (text[0] < '0' || text[0] > '9')) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < lo || v > hi) return false;
  out = v;
  return true;
}
