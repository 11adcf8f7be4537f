#include "format/OpcodeTable.h"

#include <cmath>

#include "format/JsonText.h"

const std::vector<OpcodeInfo>& opcodeTable() {
  static const std::vector<OpcodeInfo> table = {
      {0, "frame", {{"pic", true, nullptr, nullptr}, {"ticks", true, nullptr, nullptr},
                    {"dx", false, nullptr, nullptr}, {"dy", false, nullptr, nullptr}}, true},
      {1, "move", {{"vx", false, nullptr, nullptr}, {"vy", false, nullptr, nullptr}, {"vz", false, nullptr, nullptr},
                   {"keep-vx", false, nullptr, nullptr}, {"keep-vy", false, nullptr, nullptr},
                   {"keep-vz", false, nullptr, nullptr}, {"ax", false, nullptr, nullptr},
                   {"ay", false, nullptr, nullptr}, {"az", false, nullptr, nullptr},
                   {"keep-ax", false, nullptr, nullptr}, {"keep-ay", false, nullptr, nullptr},
                   {"keep-az", false, nullptr, nullptr}, {"mode", false, "set", "add"}}, false},
      {2, "body", {{"x", true, nullptr, nullptr}, {"y", true, nullptr, nullptr}, {"w", true, nullptr, nullptr},
                   {"h", true, nullptr, nullptr}, {"d", true, nullptr, nullptr}}, false},
      {3, "attack", {{"x", true, nullptr, nullptr}, {"y", true, nullptr, nullptr}, {"w", true, nullptr, nullptr},
                     {"h", true, nullptr, nullptr}, {"d", true, nullptr, nullptr},
                     {"damage", true, nullptr, nullptr}}, false},
      {4, "hit", {{"ground", true, nullptr, nullptr}, {"air", true, nullptr, nullptr},
                  {"push-x", true, nullptr, nullptr}, {"push-y", true, nullptr, nullptr},
                  {"freeze", true, nullptr, nullptr}, {"self-freeze", true, nullptr, nullptr},
                  {"from", true, "own", "system"}, {"spark", true, nullptr, nullptr}}, false},
      {5, "spawn", {{"from", true, "own", "system"}, {"action", true, nullptr, nullptr},
                    {"pc", true, nullptr, nullptr}, {"dx", true, nullptr, nullptr}, {"dy", true, nullptr, nullptr}},
       false},
      {6, "sound", {{"from", true, "own", "system"}, {"number", true, nullptr, nullptr}}, false},
      {7, "jump", {{"on", true, "land", "hit"}, {"action", true, nullptr, nullptr}, {"pc", true, nullptr, nullptr}},
       false},
      {8, "goto", {{"action", true, nullptr, nullptr}, {"pc", true, nullptr, nullptr}}, false},
      {9, "nop", {}, false},
      {10, "tint", {{"a", true, nullptr, nullptr}, {"r", true, nullptr, nullptr}, {"g", true, nullptr, nullptr},
                    {"b", true, nullptr, nullptr}}, false},
      // The extended set: played only in a folder whose rules say `instructions = extended`.
      {11, "grab", {{"x", true, nullptr, nullptr}, {"y", true, nullptr, nullptr}, {"w", true, nullptr, nullptr},
                    {"h", true, nullptr, nullptr}, {"d", true, nullptr, nullptr}}, false},
      {12, "throw", {{"vx", true, nullptr, nullptr}, {"vy", true, nullptr, nullptr},
                     {"damage", true, nullptr, nullptr}}, false},
      {13, "let-go", {{"turn", false, nullptr, nullptr}}, false},
  };
  return table;
}

const OpcodeInfo* opcodeByNumber(int32_t opcode) {
  for (const OpcodeInfo& info : opcodeTable())
    if (info.opcode == opcode) return &info;
  return nullptr;
}

const OpcodeInfo* opcodeByName(const std::string& name) {
  for (const OpcodeInfo& info : opcodeTable())
    if (name == info.name) return &info;
  return nullptr;
}

std::string opcodeNameList() {
  std::string out;
  for (const OpcodeInfo& info : opcodeTable()) {
    if (!out.empty()) out += ", ";
    out += info.name;
  }
  return out;
}

namespace {

// Any double, infinities and NaN included ("inf", "-nan").
std::string numberText(double v) { return shortestDouble(v); }

}  // namespace

std::string instructionText(const Instruction& code) {
  const OpcodeInfo* info = opcodeByNumber(code.opcode);
  std::string out;
  if (!info || code.args.size() < info->args.size()) {
    out = "op " + std::to_string(code.opcode) + " (";
    for (size_t i = 0; i < code.args.size(); ++i) out += (i ? ", " : "") + numberText(code.args[i]);
    return out + ")";
  }
  out = info->name;
  for (size_t i = 0; i < info->args.size(); ++i) {
    const OpcodeArg& arg = info->args[i];
    const double v = code.args[i];
    std::string text = numberText(v);
    if (arg.zeroWord && v == 0 && !std::signbit(v)) text = arg.zeroWord;
    if (arg.oneWord && v == 1.0) text = arg.oneWord;
    if (i == 0 && info->firstPositional) {
      out += " " + text;
      continue;
    }
    if (!arg.alwaysShown && v == 0 && !std::signbit(v)) continue;
    out += " " + std::string(arg.name) + "=" + text;
  }
  if (code.args.size() > info->args.size()) out += " ...";
  return out;
}
