#include "app/HighScores.h"

#include <sstream>

#include "base/CommandLine.h"

namespace {

constexpr int32_t kMaxScore = 2000000000;
constexpr int32_t kMaxSeconds = 99 * 3600;
constexpr size_t kMaxHeroesText = 200;

bool isDate(const std::string& d) {
  if (d.size() != 10 || d[4] != '-' || d[7] != '-') return false;
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (d[static_cast<size_t>(i)] < '0' || d[static_cast<size_t>(i)] > '9') return false;
  return true;
}

bool readTime(const std::string& t, int32_t& seconds) {
  const size_t colon = t.find(':');
  if (colon == std::string::npos || t.size() - colon != 3) return false;
  int minutes = 0, secs = 0;
  if (!parseWholeNumber(t.substr(0, colon), 0, kMaxSeconds / 60, minutes) ||
      !parseWholeNumber(t.substr(colon + 1), 0, 59, secs))
    return false;
  seconds = minutes * 60 + secs;
  return true;
}

bool isHeroesText(const std::string& h) {
  if (h.empty() || h.size() > kMaxHeroesText) return false;
  for (unsigned char c : h)
    if (c <= ' ' || c == 0x7F) return false;
  return true;
}

}  // namespace

bool isScoreName(const std::string& name) {
  if (name.size() != 3) return false;
  for (char c : name)
    if (c < 'A' || c > 'Z') return false;
  return true;
}

std::string formatRunTime(int32_t seconds) {
  const int32_t s = seconds < 0 ? 0 : seconds;
  const std::string secs = std::to_string(s % 60);
  return std::to_string(s / 60) + ":" + (secs.size() < 2 ? "0" : "") + secs;
}

int HighScores::placeFor(int32_t score) const {
  size_t place = 0;
  while (place < runs_.size() && runs_[place].score >= score) ++place;
  return place < kPlaces ? static_cast<int>(place) : -1;
}

int HighScores::add(const HighScore& run) {
  const int place = placeFor(run.score);
  if (place < 0) return -1;
  runs_.insert(runs_.begin() + place, run);
  if (runs_.size() > kPlaces) runs_.resize(kPlaces);
  return place;
}

std::string HighScores::text() const {
  std::string out =
      "# Tervalen's high scores: score, name, heroes, difficulty, day, time of the run.\n"
      "# The game rewrites this file when a run enters the table.\n";
  for (const HighScore& r : runs_)
    out += std::to_string(r.score) + " " + r.name + " " + r.heroes + " " + r.difficulty + " " + r.date + " " +
           formatRunTime(r.seconds) + "\n";
  return out;
}

bool HighScores::parse(const std::string& text, HighScores& out, std::string& error) {
  out = HighScores{};
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    auto bad = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    std::istringstream words(line);
    std::vector<std::string> f;
    for (std::string w; words >> w;) f.push_back(w);
    if (f.size() != 6) return bad("a run has 6 fields (score, name, heroes, difficulty, day, time), not " +
                                  std::to_string(f.size()));
    HighScore r;
    if (!parseWholeNumber(f[0], 0, kMaxScore, r.score)) return bad("the score is not a whole number");
    if (!isScoreName(f[1])) return bad("the name is not three letters A to Z");
    if (!isHeroesText(f[2])) return bad("the heroes are not ids joined by '+'");
    if (f[3] != "easy" && f[3] != "normal" && f[3] != "hard") return bad("the difficulty is none of easy, normal, hard");
    if (!isDate(f[4])) return bad("the day is not YYYY-MM-DD");
    if (!readTime(f[5], r.seconds)) return bad("the time is not minutes:seconds");
    r.name = f[1];
    r.heroes = f[2];
    r.difficulty = f[3];
    r.date = f[4];
    if (out.runs_.size() == kPlaces) return bad("more than " + std::to_string(kPlaces) + " runs");
    if (!out.runs_.empty() && out.runs_.back().score < r.score) return bad("the runs are not best first");
    out.runs_.push_back(r);
  }
  return true;
}
