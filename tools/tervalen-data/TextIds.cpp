#include "TextIds.h"

#include "base/DataPath.h"

std::string readPlainId(const TextValue& v, const std::string& what) {
  std::string id = valueString(v, what);
  const std::string why = plainNameProblem(id);
  if (!why.empty())
    failAt(v.pos, what + " \"" + escapedName(id) + "\" is not a plain name: " + why);
  return id;
}

std::string idNote(const std::string& id) {
  const std::string why = plainNameProblem(id);
  if (why.empty()) return {};
  return "# not a plain name (" + why + "): the game does not use this id, and compile refuses it\n";
}
