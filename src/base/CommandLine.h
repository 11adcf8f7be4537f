// A command line read one option at a time, as the game and its tools take
// them: "--name=value", "--name value", or a flag that takes no value.
#pragma once

#include <string>

class CommandLine {
 public:
  CommandLine(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}

  // Moves to the next argument; false when none is left.
  bool next();
  // The argument as written.
  const std::string& argument() const { return argument_; }
  // The option's name: the part before '=' of "--name=value", else the argument.
  const std::string& name() const { return name_; }
  // The option's value: after its '=', else the next argument (which it uses
  // up). False with `error` set ("--frames needs a value") when there is none.
  bool value(std::string& out, std::string& error);
  // For an option whose value may be left out: whether it has one, after
  // its '=' or as the next argument when that does not start with '-'.
  bool hasValue() const;
  // For a flag: false with `error` set ("--help takes no value") when it was
  // written with a value.
  bool noValue(std::string& error) const;

 private:
  int argc_;
  const char* const* argv_;
  int at_ = 0;
  std::string argument_, name_, attached_;
  bool hasAttached_ = false;
};

// The decimal whole number `text` holds, from `min` to `max`, and nothing else.
bool parseWholeNumber(const std::string& text, long min, long max, int& out);
