// GBK strings of the data files as quoted UTF-8 text and back, byte exact.
// Every two-byte GBK character that converts to Unicode and back to the same
// two bytes is written as that character; every other byte is written as a
// \xNN escape, so any byte string survives the trip through text.
#pragma once

#include <cstdint>
#include <string>

// The bytes as a quoted literal: "..." with \" \\ \n \t \r \xNN escapes.
std::string quoteGbk(const std::string& gbk);

// Appends the GBK form of one Unicode character to `out`; false when GBK has
// no two-byte (or ASCII) form for it that reads back as the same character.
bool appendCodepointAsGbk(uint32_t codepoint, std::string& out);

// Decodes the UTF-8 character at byte `at` of s; sets `used` to its length, or
// to 0 (returning 0) when the bytes there are not valid UTF-8.
uint32_t decodeUtf8Char(const std::string& s, size_t at, size_t& used);
