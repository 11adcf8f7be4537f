// The modder's reload (F5, --watch): the game folder is read again and the
// current scene starts over with what it now holds, the player at the place
// where it entered the scene. All or nothing: every data file is read first,
// and when one cannot be, nothing changes and the game goes on as it was.
//
// What a restarted scene keeps is what it began with: the score, the kills
// and the power the Hud showed when the player entered it, and the player's
// hit points then (a player who entered at full strength starts at the
// character file's full hit points, which the file may have changed). The
// clock (paused, slow motion) and the overlay are the modder's and stay.
#pragma once

#include <string>

#include "app/ScreenFlow.h"
#include "engine/hge.h"
#include "world/World.h"

class WorldReload {
 public:
  // `random` is the game's chance, handed to every new world; `invincible`
  // is what --invincible asked for (the rules file cannot ask for it).
  // `files`: the game folder with its mods (nullptr: the game folder alone).
  WorldReload(HGE* engine, RandomInt random, bool invincible, const DataLayers* files = nullptr);

  struct Result {
    bool reloaded = false;
    std::string message;  // for the screen and the log
  };
  // Reads the data files, the rules and the pack again and, when all of them
  // read, hands `flow` a new world at the start of its current scene.
  Result reload(ScreenFlow& flow);

 private:
  HGE* engine_;
  RandomInt random_;
  bool invincible_;
  const DataLayers* files_ = nullptr;
};
