#include "Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

void JsonWriter::newline() {
  out_ += '\n';
  out_.append(2 * levels_.size(), ' ');
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (!level.empty) out_ += level.compact ? ", " : ",";
  if (!level.compact) newline();
  level.empty = false;
}

void JsonWriter::key(std::string_view name) {
  beforeValue();
  out_ += jsonQuote(name);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::beginObject() {
  beforeValue();
  out_ += '{';
  levels_.push_back({false, false});
}

void JsonWriter::endObject() {
  const bool wasEmpty = levels_.back().empty;
  levels_.pop_back();
  if (!wasEmpty) newline();
  out_ += '}';
  if (levels_.empty()) out_ += '\n';
}

void JsonWriter::beginArray(bool compact) {
  beforeValue();
  out_ += '[';
  levels_.push_back({true, compact});
}

void JsonWriter::endArray() {
  const Level level = levels_.back();
  levels_.pop_back();
  if (!level.empty && !level.compact) newline();
  out_ += ']';
  if (levels_.empty()) out_ += '\n';
}

void JsonWriter::value(std::string_view utf8) {
  beforeValue();
  out_ += jsonQuote(utf8);
}

void JsonWriter::value(int64_t v) {
  beforeValue();
  out_ += std::to_string(v);
}

void JsonWriter::value(double v) {
  if (std::isnan(v)) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    char buf[40];
    std::snprintf(buf, sizeof buf, "NaN(0x%016llx)", static_cast<unsigned long long>(bits));
    value(std::string_view(buf));
    return;
  }
  if (std::isinf(v)) {
    value(std::string_view(v > 0 ? "Infinity" : "-Infinity"));
    return;
  }
  beforeValue();
  out_ += shortestDouble(v);
}

void JsonWriter::value(bool v) {
  beforeValue();
  out_ += v ? "true" : "false";
}

void JsonWriter::null() {
  beforeValue();
  out_ += "null";
}
