// The script instructions by name: opcode numbers, argument names in file order
// and the words that stand for special argument values (the text form of the
// data tool, and the instruction the game's character viewer shows).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/CharaData.h"

struct OpcodeArg {
  const char* name;
  bool alwaysShown;         // written even when 0 (others only when not 0)
  const char* zeroWord;     // word for the value 0, or nullptr
  const char* oneWord;      // word for the value 1, or nullptr
};

struct OpcodeInfo {
  int32_t opcode;
  const char* name;
  std::vector<OpcodeArg> args;  // the arguments the game reads, in file order
  bool firstPositional;         // the first argument is written without its name
};

// Opcodes above this one belong to the extended set: a folder plays them only
// when its rules switch them on (`instructions = extended`); elsewhere they do
// nothing, like any unknown opcode.
inline constexpr int32_t kLastClassicOpcode = 10;
inline bool isExtendedOpcode(int32_t opcode) { return opcode > kLastClassicOpcode; }

const std::vector<OpcodeInfo>& opcodeTable();
const OpcodeInfo* opcodeByNumber(int32_t opcode);
const OpcodeInfo* opcodeByName(const std::string& name);
// "frame, move, ..." for messages.
std::string opcodeNameList();
// One instruction on one line as a modder reads it, e.g. "frame 12 ticks=4" or
// "hit ground=0 air=1 ... from=system spark=3": arguments that are 0 and not
// always shown are left out, like the text form does; an unknown opcode, or
// one stored with too few arguments, is "op N (a, b, ...)".
std::string instructionText(const Instruction& code);
