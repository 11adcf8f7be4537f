#include "object/ScriptLoops.h"

#include <cstdint>
#include <set>

#include "object/ScriptNumber.h"

namespace {

std::string num(size_t v) { return std::to_string(v); }

}  // namespace

void findWaitlessLoops(const std::vector<Action>& actions, bool fighter,
                       const std::function<void(const std::string&, const std::string&)>& report) {
  // Node (a, i): instruction i of action a; i == size means "ran out".
  std::vector<size_t> base(actions.size() + 1, 0);
  for (size_t a = 0; a < actions.size(); ++a) base[a + 1] = base[a] + actions[a].codes.size() + 1;
  const size_t nodes = base.back();
  auto node = [&](size_t a, size_t i) { return base[a] + i; };
  auto successors = [&](size_t a, size_t i, std::vector<size_t>& out) {
    out.clear();
    const std::vector<Instruction>& codes = actions[a].codes;
    if (i == codes.size()) {
      if (!fighter) return;  // a plain object is removed
      for (size_t target : {size_t{0}, size_t{4}})
        if (target < actions.size()) out.push_back(node(target, 0));
      return;
    }
    const Instruction& code = codes[i];
    if (code.opcode == 0 && toInt32(scriptArg(code.args, 1)) >= 0) return;  // a frame waits
    if (code.opcode == 8) {
      int32_t target = toInt32(scriptArg(code.args, 0));
      if (target < 0 || static_cast<size_t>(target) >= actions.size()) {
        out.push_back(node(a, i + 1));  // the game ignores it and goes on (reported elsewhere)
        return;
      }
      int64_t pc = static_cast<int64_t>(toInt32(scriptArg(code.args, 1) - 1.0)) + 1;
      size_t size = actions[static_cast<size_t>(target)].codes.size();
      out.push_back(node(static_cast<size_t>(target), pc < 0 || pc > static_cast<int64_t>(size) ? size
                                                                                               : static_cast<size_t>(pc)));
      return;
    }
    out.push_back(node(a, i + 1));
  };
  std::vector<std::pair<size_t, size_t>> where(nodes);
  for (size_t a = 0; a < actions.size(); ++a)
    for (size_t i = 0; i <= actions[a].codes.size(); ++i) where[node(a, i)] = {a, i};

  // Iterative depth-first search; a back edge closes a loop without a wait.
  std::vector<uint8_t> state(nodes, 0);  // 0 new, 1 on the stack, 2 done
  std::set<size_t> reported;
  std::vector<size_t> next;
  for (size_t start = 0; start < nodes; ++start) {
    if (state[start]) continue;
    std::vector<std::pair<size_t, std::vector<size_t>>> stack;
    state[start] = 1;
    successors(where[start].first, where[start].second, next);
    stack.push_back({start, next});
    while (!stack.empty()) {
      auto& [n, succ] = stack.back();
      if (succ.empty()) {
        state[n] = 2;
        stack.pop_back();
        continue;
      }
      size_t s = succ.back();
      succ.pop_back();
      if (state[s] == 1) {
        auto [a, i] = where[n];
        if (reported.insert(where[s].first).second)
          report("action " + num(a) + " instruction " + num(i),
                 "the script can loop back to action " + num(where[s].first) + " instruction " +
                     num(where[s].second) + " without reaching a frame that waits: the game would hang");
      } else if (state[s] == 0) {
        state[s] = 1;
        successors(where[s].first, where[s].second, next);
        stack.push_back({s, next});
      }
    }
  }
}
