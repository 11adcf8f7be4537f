#include "SpawnedStay.h"

#include "object/ScriptNumber.h"

namespace {

enum : int32_t { kFrame = 0, kArmJump = 7, kGoto = 8 };

struct Walk {
  const std::vector<Action>& actions;
  std::vector<std::vector<bool>> seen;
  std::vector<ScriptPlace> todo;
  std::optional<ScriptPlace> loop;   // the first goto met that goes back to a place already walked
  std::optional<ScriptPlace> hold;   // the first frame that holds for ever
  bool runsOut = false;

  explicit Walk(const std::vector<Action>& a) : actions(a), seen(a.size()) {
    for (size_t i = 0; i < a.size(); ++i) seen[i].assign(a[i].codes.size(), false);
  }

  bool valid(int32_t action) const {
    return action >= 0 && static_cast<size_t>(action) < actions.size();
  }

  // Continuing at instruction `pc` of `action`: past the end, the script runs out.
  void go(size_t action, int64_t pc) {
    if (pc < 0 || pc >= static_cast<int64_t>(actions[action].codes.size())) {
      runsOut = true;
      return;
    }
    if (seen[action][static_cast<size_t>(pc)]) return;
    seen[action][static_cast<size_t>(pc)] = true;
    todo.push_back({action, static_cast<size_t>(pc)});
  }

  void visit(const ScriptPlace& at) {
    const Instruction& code = actions[at.action].codes[at.instruction];
    const int64_t next = static_cast<int64_t>(at.instruction) + 1;
    switch (code.opcode) {
      case kFrame:
        if (toInt32(scriptArg(code.args, 1)) == 0) {  // ticks=0 holds the frame for ever
          if (!hold) hold = at;
          return;
        }
        break;
      case kGoto: {
        const int32_t target = toInt32(scriptArg(code.args, 0));
        if (!valid(target)) break;  // the game ignores it and goes on
        // The game's own arithmetic: the next fetch is one past pc - 1.
        const int64_t pc = static_cast<int64_t>(toInt32(scriptArg(code.args, 1) - 1.0)) + 1;
        const std::vector<bool>& walked = seen[static_cast<size_t>(target)];
        if (!loop && pc >= 0 && pc < static_cast<int64_t>(walked.size()) && walked[static_cast<size_t>(pc)]) loop = at;
        go(static_cast<size_t>(target), pc);
        return;
      }
      case kArmJump: {
        const double on = scriptArg(code.args, 0);
        const int32_t target = toInt32(scriptArg(code.args, 1));
        // A landing or a hit may come at any later tick: its target is a way out too.
        if ((on == 0 || on == 1) && valid(target)) go(static_cast<size_t>(target), toInt32(scriptArg(code.args, 2)));
        break;
      }
      default:
        break;
    }
    go(at.action, next);
  }
};

}  // namespace

std::optional<ScriptPlace> placeThatNeverEnds(const std::vector<Action>& actions, int32_t action, int32_t pc) {
  Walk walk(actions);
  if (!walk.valid(action)) return std::nullopt;
  walk.go(static_cast<size_t>(action), pc);
  while (!walk.todo.empty() && !walk.runsOut) {
    const ScriptPlace at = walk.todo.back();
    walk.todo.pop_back();
    walk.visit(at);
  }
  if (walk.runsOut) return std::nullopt;
  if (walk.loop) return walk.loop;
  if (walk.hold) return walk.hold;
  return ScriptPlace{static_cast<size_t>(action), static_cast<size_t>(pc)};
}
