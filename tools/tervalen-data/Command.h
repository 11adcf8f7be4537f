// Subcommands of tervalen-data. Each command's source file registers itself:
//   TERVALEN_DATA_COMMAND(dumpCommand, "dump", "dump [--kind K] FILE", runDump);
#pragma once

#include <string>
#include <vector>

struct DataCommand {
  const char* name;
  const char* usage;  // one line, shown by `tervalen-data --help`
  int (*run)(const std::vector<std::string>& args);  // args after the command name; returns the exit code
};

bool registerDataCommand(const DataCommand& command);
const std::vector<DataCommand>& dataCommands();

#define TERVALEN_DATA_COMMAND(var, name, usage, fn) \
  static const bool var = registerDataCommand(DataCommand{name, usage, fn})
