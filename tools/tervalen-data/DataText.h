// Compiling data text sources to the game's binary files and decompiling
// binary files back to text. The binary side is always the game's own readers
// and writers; this layer only adds the text.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Dump.h"  // DataKind, dataKindFromName, dataKindFromPath
#include "TextLexer.h"
#include "format/LoadError.h"

const char* textKindName(DataKind kind);  // "chara", "scene", "res", "system", "font"

// The binary file of a text source. The kind comes from the source's first
// keyword (chara, scene, resources, system); `expected`, when given, must agree.
// Returns false with `error` set when the source is malformed.
// `kind`, when given, receives the kind of the source.
bool compileDataText(const std::string& source, std::optional<DataKind> expected, std::vector<uint8_t>& out,
                     TextError& error, DataKind* kind = nullptr);

// The canonical text of a binary file, or the reader's error (file and offset).
Expected<std::string> decompileData(std::span<const uint8_t> bytes, const std::string& file, DataKind kind);

// compile then decompile: what a source looks like once written canonically.
bool canonicalText(const std::string& source, std::optional<DataKind> expected, std::string& out, TextError& error);
