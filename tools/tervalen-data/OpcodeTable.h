// The script instructions by name: opcode numbers, argument names in file order
// and the words that stand for special argument values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

const std::vector<OpcodeInfo>& opcodeTable();
const OpcodeInfo* opcodeByNumber(int32_t opcode);
const OpcodeInfo* opcodeByName(const std::string& name);
// "frame, move, ..." for messages.
std::string opcodeNameList();
