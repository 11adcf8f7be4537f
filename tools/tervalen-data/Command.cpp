#include "Command.h"

namespace {
std::vector<DataCommand>& registry() {
  static std::vector<DataCommand> commands;
  return commands;
}
}  // namespace

bool registerDataCommand(const DataCommand& command) {
  registry().push_back(command);
  return true;
}

const std::vector<DataCommand>& dataCommands() { return registry(); }
