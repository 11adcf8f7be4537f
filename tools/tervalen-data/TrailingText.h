// Bytes after a file's last record, as text: the game reads nothing there and
// ignores them (with a warning in its log), but decompile keeps them so that
// compiling the text gives the very same file again.
//
//   # 2 bytes after the last record: the game ignores them; kept so the file compiles back byte for byte
//   trailing "\x00\x7F"
#pragma once

#include <string>

#include "TextStatements.h"

// The comment and the statement, after a blank line; "" when there are no bytes.
std::string printTrailingBytes(const std::string& bytes);

// Reads one `trailing "..."` statement into `out` (any length); `seen` refuses a second one.
void readTrailingBytes(const TextStatement& st, bool& seen, std::string& out);
