// Scripts that would hang the game: a step of the game
// runs instructions until a frame waits, so a cycle through instructions that
// never wait never ends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "format/CharaData.h"

// Calls report(where, message) once per action that such a cycle returns to.
// `fighter`: an action that runs out goes on in action 0 or 4 (a plain object
// is removed instead).
void findWaitlessLoops(const std::vector<Action>& actions, bool fighter,
                       const std::function<void(const std::string&, const std::string&)>& report);
