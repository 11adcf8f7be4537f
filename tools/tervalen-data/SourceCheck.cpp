#include "SourceCheck.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "DataText.h"
#include "base/FileBytes.h"

namespace fs = std::filesystem;

namespace {

// The most bytes of a source file read: far beyond any text form.
constexpr uint64_t kMaxSourceBytes = 16u << 20;

struct Pair {
  std::string data;    // relative to the game folder: "data/chara/guai01.dat"
  std::string source;  // as the sources folder was given: "content/chara/guai01.txt"
  DataKind kind = DataKind::Chara;
  bool hasData = false, hasSource = false;
};

// Regular files named *.EXT directly in `dir`, by file name.
std::vector<std::string> filesIn(const fs::path& dir, const char* ext) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    if (it->path().extension() == ext && it->is_regular_file(ec)) names.push_back(it->path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool isFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// Every data file that has, or should have, a source, by its relative path.
std::map<std::string, Pair> pairs(const std::string& gameDir, const std::string& sourcesDir) {
  std::map<std::string, Pair> out;
  auto add = [&](const std::string& data, const std::string& source, DataKind kind) -> Pair& {
    Pair& p = out[data];
    p.data = data;
    p.source = (fs::path(sourcesDir) / source).string();
    p.kind = kind;
    return p;
  };
  const std::pair<const char*, DataKind> folders[] = {{"chara", DataKind::Chara}, {"scene", DataKind::Scene}};
  for (const auto& [folder, kind] : folders) {
    for (const std::string& id : filesIn(fs::path(gameDir) / "data" / folder, ".dat"))
      add(std::string("data/") + folder + "/" + id + ".dat", std::string(folder) + "/" + id + ".txt", kind).hasData = true;
    for (const std::string& id : filesIn(fs::path(sourcesDir) / folder, ".txt"))
      add(std::string("data/") + folder + "/" + id + ".dat", std::string(folder) + "/" + id + ".txt", kind).hasSource =
          true;
  }
  const std::pair<const char*, DataKind> single[] = {{"res", DataKind::Res}, {"system", DataKind::System}};
  for (const auto& [name, kind] : single) {
    const std::string data = std::string("data/") + name + ".dat", source = std::string(name) + ".txt";
    const bool d = isFile(fs::path(gameDir) / data), s = isFile(fs::path(sourcesDir) / source);
    if (!d && !s) continue;
    Pair& p = add(data, source, kind);
    p.hasData = d;
    p.hasSource = s;
  }
  return out;
}

}  // namespace

void checkSources(const std::string& gameDir, const std::string& sourcesDir, CheckReport& report) {
  auto problem = [&](const Pair& p, const std::string& place, const std::string& message) {
    report.problems.push_back({p.data, "source", message, place});
  };
  for (const auto& [path, p] : pairs(gameDir, sourcesDir)) {
    if (!p.hasSource) {
      report.warnings.push_back({p.data, "-", "there is no source " + p.source + " for it: check cannot tell whether it is "
                                              "up to date", ""});
      continue;
    }
    const std::string compile = "tervalen-data compile " + p.source + " -o " + (fs::path(gameDir) / p.data).string();
    Expected<std::vector<uint8_t>> text = readFileBytes(p.source, kMaxSourceBytes);
    if (!text) {
      problem(p, p.source, "cannot read the source: " + text.error().what);
      continue;
    }
    std::vector<uint8_t> compiled;
    TextError error;
    if (!compileDataText(std::string(text->begin(), text->end()), p.kind, compiled, error)) {
      problem(p, p.source + ":" + std::to_string(error.pos.line) + ":" + std::to_string(error.pos.column),
              "the source does not compile: " + error.message + (p.hasData ? " (the game still plays the old " +
                                                                     p.data + ")" : ""));
      continue;
    }
    if (!p.hasData) {
      problem(p, p.source + ":1", "the game has no " + p.data + " for this source: compile it (" + compile + ")");
      continue;
    }
    Expected<std::vector<uint8_t>> data = readFileBytes((fs::path(gameDir) / p.data).string());
    if (data && *data != compiled)
      problem(p, p.source + ":1", "the file is not what its source compiles to (the source changed since): compile it (" +
                                      compile + ")");
    // A data file that cannot be read is reported by the rest of check.
  }
}
