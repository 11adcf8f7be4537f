#include "SourceLines.h"

#include <charconv>
#include <filesystem>
#include <sstream>

#include "base/FileBytes.h"

namespace fs = std::filesystem;

namespace {

// The most bytes of a source file looked at: far beyond any text form.
constexpr size_t kMaxSourceBytes = 16u << 20;

std::string trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
  return s.substr(a, b - a);
}

bool startsWithWord(const std::string& line, const std::string& word) {
  return line.rfind(word, 0) == 0 && (line.size() == word.size() || line[word.size()] == ' ' ||
                                      line[word.size()] == '\t' || line[word.size()] == '{');
}

// The parts of `where`: "action 3 instruction 4" -> {"action", "3", "instruction", "4"}.
std::vector<std::string> words(const std::string& where) {
  std::vector<std::string> out;
  std::istringstream in(where);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The source of a data file: data/chara/X.dat -> chara/X.txt, data/res.dat -> res.txt.
std::string sourceOf(const std::string& file) {
  const fs::path p(file);
  if (p.extension() != ".dat" || p.begin() == p.end() || *p.begin() != "data") return {};
  fs::path rest;
  for (auto it = std::next(p.begin()); it != p.end(); ++it) rest /= *it;
  rest.replace_extension(".txt");
  return rest.string();
}

// A count as `where` writes it ("12"); false for anything else.
bool countIn(const std::string& text, size_t& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end;
}

}  // namespace

const std::vector<std::string>* SourceLines::lines(const std::string& path) {
  if (auto it = read_.find(path); it != read_.end()) return &it->second;
  if (missing_.count(path)) return nullptr;
  Expected<std::vector<uint8_t>> bytes = readFileBytes(path, kMaxSourceBytes);
  if (!bytes) {
    missing_[path] = true;
    return nullptr;
  }
  std::vector<std::string>& out = read_[path];
  std::string line;
  for (uint8_t b : *bytes) {
    if (b == '\n') {
      out.push_back(trimmed(line));
      line.clear();
    } else {
      line += static_cast<char>(b);
    }
  }
  if (!line.empty()) out.push_back(trimmed(line));
  return &out;
}

std::string SourceLines::place(const std::string& file, const std::string& where) {
  const std::string relative = sourceOf(file);
  if (relative.empty()) return {};
  const std::string path = (fs::path(dir_) / relative).string();
  const std::vector<std::string>* text = lines(path);
  if (!text) return {};
  auto at = [&](size_t index) { return path + ":" + std::to_string(index + 1); };
  auto statement = [](const std::string& l) { return !l.empty() && l[0] != '#'; };
  // A finding about the whole file (a whole scene, a whole character): the
  // line that opens it ("scene ...", "chara ...").
  auto whole = [&]() {
    for (size_t i = 0; i < text->size(); ++i)
      if (statement((*text)[i])) return at(i);
    return path;
  };
  const std::vector<std::string> w = words(where);
  if (w.empty()) return whole();

  // "action A" and "action A instruction K": the K-th statement of the action's block.
  if (w[0] == "action" && w.size() >= 2) {
    for (size_t i = 0; i < text->size(); ++i) {
      if (!startsWithWord((*text)[i], "action " + w[1])) continue;
      if (w.size() < 4 || w[2] != "instruction") return at(i);
      size_t k = 0, seen = 0;
      if (!countIn(w[3], k)) return at(i);
      for (size_t j = i + 1; j < text->size() && (*text)[j] != "}"; ++j) {
        if (!statement((*text)[j])) continue;
        if (seen++ == k) return at(j);
      }
      return at(i);
    }
    return whole();
  }
  // The N-th line of a kind: "enemy 2", "prop 0", "door 1", "wall 3", "far 0", "ai rule 1", "set 4".
  std::string keyword = w[0];
  size_t index = 0;
  bool counted = false;
  if (w.size() == 2 && countIn(w[1], index)) {
    counted = true;
  } else if (w.size() == 3 && w[0] == "ai" && w[1] == "rule" && countIn(w[2], index)) {
    keyword = "ai";
    counted = true;
  }
  if (keyword == "enemies") keyword = "enemy";
  if (keyword == "doors") keyword = "door";
  if (keyword == "reaction") keyword = "reactions", counted = false;
  if (keyword == "set") {
    for (size_t i = 0; i < text->size(); ++i)
      if (startsWithWord((*text)[i], "set " + w.back())) return at(i);
    return whole();
  }
  size_t seen = 0;
  for (size_t i = 0; i < text->size(); ++i) {
    if (!startsWithWord((*text)[i], keyword)) continue;
    if (!counted || seen++ == index) return at(i);
  }
  return whole();
}
