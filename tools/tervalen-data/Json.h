// A small streaming JSON writer for the data tool's output: objects, arrays,
// strings (already UTF-8) and numbers that read back exactly.
//
// Numbers: integers as written; doubles in their shortest round-trip form
// (-0.0 stays "-0"). JSON has no NaN or infinities, so those are written as
// strings: "Infinity", "-Infinity", and "NaN(0x7ff8000000000001)" carrying the
// exact bits, so a reader can restore any NaN payload.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/JsonText.h"

class JsonWriter {
 public:
  void beginObject();
  void endObject();
  // A compact array is written on one line (lists of numbers).
  void beginArray(bool compact = false);
  void endArray();
  void key(std::string_view name);

  void value(std::string_view utf8);
  void value(const char* utf8) { value(std::string_view(utf8)); }
  void value(int64_t v);
  void value(int32_t v) { value(int64_t(v)); }
  void value(double v);
  void value(bool v);
  void null();

  // The text so far; complete once every begun object and array has ended.
  const std::string& text() const { return out_; }

 private:
  struct Level {
    bool array;
    bool compact;
    bool empty = true;
  };
  void beforeValue();
  void newline();

  std::string out_;
  std::vector<Level> levels_;
  bool afterKey_ = false;
};
