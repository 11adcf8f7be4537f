// The player's settings: the file read back to the same settings, every kind
// of bad line left out with a note while the rest counts, the file written in
// one step (or not at all, losing nothing but the saving), the key bindings'
// rules, and the command line's options for one run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "app/KeyBindings.h"
#include "app/Options.h"
#include "app/PlayerSettings.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "StubEngine.h"
#include "engine_support.h"

namespace {

bool hasNote(const std::vector<std::string>& notes, const std::string& part) {
  for (const std::string& n : notes)
    if (n.find(part) != std::string::npos) return true;
  return false;
}

std::string joined(const std::vector<std::string>& notes) {
  std::string all;
  for (const std::string& n : notes) all += n + "\n";
  return all;
}

Settings someSettings() {
  Settings s;
  s.windowWidth = 1280;
  s.windowHeight = 768;
  s.fullscreen = true;
  s.musicVolume = 30;
  s.effectsVolume = 0;
  EXPECT_TRUE(s.bindings.bind(KEY_J, SLOT_KEY2, HGEK_SPACE));
  EXPECT_TRUE(s.bindings.bind(KEY_K, SLOT_PAD, HGEK_PAD_RB));
  s.bindings.clear(KEY_W, SLOT_KEY2);
  return s;
}

TEST(SettingsFile, WhatIsWrittenReadsBackTheSame) {
  const Settings s = someSettings();
  std::vector<std::string> notes;
  const std::string text = formatSettings(s);
  EXPECT_TRUE(parseSettings(text, "settings.ini", notes) == s) << text;
  EXPECT_TRUE(notes.empty()) << joined(notes);
  EXPECT_NE(text.find("punch = J Space PadX\n"), std::string::npos) << text;
  EXPECT_NE(text.find("jump = K PadRB\n"), std::string::npos) << text;
  EXPECT_NE(text.find("up = W PadUp\n"), std::string::npos) << text;
  // The defaults, and an empty file, are the defaults.
  EXPECT_TRUE(parseSettings(formatSettings(Settings{}), "s", notes) == Settings{});
  EXPECT_TRUE(parseSettings("", "s", notes) == Settings{});
  EXPECT_TRUE(notes.empty()) << joined(notes);
}

TEST(SettingsFile, BadLinesAreLeftOutWithANoteAndTheRestCounts) {
  std::vector<std::string> notes;
  const std::string text =
      "music = 40\n"                    // 1 counts
      "music = 9999\n"                  // 2 absurd
      "effects = -5\n"                  // 3
      "effects = 7O\n"                  // 4 not a number
      "window = 0x0\n"                  // 5
      "window = 100000x480\n"           // 6
      "window = 1024\n"                 // 7
      "fullscreen = maybe\n"            // 8
      "colour = blue\n"                 // 9 no such setting
      "just some words\n"               // 10
      "\x01\x02\xff\xfe=\x80\n"         // 11 binary
      "punch = J Hyper\n"               // 12 no such key
      "jump = K L M\n"                  // 13 three keyboard keys
      "jump = PadA PadB\n"              // 14 two pad buttons
      "extra-u = Esc\n"                 // 15 kept for the game
      "extra-i = F5\n"                  // 16
      "down = StickUp\n"                // 17 the stick always walks
      "left = A A\n"                    // 18 named twice
      "effects = 60\n"                  // 19 counts
      "  # a comment\n\n"               // 20, 21
      "window = 1024X600\n"             // 22 counts
      "punch = PadX\n"                  // 23 no keyboard key
      "extra-u =\n";                    // 24 nothing at all
  const Settings s = parseSettings(text, "settings.ini", notes);
  EXPECT_EQ(s.musicVolume, 40);
  EXPECT_EQ(s.effectsVolume, 60);
  EXPECT_EQ(s.windowWidth, 1024);
  EXPECT_EQ(s.windowHeight, 600);
  EXPECT_FALSE(s.fullscreen);
  EXPECT_TRUE(s.bindings == KeyBindings::defaults()) << "every binding line was bad";
  for (int line : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 23, 24})
    EXPECT_TRUE(hasNote(notes, "settings.ini:" + std::to_string(line) + ": ")) << "line " << line << "\n" << joined(notes);
  EXPECT_EQ(notes.size(), 19u) << joined(notes);
  EXPECT_TRUE(hasNote(notes, "settings.ini:23: punch: each game key needs a keyboard key; left out"));
  EXPECT_TRUE(hasNote(notes, "settings.ini:2: music wants a volume from 0 to 100, not \"9999\"; left out"));
  EXPECT_TRUE(hasNote(notes, "settings.ini:6: window wants WIDTHxHEIGHT"));
  EXPECT_TRUE(hasNote(notes, "settings.ini:12: punch: no key is called \"Hyper\"; left out"));
  EXPECT_TRUE(hasNote(notes, "settings.ini:15: extra-u: Esc is kept for the game itself"));
  EXPECT_TRUE(hasNote(notes, "settings.ini:11: no setting is called \"????\"")) << joined(notes);
}

TEST(SettingsFile, AKeyGivenToTwoGameKeysStaysWithTheFirstLineAndANameGivenTwiceCountsTheLast) {
  std::vector<std::string> notes;
  const Settings s = parseSettings(
      "punch = L PadX\n"
      "jump = L K\n"      // L again: jump keeps K
      "up = J Up\n"       // J: punch's default, but the file moved punch to L
      "down = S Down\n"
      "down = Down\n",    // down given twice: the last counts
      "s.ini", notes);
  const auto& k = s.bindings.keys;
  EXPECT_EQ(k[KEY_J].slots, (std::array<int, 3>{'L', 0, HGEK_PAD_X}));
  EXPECT_EQ(k[KEY_K].slots, (std::array<int, 3>{HGEK_K, 0, 0})) << "L left out, K moved up";
  EXPECT_EQ(k[KEY_W].slots, (std::array<int, 3>{HGEK_J, HGEK_UP, 0}));
  EXPECT_EQ(k[KEY_S].slots, (std::array<int, 3>{HGEK_DOWN, 0, 0}));
  EXPECT_TRUE(hasNote(notes, "s.ini:2: L already presses punch; left out of jump")) << joined(notes);
  EXPECT_TRUE(hasNote(notes, "s.ini:5: down is set again (first on line 4); this line counts")) << joined(notes);
  // Whatever the file says, no key presses two game keys.
  std::set<int> seen;
  for (const KeyBinding& b : k)
    for (int key : b.slots) {
      if (key) {
        EXPECT_TRUE(seen.insert(key).second) << key;
      }
    }
  // Defaults that lost their key to a line of the file (the pad's X) give it up quietly.
  notes.clear();
  const Settings moved = parseSettings("jump = K PadX\n", "s.ini", notes);
  EXPECT_EQ(moved.bindings.keys[KEY_J].slots[SLOT_PAD], 0);
  EXPECT_TRUE(notes.empty()) << joined(notes);
}

TEST(SettingsFile, AGameKeyLeftWithoutAKeyboardKeyGetsOneOfItsOwnBackWhenItIsFree) {
  std::vector<std::string> notes;
  // Jump's only key is punch's: jump has its own K again.
  Settings s = parseSettings("punch = L\njump = L PadA\n", "s.ini", notes);
  EXPECT_EQ(s.bindings.keys[KEY_K].slots, (std::array<int, 3>{HGEK_K, 0, HGEK_PAD_A}));
  EXPECT_TRUE(hasNote(notes, "s.ini:2: jump had no keyboard key left and has K again")) << joined(notes);
  // Up takes punch's J (punch is not in the file): punch has nothing free of its own.
  notes.clear();
  s = parseSettings("\nup = J\n", "s.ini", notes);
  EXPECT_EQ(s.bindings.keys[KEY_W].slots, (std::array<int, 3>{HGEK_J, 0, 0})) << "a line gives every slot";
  EXPECT_EQ(s.bindings.keys[KEY_J].slots, (std::array<int, 3>{0, 0, HGEK_PAD_X}));
  EXPECT_TRUE(hasNote(notes, "s.ini:2: punch has no keyboard key left: choose one in the menu")) << joined(notes);
  // Left's keys both go, its defaults are taken too: the arrow, then A, were claimed first.
  notes.clear();
  s = parseSettings("up = A Left\n", "s.ini", notes);
  EXPECT_EQ(s.bindings.keys[KEY_A].slots[SLOT_KEY1], 0);
  EXPECT_TRUE(hasNote(notes, "s.ini:1: left has no keyboard key left")) << joined(notes);
}

TEST(KeyBindingsRules, AKeyBoundElsewhereSwapsPlacesAndReservedOrWrongKindsAreRefused) {
  KeyBindings b = KeyBindings::defaults();
  // Punch onto W: up takes punch's J.
  ASSERT_TRUE(b.bind(KEY_J, SLOT_KEY1, HGEK_W));
  EXPECT_EQ(b.keys[KEY_J].slots[SLOT_KEY1], HGEK_W);
  EXPECT_EQ(b.keys[KEY_W].slots[SLOT_KEY1], HGEK_J);
  // Jump's empty second key onto the arrow Up: up keeps W... no, J, alone.
  ASSERT_TRUE(b.bind(KEY_K, SLOT_KEY2, HGEK_UP));
  EXPECT_EQ(b.keys[KEY_W].slots, (std::array<int, 3>{HGEK_J, 0, HGEK_PAD_UP}));
  // Within one game key: the second key onto the first place swaps them.
  ASSERT_TRUE(b.bind(KEY_K, SLOT_KEY1, HGEK_UP));
  EXPECT_EQ(b.keys[KEY_K].slots, (std::array<int, 3>{HGEK_UP, HGEK_K, HGEK_PAD_A}));
  // Pad buttons swap among pad slots.
  ASSERT_TRUE(b.bind(KEY_J, SLOT_PAD, HGEK_PAD_A));
  EXPECT_EQ(b.keys[KEY_K].slots[SLOT_PAD], HGEK_PAD_X);
  const KeyBindings before = b;
  EXPECT_FALSE(b.bind(KEY_J, SLOT_KEY1, HGEK_ESCAPE));
  EXPECT_FALSE(b.bind(KEY_J, SLOT_KEY1, HGEK_P));
  EXPECT_FALSE(b.bind(KEY_J, SLOT_KEY2, HGEK_F1 + 4));
  EXPECT_FALSE(b.bind(KEY_J, SLOT_PAD, HGEK_PAD_START));
  EXPECT_FALSE(b.bind(KEY_J, SLOT_PAD, HGEK_STICK_LEFT));
  EXPECT_FALSE(b.bind(KEY_J, SLOT_PAD, HGEK_SPACE)) << "a keyboard key in the pad's place";
  EXPECT_FALSE(b.bind(KEY_J, SLOT_KEY1, HGEK_PAD_B)) << "a pad button in a keyboard key's place";
  EXPECT_FALSE(b.bind(KEY_J, SLOT_KEY1, 0x07)) << "no key has this code";
  EXPECT_TRUE(b == before);
  // Clearing the first key moves the second up.
  b.clear(KEY_K, SLOT_KEY1);
  EXPECT_EQ(b.keys[KEY_K].slots, (std::array<int, 3>{HGEK_K, 0, HGEK_PAD_X}));
}

TEST(KeyBindingsRules, TheEngineGetsTheKeysTheStickAndTheQuitKey) {
  const std::vector<hgeBinding> table = KeyBindings::defaults().engineTable();
  auto has = [&](int key, int game) {
    for (const hgeBinding& b : table)
      if (b.key == key && b.gameKey == game) return true;
    return false;
  };
  EXPECT_TRUE(has(HGEK_W, HGEK_W));
  EXPECT_TRUE(has(HGEK_UP, HGEK_W));
  EXPECT_TRUE(has(HGEK_PAD_UP, HGEK_W));
  EXPECT_TRUE(has(HGEK_STICK_UP, HGEK_W));
  EXPECT_TRUE(has(HGEK_STICK_RIGHT, HGEK_D));
  EXPECT_TRUE(has(HGEK_PAD_X, HGEK_J));
  EXPECT_TRUE(has(HGEK_PAD_A, HGEK_K));
  EXPECT_TRUE(has(HGEK_ESCAPE, HGEK_ESCAPE));
  EXPECT_TRUE(has(HGEK_PAD_START, HGEK_ESCAPE));
  EXPECT_FALSE(has(HGEK_P, HGEK_P)) << "the pause key is no game key";
  EXPECT_EQ(table.size(), 4u * 3 + 4 * 2 + 4 + 2);
}

// The settings file on disk, in a config folder of its own.
struct ConfigFolder {
  ScratchDir dir;
  std::filesystem::path file() const { return dir.path() / "tervalen" / "settings.ini"; }
  std::vector<std::string> log;
  SettingsLog logger() {
    return [this](const std::string& line) { log.push_back(line); };
  }
};

TEST(SettingsFile, SavedSettingsComeBackAndAMissingFileMeansTheDefaults) {
  ConfigFolder c;
  Settings read = loadSettings(c.file(), c.logger());
  EXPECT_TRUE(read == Settings{});
  EXPECT_TRUE(hasNote(c.log, "No settings file yet"));
  std::string error;
  ASSERT_TRUE(saveSettings(c.file(), someSettings(), error)) << error;
  struct stat st {};
  ASSERT_EQ(stat(c.file().parent_path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u) << "the folder made for it is the player's own";
  EXPECT_TRUE(loadSettings(c.file(), c.logger()) == someSettings());
  // Written again over the old file, and nothing else is left beside it.
  ASSERT_TRUE(saveSettings(c.file(), Settings{}, error)) << error;
  EXPECT_TRUE(loadSettings(c.file(), c.logger()) == Settings{});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(c.file().parent_path()),
                          std::filesystem::directory_iterator{}),
            1);
}

TEST(SettingsFile, AFileThatIsNoFileOrTooLargeGivesTheDefaultsAndALogLine) {
  ConfigFolder c;
  std::filesystem::create_directories(c.file());  // a folder where the file should be
  EXPECT_TRUE(loadSettings(c.file(), c.logger()) == Settings{});
  EXPECT_TRUE(hasNote(c.log, "not a regular file")) << joined(c.log);
  std::filesystem::remove(c.file());
  writeFile(c.file().string(), std::string(100 * 1024, '#'));
  EXPECT_TRUE(loadSettings(c.file(), c.logger()) == Settings{});
  EXPECT_TRUE(hasNote(c.log, "larger than")) << joined(c.log);
  // Thousands of bad lines: a few are said, then how many more.
  c.log.clear();
  std::string junk;
  for (int i = 0; i < 2000; ++i) junk += "volume = loud\n";
  writeFile(c.file().string(), junk);
  loadSettings(c.file(), c.logger());
  EXPECT_LT(c.log.size(), 12u);
  EXPECT_TRUE(hasNote(c.log, "1992 more lines")) << joined(c.log);
}

TEST(SettingsFile, WhatCannotBeWrittenIsRefusedAndNothingIsReplaced) {
  ConfigFolder c;
  std::string error;
  // A link where the file should be: left as it is.
  std::filesystem::create_directories(c.file().parent_path());
  writeFile(c.dir.file("elsewhere.ini"), "music = 10\n");
  std::filesystem::create_symlink(c.dir.file("elsewhere.ini"), c.file());
  EXPECT_FALSE(saveSettings(c.file(), Settings{}, error));
  EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
  EXPECT_EQ(readFile(c.dir.file("elsewhere.ini")), "music = 10\n");
  EXPECT_TRUE(std::filesystem::is_symlink(c.file()));
  // A folder that cannot be made (a file is in its way).
  writeFile(c.dir.file("blocked"), "");
  EXPECT_FALSE(saveSettings(c.dir.path() / "blocked" / "tervalen" / "settings.ini", Settings{}, error));
  EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
  EXPECT_FALSE(saveSettings("", Settings{}, error));
}

// An engine that keeps the states the settings set.
class SettingsEngine : public testengine::StubEngine {
 public:
  int music = -1, effects = -1, windowWidth = 0, windowHeight = 0;
  bool windowed = true, sound = true;
  size_t bindingsSet = 0;
  std::vector<hgeBinding> bindings;
  void System_SetState(hgeIntState s, int v) override {
    if (s == HGE_MUSICVOLUME) music = v;
    if (s == HGE_EFFECTSVOLUME) effects = v;
    if (s == HGE_WINDOWWIDTH) windowWidth = v;
    if (s == HGE_WINDOWHEIGHT) windowHeight = v;
  }
  int System_GetState(hgeIntState s) override {
    if (s == HGE_WINDOWWIDTH) return windowWidth;
    if (s == HGE_WINDOWHEIGHT) return windowHeight;
    return 0;
  }
  void System_SetState(hgeBoolState s, bool v) override {
    if (s == HGE_WINDOWED) windowed = v;
    if (s == HGE_USESOUND) sound = v;
  }
  bool System_GetState(hgeBoolState s) override { return s == HGE_WINDOWED ? windowed : false; }
  void Input_SetBindings(const std::vector<hgeBinding>& b) override {
    bindings = b;
    ++bindingsSet;
  }
};

TEST(PlayerSettingsRun, TheEngineGetsTheFilesSettingsAndChangesAreWrittenOnceTheySettle) {
  ConfigFolder c;
  std::string error;
  ASSERT_TRUE(saveSettings(c.file(), someSettings(), error));
  SettingsEngine engine;
  PlayerSettings settings(&engine, c.file(), {});
  settings.applyToEngine();
  EXPECT_EQ(engine.windowWidth, 1280);
  EXPECT_EQ(engine.windowHeight, 768);
  EXPECT_FALSE(engine.windowed);
  EXPECT_EQ(engine.music, 30);
  EXPECT_EQ(engine.effects, 0);
  EXPECT_TRUE(engine.sound);
  EXPECT_EQ(engine.bindings.size(), someSettings().bindings.engineTable().size());

  settings.everyFrame();  // the window as it opened
  settings.setMusicVolume(70);
  EXPECT_EQ(engine.music, 70) << "at once";
  settings.setEffectsVolume(250);
  EXPECT_EQ(engine.effects, 100);
  for (int i = 0; i < PlayerSettings::kSettleFrames - 1; ++i) settings.everyFrame();
  EXPECT_EQ(loadSettings(c.file(), c.logger()).musicVolume, 30) << "not yet written";
  settings.everyFrame();
  EXPECT_EQ(loadSettings(c.file(), c.logger()).musicVolume, 70);
  EXPECT_EQ(loadSettings(c.file(), c.logger()).effectsVolume, 100);

  // The player resizes the window and leaves fullscreen with F11.
  engine.windowWidth = 1000;
  engine.windowHeight = 600;
  engine.windowed = true;
  for (int i = 0; i < PlayerSettings::kSettleFrames + 1; ++i) settings.everyFrame();
  const Settings kept = loadSettings(c.file(), c.logger());
  EXPECT_EQ(kept.windowWidth, 1000);
  EXPECT_EQ(kept.windowHeight, 600);
  EXPECT_FALSE(kept.fullscreen);

  // New keys reach the engine at once, and are written at exit.
  KeyBindings b = settings.settings().bindings;
  ASSERT_TRUE(b.bind(KEY_J, SLOT_KEY1, 'L'));
  settings.setBindings(b);
  EXPECT_EQ(engine.bindingsSet, 2u);
  settings.saveNow();
  EXPECT_EQ(loadSettings(c.file(), c.logger()).bindings.keys[KEY_J].slots[SLOT_KEY1], 'L');
}

TEST(PlayerSettingsRun, TheCommandLineCountsForOneRunAndIsNeverWritten) {
  ConfigFolder c;
  std::string error;
  ASSERT_TRUE(saveSettings(c.file(), Settings{}, error));
  const std::string before = readFile(c.file().string());
  SettingsEngine engine;
  PlayerSettings settings(&engine, c.file(), {true, true});
  settings.applyToEngine();
  EXPECT_FALSE(engine.windowed) << "--fullscreen";
  EXPECT_FALSE(engine.sound) << "--mute";
  EXPECT_EQ(engine.music, 100) << "the volumes stay as they are";
  for (int i = 0; i < 3 * PlayerSettings::kSettleFrames; ++i) settings.everyFrame();
  settings.saveNow();
  EXPECT_EQ(readFile(c.file().string()), before);

  // The options read from the command line.
  Options o;
  std::string why;
  std::vector<const char*> args = {"tervalen", "--windowed", "--mute", "--fullscreen"};
  ASSERT_EQ(parseOptions(static_cast<int>(args.size()), args.data(), o, why), ParseResult::Run) << why;
  EXPECT_EQ(o.fullscreen, std::optional<bool>(true)) << "the last of the two counts";
  EXPECT_TRUE(o.mute);
  args = {"tervalen", "--windowed"};
  ASSERT_EQ(parseOptions(static_cast<int>(args.size()), args.data(), o, why), ParseResult::Run);
  EXPECT_EQ(o.fullscreen, std::optional<bool>(false));
  EXPECT_FALSE(o.mute);
  args = {"tervalen", "--mute=yes"};
  EXPECT_EQ(parseOptions(static_cast<int>(args.size()), args.data(), o, why), ParseResult::UsageError);
}

TEST(PlayerSettingsRun, AFileThatCannotBeWrittenLosesNothingButTheSaving) {
  ConfigFolder c;
  std::filesystem::create_directories(c.file());  // a folder in the way
  SettingsEngine engine;
  PlayerSettings settings(&engine, c.file(), {});
  settings.setMusicVolume(20);
  settings.saveNow();
  settings.setMusicVolume(10);
  settings.saveNow();
  EXPECT_EQ(settings.settings().musicVolume, 10);
  EXPECT_EQ(engine.music, 10);
  EXPECT_TRUE(std::filesystem::is_directory(c.file()));
}

}  // namespace

// Each seat's keys: lines name their seat ("seat2 punch"), lines without one
// are seat 1's, a seat outside 1-4 is a left-out line, and a keyboard key two
// seats name stays with the first line (seat 1's second keys may be seat 2's).
TEST(SettingsFile, EachSeatHasItsOwnKeysAndAKeyStaysWithTheFirstSeatThatNamesIt) {
  Settings two;
  ASSERT_TRUE(two.keysOf(2).bind(KEY_J, SLOT_KEY1, 'M'));
  ASSERT_TRUE(two.keysOf(3).bind(KEY_K, SLOT_KEY1, 0x65));  // Keypad5
  ASSERT_TRUE(two.keysOf(4).bind(KEY_J, SLOT_PAD, HGEK_PAD_RB));
  std::vector<std::string> notes;
  const std::string text = formatSettings(two);
  EXPECT_TRUE(parseSettings(text, "s.ini", notes) == two) << text;
  EXPECT_TRUE(notes.empty()) << joined(notes);
  EXPECT_NE(text.find("\nseat2 punch = M PadX\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nseat2 up = Up PadUp\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nseat3 jump = Keypad5 PadA\n"), std::string::npos) << text;

  struct Case {
    const char* file;
    int seat;
    GameKey key;
    std::array<int, 3> slots;
    const char* note;  // "" for none
  };
  const Case cases[] = {
      // An old file is seat 1's; the others keep their own. A line gives every slot.
      {"punch = L\n", 2, KEY_J, {HGEK_PERIOD, 0, HGEK_PAD_X}, ""},
      {"punch = L\n", 1, KEY_J, {'L', 0, 0}, ""},
      {"seat9 punch = K\n", 1, KEY_J, {HGEK_J, 0, HGEK_PAD_X}, "s.ini:1: no seat is called \"seat9\""},
      {"seat0 jump = M\n", 1, KEY_K, {HGEK_K, 0, HGEK_PAD_A}, "s.ini:1: no seat is called \"seat0\""},
      {"seat2 kick = M\n", 2, KEY_J, {HGEK_PERIOD, 0, HGEK_PAD_X}, "s.ini:1: no setting is called \"seat2 kick\""},
      // Two seats name L: the later line loses it, and seat 2 has its own key again.
      {"punch = L\nseat2 punch = L\n", 2, KEY_J, {HGEK_PERIOD, 0, 0},
       "s.ini:2: L already presses punch; left out of seat2 punch"},
      {"seat3 jump = L PadB\nseat2 up = L\n", 2, KEY_W, {HGEK_UP, 0, 0},
       "s.ini:2: L already presses seat3 jump; left out of seat2 up"},
      // Seats after the first may play on a pad alone.
      {"seat3 punch = PadRB\n", 3, KEY_J, {0, 0, HGEK_PAD_RB}, ""},
      // The same pad button for two seats is no clash: each pad plays one seat.
      {"seat2 punch = Period PadRB\nseat3 punch = PadRB\n", 3, KEY_J, {0, 0, HGEK_PAD_RB}, ""},
      // Seat 1's second key shared with seat 2 is lent, not lost.
      {"seat2 punch = Space\npunch = J Space\n", 1, KEY_J, {HGEK_J, HGEK_SPACE, 0}, ""},
  };
  for (const Case& c : cases) {
    notes.clear();
    const Settings s = parseSettings(c.file, "s.ini", notes);
    EXPECT_EQ(s.keysOf(c.seat).keys[c.key].slots, c.slots) << c.file;
    if (*c.note)
      EXPECT_TRUE(hasNote(notes, c.note)) << c.file << "\n" << joined(notes);
    else
      EXPECT_TRUE(notes.empty()) << c.file << "\n" << joined(notes);
  }
}
