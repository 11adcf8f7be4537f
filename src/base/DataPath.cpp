#include "base/DataPath.h"

#include <cstdio>

#include "base/TextCodec.h"

namespace {

bool isValidGbk(const std::string& text) {
  std::string back;
  return utf8ToGbk(gbkToUtf8(text), back) && back == text;
}

std::string hexByte(unsigned char c) {
  char buffer[5];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
  return buffer;
}

}  // namespace

std::string plainNameProblem(const std::string& name) {
  if (name.empty()) return "it is empty";
  if (name.size() > kMaxPlainNameBytes)
    return "it is " + std::to_string(name.size()) + " bytes long (at most " + std::to_string(kMaxPlainNameBytes) + ")";
  for (unsigned char c : name) {
    if (c == 0) return "it holds a NUL byte";
    if (c < 0x20 || c == 0x7F) return "it holds a control character";
  }
  if (!isValidGbk(name)) return "it is not valid GBK text";
  // Checked on the converted text: in GBK the byte of '\' can be the second
  // half of a two-byte character, which names no folder.
  const std::string utf8 = gbkToUtf8(name);
  if (utf8.find('/') != std::string::npos || utf8.find('\\') != std::string::npos)
    return "it holds a folder separator";
  if (utf8 == "." || utf8 == "..") return "it names a folder";
  return {};
}

Expected<std::string> dataFilePath(DataFileKind kind, const std::string& id) {
  if (std::string why = plainNameProblem(id); !why.empty())
    return LoadError{"\"" + escapedName(id) + "\"", 0, "not a plain name: " + why};
  const char* folder = kind == DataFileKind::Chara ? "data/chara/" : "data/scene/";
  return folder + gbkToUtf8(id) + ".dat";
}

std::string charaFilePath(const std::string& id) {
  auto path = dataFilePath(DataFileKind::Chara, id);
  return path ? *path : "data/chara/\"" + escapedName(id) + "\".dat";
}

std::string sceneFilePath(const std::string& id) {
  auto path = dataFilePath(DataFileKind::Scene, id);
  return path ? *path : "data/scene/\"" + escapedName(id) + "\".dat";
}

std::string escapedName(const std::string& name) {
  constexpr size_t kShown = 64;
  std::string out;
  size_t shown = 0;
  size_t i = 0;
  while (i < name.size() && shown < kShown) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < name.size()) {
      // A two-byte GBK character, when it is one.
      const std::string pair = name.substr(i, 2);
      std::string back;
      const std::string utf8 = gbkToUtf8(pair);
      if (utf8ToGbk(utf8, back) && back == pair) {
        out += utf8;
        i += 2;
        ++shown;
        continue;
      }
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += hexByte(c);
    }
    ++i;
    ++shown;
  }
  if (i < name.size()) out += "...";
  return out;
}
