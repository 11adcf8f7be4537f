// Conversion between the GBK text of data files and the UTF-8 the system uses
// (paths on disk, log lines, messages, the window title).
#pragma once

#include <string>

// GBK bytes to UTF-8. Bytes that are not valid GBK become U+FFFD, so the result
// is always valid UTF-8. Plain ASCII passes through unchanged.
std::string gbkToUtf8(const std::string& gbk);

// UTF-8 to GBK. Returns false (and leaves `out` unspecified) when the text
// holds a character GBK cannot encode or is not valid UTF-8.
bool utf8ToGbk(const std::string& utf8, std::string& out);
