#include "format/CharaData.h"

#include "format/ByteReader.h"
#include "format/ByteWriter.h"

namespace {
// Smallest sizes of list entries, used to refuse counts the file cannot hold.
constexpr size_t kMinActionBytes = 1 + 4;  // name length byte, instruction count
constexpr size_t kMinCodeBytes = 4 + 4;    // opcode, argument count
constexpr size_t kArgBytes = 8;
constexpr size_t kReactionBytes = 4;
constexpr size_t kAiRuleBytes = 8 * 4;
}  // namespace

Expected<CharaData> parseCharaFile(std::span<const uint8_t> bytes, const std::string& file, CountLog* counts) {
  ByteReader in(bytes, file);
  CharaData data;
  data.name = in.readShortString("character name");
  data.maxHp = in.readInt32("hit points");
  data.pictureSet = in.readInt32("picture set");

  const size_t actionCount = in.readCount("action count", kMinActionBytes, counts);
  data.actions.reserve(actionCount);
  for (size_t a = 0; a < actionCount && !in.failed(); ++a) {
    Action action;
    action.name = in.readShortString("action name");
    const size_t codeCount = in.readCount("instruction count", kMinCodeBytes, counts);
    action.codes.reserve(codeCount);
    for (size_t c = 0; c < codeCount && !in.failed(); ++c) {
      Instruction code;
      code.opcode = in.readInt32("opcode");
      const size_t argCount = in.readCount("argument count", kArgBytes, counts);
      code.args.reserve(argCount);
      for (size_t k = 0; k < argCount && !in.failed(); ++k) code.args.push_back(in.readDouble("argument"));
      action.codes.push_back(std::move(code));
    }
    data.actions.push_back(std::move(action));
  }

  const size_t reactionCount = in.readCount("reaction count", kReactionBytes, counts);
  data.reactions.reserve(reactionCount);
  for (size_t r = 0; r < reactionCount && !in.failed(); ++r) data.reactions.push_back(in.readInt32("reaction"));

  const size_t ruleCount = in.readCount("AI rule count", kAiRuleBytes, counts);
  data.aiRules.reserve(ruleCount);
  for (size_t r = 0; r < ruleCount && !in.failed(); ++r) {
    AiRule rule;
    rule.minDx = in.readInt32("AI rule minDx");
    rule.maxDx = in.readInt32("AI rule maxDx");
    rule.minDz = in.readInt32("AI rule minDz");
    rule.maxDz = in.readInt32("AI rule maxDz");
    rule.chance = in.readInt32("AI rule chance");
    // The file keeps the two flags before the action.
    rule.flagA = in.readInt32("AI rule flagA");
    rule.flagB = in.readInt32("AI rule flagB");
    rule.action = in.readInt32("AI rule action");
    data.aiRules.push_back(rule);
  }
  data.trailing = in.readRest();
  if (in.failed()) return in.error();
  return data;
}

std::vector<uint8_t> writeCharaFile(const CharaData& data, const CountLog* counts) {
  ByteWriter out(counts);
  out.writeShortString(data.name);
  out.writeInt32(data.maxHp);
  out.writeInt32(data.pictureSet);
  out.writeCount(data.actions.size());
  for (const Action& action : data.actions) {
    out.writeShortString(action.name);
    out.writeCount(action.codes.size());
    for (const Instruction& code : action.codes) {
      out.writeInt32(code.opcode);
      out.writeCount(code.args.size());
      for (double arg : code.args) out.writeDouble(arg);
    }
  }
  out.writeCount(data.reactions.size());
  for (int32_t r : data.reactions) out.writeInt32(r);
  out.writeCount(data.aiRules.size());
  for (const AiRule& rule : data.aiRules) {
    for (int32_t v : {rule.minDx, rule.maxDx, rule.minDz, rule.maxDz, rule.chance, rule.flagA, rule.flagB, rule.action})
      out.writeInt32(v);
  }
  out.writeRaw(data.trailing);
  return out.take();
}
