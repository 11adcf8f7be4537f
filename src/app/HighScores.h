// The table of the ten best runs: score, a name of three letters, the heroes
// played, the level of difficulty, the day and the time the run took. Higher
// scores come first; a run that ties an older one goes below it. As text, one
// run a line ("12400 KAE c_kaelin+c_morivane hard 2026-12-09 6:41"), '#'
// comments; the text of a table reads back to the same table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HighScore {
  int32_t score = 0;
  std::string name;        // three letters A-Z
  std::string heroes;      // the heroes' ids, '+' between (UTF-8, no blanks)
  std::string difficulty;  // easy, normal or hard
  std::string date;        // YYYY-MM-DD
  int32_t seconds = 0;     // the time the run took

  bool operator==(const HighScore& o) const {
    return score == o.score && name == o.name && heroes == o.heroes && difficulty == o.difficulty && date == o.date &&
           seconds == o.seconds;
  }
};

class HighScores {
 public:
  static constexpr size_t kPlaces = 10;

  const std::vector<HighScore>& runs() const { return runs_; }
  // The place (0 first) a run of `score` would take, or -1 when it would not enter.
  int placeFor(int32_t score) const;
  // Puts the run in its place (the last run drops out of a full table); its place or -1.
  int add(const HighScore& run);

  std::string text() const;
  // False with "line N: why" in `error` when the text is not a table.
  static bool parse(const std::string& text, HighScores& out, std::string& error);

 private:
  std::vector<HighScore> runs_;
};

// Whether `name` is three letters A-Z.
bool isScoreName(const std::string& name);
// "m:ss" of a time in seconds.
std::string formatRunTime(int32_t seconds);
