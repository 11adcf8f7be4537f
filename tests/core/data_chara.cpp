// Reading character files: the layout, its odd cases, and every kind of damage.
#include <gtest/gtest.h>

#include "data_bytes.h"
#include "base/DataPath.h"
#include "format/CharaData.h"

using testdata::Bytes;
using testdata::hex;

namespace {

const char* kExample =
    "02 61 62 | 64 00 00 00 | 03 00 00 00 | 01 00 00 00 | 01 78 | 01 00 00 00 | 00 00 00 00 | 04 00 00 00 |"
    "00 00 00 00 00 00 00 00 | 00 00 00 00 00 00 14 40 | 00 00 00 00 00 00 00 00 | 00 00 00 00 00 00 00 00 |"
    "00 00 00 00 | 00 00 00 00";

Expected<CharaData> parse(const std::vector<uint8_t>& bytes, CountLog* log = nullptr) {
  return parseCharaFile(bytes, "data/chara/test.dat", log);
}

}  // namespace

TEST(CharaFile, ExampleFileParsesToOneActionShowingPictureZeroForFiveTicks) {
  const std::vector<uint8_t> bytes = hex(kExample);
  ASSERT_EQ(bytes.size(), 69u);
  Expected<CharaData> data = parse(bytes);
  ASSERT_TRUE(data) << data.error().message();
  EXPECT_EQ(data->name, "ab");
  EXPECT_EQ(data->maxHp, 100);
  EXPECT_EQ(data->pictureSet, 3);
  ASSERT_EQ(data->actions.size(), 1u);
  EXPECT_EQ(data->actions[0].name, "x");
  ASSERT_EQ(data->actions[0].codes.size(), 1u);
  EXPECT_EQ(data->actions[0].codes[0].opcode, 0);
  EXPECT_EQ(data->actions[0].codes[0].args, (std::vector<double>{0.0, 5.0, 0.0, 0.0}));
  EXPECT_TRUE(data->reactions.empty());
  EXPECT_TRUE(data->aiRules.empty());
  EXPECT_EQ(data->standAction, 0);
  EXPECT_EQ(data->airAction, 4);
}

TEST(CharaFile, ReactionsAndAiRulesReadWithFlagsStoredBeforeTheAction) {
  Bytes f;
  f.str("guai").i32(50).i32(1).i32(0);   // no actions
  f.i32(3).i32(7).i32(8).i32(9);         // reactions 7, 8, 9
  f.i32(1).i32(-40).i32(40).i32(-10).i32(10).i32(30).i32(1).i32(0).i32(13);
  Expected<CharaData> data = parse(f.b);
  ASSERT_TRUE(data) << data.error().message();
  EXPECT_EQ(data->reactions, (std::vector<int32_t>{7, 8, 9}));
  ASSERT_EQ(data->aiRules.size(), 1u);
  const AiRule& r = data->aiRules[0];
  EXPECT_EQ(r.minDx, -40);
  EXPECT_EQ(r.maxDx, 40);
  EXPECT_EQ(r.minDz, -10);
  EXPECT_EQ(r.maxDz, 10);
  EXPECT_EQ(r.chance, 30);
  EXPECT_EQ(r.flagA, 1);
  EXPECT_EQ(r.flagB, 0);
  EXPECT_EQ(r.action, 13);
}

TEST(CharaFile, EmptyListsZeroArgumentInstructionsAndLongNames) {
  // Zero actions, reactions and rules.
  Expected<CharaData> empty = parse(Bytes().str("").i32(1).i32(0).i32(0).i32(0).i32(0).b);
  ASSERT_TRUE(empty) << empty.error().message();
  EXPECT_EQ(empty->name, "");
  EXPECT_TRUE(empty->actions.empty());
  EXPECT_TRUE(empty->reactions.empty());
  EXPECT_TRUE(empty->aiRules.empty());

  // An instruction with no arguments, and a 127-byte name kept byte for byte.
  std::string longName(127, ' ');
  for (size_t i = 0; i < longName.size(); ++i) longName[i] = char(0x80 + i % 100);
  longName[0] = ' ';  // leading and trailing blanks are not trimmed
  longName[126] = '\0';
  Bytes f;
  f.str(longName).i32(1).i32(0).i32(1).str("a").i32(1).i32(9).i32(0).i32(0).i32(0);
  Expected<CharaData> data = parse(f.b);
  ASSERT_TRUE(data) << data.error().message();
  EXPECT_EQ(data->name, longName);
  ASSERT_EQ(data->actions.size(), 1u);
  ASSERT_EQ(data->actions[0].codes.size(), 1u);
  EXPECT_EQ(data->actions[0].codes[0].opcode, 9);
  EXPECT_TRUE(data->actions[0].codes[0].args.empty());
}

TEST(CharaFile, NegativeCountsMeanNoEntriesAndTheNextFieldFollowsAtOnce) {
  Bytes f;
  f.str("n").i32(1).i32(2).i32(-1);    // actions: none
  f.i32(-7);                           // reactions: none
  f.i32(INT32_MIN);                    // rules: none
  CountLog log;
  Expected<CharaData> data = parse(f.b, &log);
  ASSERT_TRUE(data) << data.error().message();
  EXPECT_TRUE(data->actions.empty());
  EXPECT_TRUE(data->reactions.empty());
  EXPECT_TRUE(data->aiRules.empty());
  EXPECT_EQ(log.values, (std::vector<int32_t>{-1, -7, INT32_MIN}));
}

TEST(CharaFile, CountLogHoldsEveryCountInReadOrder) {
  Bytes f;
  f.str("c").i32(1).i32(0).i32(2);
  f.str("a").i32(2).i32(0).i32(1).f64(1).i32(1).i32(-3);  // two codes: 1 arg, then -3 args
  f.str("b").i32(0);
  f.i32(-2).i32(0);
  CountLog log;
  Expected<CharaData> data = parse(f.b, &log);
  ASSERT_TRUE(data) << data.error().message();
  EXPECT_EQ(log.values, (std::vector<int32_t>{2, 2, 1, -3, 0, -2, 0}));
}

TEST(CharaFile, MissingBytesAreReportedWithTheirOffset) {
  const std::vector<uint8_t> full = hex(kExample);
  // Every cut of the example file fails, at or before the cut, without crashing.
  for (size_t cut = 0; cut < full.size(); ++cut) {
    std::vector<uint8_t> part(full.begin(), full.begin() + ptrdiff_t(cut));
    Expected<CharaData> data = parse(part);
    ASSERT_FALSE(data) << "cut at " << cut;
    EXPECT_EQ(data.error().file, "data/chara/test.dat");
    EXPECT_LE(data.error().offset, cut);
  }
  // Hit points cut after two bytes.
  Expected<CharaData> data = parse(std::vector<uint8_t>(full.begin(), full.begin() + 5));
  ASSERT_FALSE(data);
  EXPECT_EQ(data.error().offset, 3u);
  EXPECT_EQ(data.error().message(), "data/chara/test.dat: offset 3: hit points: 4 bytes expected, 2 bytes left");
  // An empty file: the name's length byte is missing.
  Expected<CharaData> none = parse({});
  ASSERT_FALSE(none);
  EXPECT_EQ(none.error().offset, 0u);
  EXPECT_NE(none.error().what.find("character name"), std::string::npos);
}

TEST(CharaFile, NegativeLengthByteIsRefused) {
  Bytes f;
  f.byte(0x80).raw(std::vector<uint8_t>(200, 'a'));
  Expected<CharaData> data = parse(f.b);
  ASSERT_FALSE(data);
  EXPECT_EQ(data.error().offset, 0u);
  EXPECT_EQ(data.error().what, "character name: length byte -128 is negative (0 to 127 expected)");

  // The same inside an action, further on.
  Bytes g;
  g.str("ab").i32(1).i32(0).i32(1).byte(0xFF).i32(0).i32(0).i32(0);
  Expected<CharaData> inner = parse(g.b);
  ASSERT_FALSE(inner);
  EXPECT_EQ(inner.error().offset, 15u);
  EXPECT_NE(inner.error().what.find("action name"), std::string::npos);
}

TEST(CharaFile, HugeCountsAreRefusedBeforeAnythingIsAllocated) {
  // Two billion actions in a 20-byte file: refused at the count, no allocation
  // (a reserve of that size would abort under the sanitizers).
  Bytes f;
  f.str("ab").i32(1).i32(0).i32(2000000000).i32(0).i32(0);
  Expected<CharaData> data = parse(f.b);
  ASSERT_FALSE(data);
  EXPECT_EQ(data.error().offset, 11u);
  EXPECT_EQ(data.error().what,
            "action count: 2000000000 entries of at least 5 bytes, but only 8 bytes left");

  // Arguments, reactions and rules too.
  Bytes args;
  args.str("").i32(0).i32(0).i32(1).str("").i32(1).i32(0).i32(INT32_MAX);
  Expected<CharaData> a = parse(args.b);
  ASSERT_FALSE(a);
  EXPECT_NE(a.error().what.find("argument count"), std::string::npos);

  Bytes rules;
  rules.str("").i32(0).i32(0).i32(0).i32(0).i32(1).raw(std::vector<uint8_t>(31, 0));
  Expected<CharaData> r = parse(rules.b);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().offset, 17u);
  EXPECT_NE(r.error().what.find("AI rule count"), std::string::npos);
}

TEST(CharaFile, BytesAfterTheLastAiRuleAreKeptAndWrittenBack) {
  std::vector<uint8_t> bytes = hex(kExample);
  bytes.push_back(0x00);
  bytes.push_back(0x7F);
  Expected<CharaData> data = parse(bytes);
  ASSERT_TRUE(data) << data.error().message();
  EXPECT_EQ(data->trailing, std::string("\x00\x7F", 2));
  EXPECT_EQ(writeCharaFile(*data), bytes);
  EXPECT_EQ(trailingBytesWarning("data/chara/x.dat", bytes.size(), data->trailing.size()),
            "data/chara/x.dat: offset 69: 2 bytes after the last record are ignored");
}


TEST(CharaFile, WriterWithoutLogWritesCanonicalCounts) {
  const std::vector<uint8_t> example = hex(kExample);
  Expected<CharaData> data = parse(example);
  ASSERT_TRUE(data);
  EXPECT_EQ(writeCharaFile(*data), example);

  // Negative counts for empty lists come back as 0 without a log, as read with one.
  Bytes f;
  f.str("n").i32(1).i32(2).i32(-1).i32(-7).i32(-100);
  CountLog log;
  Expected<CharaData> neg = parse(f.b, &log);
  ASSERT_TRUE(neg);
  EXPECT_EQ(writeCharaFile(*neg), Bytes().str("n").i32(1).i32(2).i32(0).i32(0).i32(0).b);
  EXPECT_EQ(writeCharaFile(*neg, &log), f.b);
}

TEST(CharaFile, WriterUsesCanonicalCountWhenTheListNoLongerMatchesTheLog) {
  Bytes f;
  f.str("n").i32(1).i32(2).i32(-1).i32(-7).i32(0);
  CountLog log;
  Expected<CharaData> data = parse(f.b, &log);
  ASSERT_TRUE(data);
  data->reactions = {5};  // the logged -7 would now lose the reaction
  EXPECT_EQ(writeCharaFile(*data, &log), Bytes().str("n").i32(1).i32(2).i32(-1).i32(1).i32(5).i32(0).b);
}
