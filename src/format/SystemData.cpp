#include "format/SystemData.h"

#include "format/ByteReader.h"
#include "format/ByteWriter.h"

Expected<SystemData> parseSystemData(std::span<const uint8_t> bytes, const std::string& file, CountLog* counts) {
  ByteReader in(bytes, file);
  SystemData data;
  // A true count, unlike the resource list's last index.
  const size_t count = in.readCount("string count", 1, counts);
  data.strings.reserve(count);
  for (size_t i = 0; i < count && !in.failed(); ++i) data.strings.push_back(in.readShortString("string"));
  // The game never reads past the counted strings; whatever follows is kept
  // as it is so a tool can write the file back unchanged.
  data.trailing = in.readRest();
  if (in.failed()) return in.error();
  return data;
}

std::vector<uint8_t> writeSystemData(const SystemData& data, const CountLog* counts) {
  ByteWriter out(counts);
  out.writeCount(data.strings.size());
  for (const std::string& s : data.strings) out.writeShortString(s);
  out.writeRaw(data.trailing);
  return out.take();
}
