// Drawing the title menu: plates in the heads-up display's style over the
// title picture, in the game's font, with the heroes' portraits on the select.
#include <string>

#include "app/MenuPanel.h"
#include "app/PlayerSettings.h"
#include "app/ScoresFile.h"
#include "app/TitleMenu.h"
#include "base/TextCodec.h"

namespace {

using namespace menustyle;

constexpr float kWidth = 800;
constexpr const char* kFontFile = "font1.fnt";
constexpr const char* kMainLabels[TitleMenu::MAIN_LINES] = {"Play",    "Play together", "Difficulty",
                                                            "Options", "High scores",   "Quit"};
constexpr const char* kDifficultyLabels[kDifficultyCount] = {"Easy", "Normal", "Hard"};

// "Kaelin" of "c_kaelin": the name a hero is shown by.
std::string heroName(const std::string& gbkId) {
  std::string name = gbkToUtf8(gbkId);
  if (name.rfind("c_", 0) == 0) name = name.substr(2);
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return name;
}

}  // namespace

void TitleMenu::load() {
  font_ = std::make_unique<BitmapFont>(engine_, kFontFile, false);
  portraits_.clear();
  for (const std::string& hero : heroes_) {
    const std::string path = "pak/" + hero + "/hta/portrait.png";
    HTEXTURE t = engine_->Texture_Load(path.c_str(), 0, false);
    portraits_.push_back(t ? std::make_unique<SpriteQuad>(engine_, t, 0.0f, 0.0f, 100.0f, 100.0f) : nullptr);
  }
  table_ = loadHighScores(scoresFile_, [this](const std::string& line) { engine_->System_Log("%s", line.c_str()); });
}

void TitleMenu::text(float x, float y, int align, float scale, uint32_t color, const std::string& s) {
  if (!font_) return;
  font_->setScale(scale);
  font_->setColor(color);
  font_->draw(x, y, align, s.c_str());
}

void TitleMenu::draw() {
  if (optionsOpen_ && optionsOpen_()) return;  // the pause menu's pages draw themselves
  switch (page_) {
    case MAIN: drawMain(); break;
    case JOIN: drawJoin(); break;
    case HEROES: drawHeroes(); break;
    case SCORES: drawScores(); break;
    case NAME: drawName(); break;
  }
  if (font_) {
    font_->setScale(1);
    font_->setColor(0xFFFFFFFF);
  }
}

void TitleMenu::drawMain() {
  // Under the game's name, over the title picture's loading line (the game has loaded).
  const float x = 296, y = 174, w = 476, h = 294;
  drawPlate(engine_, x, y, w, h);
  const float top = y + 20, step = 38, left = x + 40, right = x + w - 40;
  for (int i = 0; i < MAIN_LINES; ++i) {
    const float ly = top + static_cast<float>(i) * step;
    const bool chosen = i == line_;
    if (chosen) fillRect(engine_, x + 12, ly - 6, w - 24, step - 6, kChosenTop, kChosenBottom);
    text(left, ly, AlignLeft, 0.85f, chosen ? kChosen : kText, kMainLabels[i]);
    if (i == DIFFICULTY_LINE)
      text(right, ly, AlignRight, 0.75f, chosen ? kChosen : kValue,
           std::string("< ") + kDifficultyLabels[static_cast<int>(difficulty())] + " >");
  }
  text(x + w / 2, y + h - 34, AlignCenter, 0.55f, kDim, "Enter or A: choose   Esc or B: back");
}

void TitleMenu::drawJoin() {
  const float x = 150, y = 100, w = 500, h = 300;
  drawPlate(engine_, x, y, w, h);
  text(kWidth / 2, y + 14, AlignCenter, 1.0f, kTitle, "PLAY TOGETHER");
  fillRect(engine_, x + 24, y + 50, w - 48, 2, kRimBottom, kRimTop, true);
  for (int seat = 1; seat <= kMaxSeats; ++seat) {
    const float ly = y + 70 + static_cast<float>(seat - 1) * 44;
    const bool in = joined_[static_cast<size_t>(seat)];
    text(x + 40, ly, AlignLeft, 0.85f, in ? kChosen : kDim, "Player " + std::to_string(seat));
    text(x + w - 40, ly, AlignRight, 0.75f, in ? kValue : kDim,
         in ? "In" : ((frames_ / 40) % 2 ? "Press punch to join" : ""));
  }
  text(kWidth / 2, y + h - 34, AlignCenter, 0.55f, kDim, "Enter or Start: on to the heroes   Kick: leave   Esc: back");
}

void TitleMenu::drawHeroes() {
  const float x = 40, y = 60, w = 720, h = 360;
  drawPlate(engine_, x, y, w, h);
  text(kWidth / 2, y + 14, AlignCenter, 1.0f, kTitle, "CHOOSE YOUR HERO");
  fillRect(engine_, x + 24, y + 50, w - 48, 2, kRimBottom, kRimTop, true);
  const int n = static_cast<int>(heroes_.size());
  const float colW = (w - 48) / static_cast<float>(n);
  for (int i = 0; i < n; ++i) {
    const float cx = x + 24 + colW * (static_cast<float>(i) + 0.5f);
    if (portraits_[static_cast<size_t>(i)]) portraits_[static_cast<size_t>(i)]->draw(cx - 50, y + 66);
    text(cx, y + 172, AlignCenter, 0.85f, kText, heroName(heroes_[static_cast<size_t>(i)]));
  }
  // Each joined seat's marker under the hero it points at.
  int row = 0;
  for (int seat = 1; seat <= kMaxSeats; ++seat) {
    const auto s = static_cast<size_t>(seat);
    if (!joined_[s]) continue;
    const float cx = x + 24 + colW * (static_cast<float>(heroPick_[s]) + 0.5f);
    const float ly = y + 210 + static_cast<float>(row++) * 30;
    if (!ready_[s]) fillRect(engine_, cx - 80, ly - 4, 160, 26, kChosenTop, kChosenBottom);
    text(cx, ly, AlignCenter, 0.7f, ready_[s] ? kValue : kChosen,
         "P" + std::to_string(seat) + (ready_[s] ? "  ready" : "  < >"));
  }
  text(kWidth / 2, y + h - 30, AlignCenter, 0.55f, kDim,
       "Left, Right: choose   Punch or Enter: ready   Kick: not yet   Esc: back");
}

void TitleMenu::drawScores() {
  const float x = 70, y = 40, w = 660, h = 400;
  drawPlate(engine_, x, y, w, h);
  text(kWidth / 2, y + 14, AlignCenter, 1.0f, kTitle, "HIGH SCORES");
  fillRect(engine_, x + 24, y + 50, w - 48, 2, kRimBottom, kRimTop, true);
  const auto& runs = table_.runs();
  if (runs.empty()) text(kWidth / 2, y + 150, AlignCenter, 0.8f, kDim, "No runs yet");
  for (size_t i = 0; i < runs.size(); ++i) {
    const HighScore& r = runs[i];
    const float ly = y + 64 + static_cast<float>(i) * 29;
    const bool fresh = static_cast<int>(i) == newPlace_;
    if (fresh) fillRect(engine_, x + 12, ly - 4, w - 24, 26, kChosenTop, kChosenBottom);
    const uint32_t c = fresh ? kChosen : kText;
    std::string heroes;
    for (size_t at = 0, next; at <= r.heroes.size(); at = next + 1) {
      next = r.heroes.find('+', at);
      if (next == std::string::npos) next = r.heroes.size();
      std::string gbk;
      utf8ToGbk(r.heroes.substr(at, next - at), gbk);
      heroes += (heroes.empty() ? "" : "+") + heroName(gbk);
    }
    text(x + 30, ly, AlignLeft, 0.7f, c, std::to_string(i + 1) + ".");
    text(x + 150, ly, AlignRight, 0.7f, c, std::to_string(r.score));
    text(x + 175, ly, AlignLeft, 0.7f, c, r.name);
    text(x + 245, ly, AlignLeft, 0.6f, fresh ? kChosen : kValue, heroes);
    text(x + 455, ly, AlignLeft, 0.6f, c, r.difficulty);
    text(x + 540, ly, AlignLeft, 0.6f, kDim, r.date.substr(5));
    text(x + w - 24, ly, AlignRight, 0.6f, c, formatRunTime(r.seconds));
  }
  if (!message_.empty()) text(kWidth / 2, y + h - 52, AlignCenter, 0.55f, kWarning, message_);
  text(kWidth / 2, y + h - 30, AlignCenter, 0.55f, kDim, "Enter or A: back to the title");
}

void TitleMenu::drawName() {
  const float x = 180, y = 110, w = 440, h = 260;
  drawPlate(engine_, x, y, w, h);
  text(kWidth / 2, y + 14, AlignCenter, 1.0f, kTitle, "A NEW HIGH SCORE");
  fillRect(engine_, x + 24, y + 50, w - 48, 2, kRimBottom, kRimTop, true);
  text(kWidth / 2, y + 64, AlignCenter, 0.8f, kValue, std::to_string(pending_.score));
  for (int i = 0; i < 3; ++i) {
    const float cx = kWidth / 2 + static_cast<float>(i - 1) * 60;
    const bool at = i == namePos_;
    if (at) fillRect(engine_, cx - 24, y + 110, 48, 52, kChosenTop, kChosenBottom);
    text(cx, y + 118, AlignCenter, 1.4f, at ? kChosen : kText, std::string(1, name_[static_cast<size_t>(i)]));
  }
  text(kWidth / 2, y + h - 50, AlignCenter, 0.55f, kDim, "Up, Down: letter   Left, Right: move");
  text(kWidth / 2, y + h - 30, AlignCenter, 0.55f, kDim, "Enter or A: next, and on the last: keep it");
}
