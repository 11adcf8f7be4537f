#include "CharaText.h"

#include <map>

#include "CountCursor.h"
#include "GbkText.h"
#include "format/OpcodeTable.h"
#include "TextNumbers.h"
#include "TrailingText.h"

namespace {

bool isPositiveZero(double v) { return __builtin_bit_cast(uint64_t, v) == 0; }

std::string argText(const OpcodeArg& arg, double v) {
  uint64_t bits = __builtin_bit_cast(uint64_t, v);
  if (arg.zeroWord && bits == 0) return arg.zeroWord;
  if (arg.oneWord && bits == __builtin_bit_cast(uint64_t, 1.0)) return arg.oneWord;
  return formatDouble(v);
}

void printCode(std::string& out, const Instruction& code, int32_t rawArgCount) {
  const OpcodeInfo* info = opcodeByNumber(code.opcode);
  std::string countNote;
  if (code.args.empty() && rawArgCount != 0) countNote = " count=" + formatInt(rawArgCount);
  out += "  ";
  if (!info || code.args.size() < info->args.size()) {
    out += "op " + formatInt(code.opcode) + " (";
    for (size_t i = 0; i < code.args.size(); ++i) {
      if (i) out += ", ";
      out += formatDouble(code.args[i]);
    }
    out += ")" + countNote + "\n";
    return;
  }
  out += info->name;
  for (size_t i = 0; i < info->args.size(); ++i) {
    const OpcodeArg& arg = info->args[i];
    if (i == 0 && info->firstPositional) {
      out += " " + argText(arg, code.args[i]);
      continue;
    }
    if (!arg.alwaysShown && isPositiveZero(code.args[i])) continue;
    out += " " + std::string(arg.name) + "=" + argText(arg, code.args[i]);
  }
  if (code.args.size() > info->args.size()) {
    out += " extra=(";
    for (size_t i = info->args.size(); i < code.args.size(); ++i) {
      if (i > info->args.size()) out += ", ";
      out += formatDouble(code.args[i]);
    }
    out += ")";
  }
  out += countNote + "\n";
}

// An action the printer may leave out: the reader fills a gap in the action
// numbers with exactly this.
bool isGapFiller(const Action& a, int32_t rawCodeCount) {
  return a.name.empty() && a.codes.empty() && rawCodeCount == 0;
}

// ---- reading ----

double readArg(const TextValue& v, const OpcodeArg& arg, const std::string& where) {
  if (v.kind == TextValue::Word) {
    if (arg.zeroWord && v.text == arg.zeroWord) return 0.0;
    if (arg.oneWord && v.text == arg.oneWord) return 1.0;
  }
  return valueDouble(v, where + " " + arg.name);
}

std::vector<double> readList(const TextValue& v, const std::string& what) {
  if (v.kind != TextValue::List) failAt(v.pos, what + ": expected a list such as (1, 2, 3)");
  std::vector<double> out;
  for (const TextValue& item : v.items) out.push_back(valueDouble(item, what));
  return out;
}

int32_t readCountItem(StatementItems& items, const std::string& what) {
  const TextValue* c = items.named("count");
  if (!c) return 0;
  int32_t n = valueInt32(*c, what + " count");
  if (n > 0) failAt(c->pos, "count=" + std::to_string(n) + ": only a count of 0 or less can stand for an empty list");
  return n;
}

Instruction readCode(const TextStatement& st, int32_t& rawArgCount) {
  requireNoBlock(st);
  StatementItems items(st);
  Instruction code;
  if (st.keyword == "op") {
    const TextValue* number = items.positional(0);
    if (!number) failAt(st.pos, "op needs an opcode number: op 42 (1, 2, 3)");
    code.opcode = valueInt32(*number, "opcode");
    if (const TextValue* list = items.positional(1)) code.args = readList(*list, "op arguments");
    rawArgCount = readCountItem(items, "argument");
    if (rawArgCount != 0 && !code.args.empty())
      failAt(items.statement().pos, "count= is only for an instruction without arguments");
    items.finish("an opcode number, a list of arguments, count=");
    return code;
  }
  const OpcodeInfo* info = opcodeByName(st.keyword);
  if (!info)
    failAt(st.pos, "unknown instruction '" + st.keyword + "' (known: " + opcodeNameList() +
                       "; any opcode as op N (arguments))");
  std::string accepted;
  for (const OpcodeArg& arg : info->args) accepted += std::string(arg.name) + ", ";
  accepted += "extra=(...)";
  code.opcode = info->opcode;
  code.args.assign(info->args.size(), 0.0);
  std::vector<bool> given(info->args.size(), false);
  for (size_t i = 0; i < items.positionalCount(); ++i) {
    const TextValue* v = items.positional(i);
    if (i >= info->args.size()) failAt(v->pos, "too many values for '" + st.keyword + "' (it takes: " + accepted + ")");
    code.args[i] = readArg(*v, info->args[i], st.keyword);
    given[i] = true;
  }
  for (size_t i = 0; i < info->args.size(); ++i) {
    const TextValue* v = items.named(info->args[i].name);
    if (!v) continue;
    if (given[i]) failAt(v->pos, std::string("'") + info->args[i].name + "' is already given by position");
    code.args[i] = readArg(*v, info->args[i], st.keyword);
  }
  if (const TextValue* extra = items.named("extra")) {
    std::vector<double> more = readList(*extra, st.keyword + " extra");
    code.args.insert(code.args.end(), more.begin(), more.end());
  }
  rawArgCount = 0;
  if (const TextValue* c = items.named("count")) {
    if (!code.args.empty()) failAt(c->pos, "count= is only for an instruction without arguments");
    rawArgCount = valueInt32(*c, "argument count");
    if (rawArgCount > 0) failAt(c->pos, "only a count of 0 or less can stand for an empty list");
  }
  items.finish(accepted);
  return code;
}

struct ActionSource {
  Action action;
  int32_t rawCodeCount = 0;
  std::vector<int32_t> rawArgCounts;
  TextPos pos;
};

void readAction(const TextStatement& st, std::map<int32_t, ActionSource>& actions) {
  StatementItems items(st);
  const TextValue* number = items.positional(0);
  if (!number) failAt(st.pos, "action needs its number: action 13 \"punch\" { ... }");
  int32_t n = valueInt32(*number, "action number");
  if (n < 0 || n > 1000000) failAt(number->pos, "action number " + std::to_string(n) + " is outside 0 to 1000000");
  if (actions.count(n)) failAt(number->pos, "action " + std::to_string(n) + " is defined twice");
  ActionSource src;
  src.pos = st.pos;
  if (const TextValue* name = items.positional(1)) src.action.name = valueString(*name, "action name");
  items.finish("a number and a \"name\", then a { } block");
  if (!st.hasBlock) failAt(st.pos, "action " + std::to_string(n) + " needs a { ... } block (it may be empty: {})");
  bool countGiven = false;
  for (const TextStatement& inner : st.block) {
    if (inner.keyword == "count") {
      requireNoBlock(inner);
      StatementItems c(inner);
      const TextValue* codes = c.named("codes");
      if (!codes) failAt(inner.pos, "inside an action, count takes codes=N");
      if (countGiven) failAt(inner.pos, "count given twice");
      countGiven = true;
      src.rawCodeCount = valueInt32(*codes, "instruction count");
      if (src.rawCodeCount > 0) failAt(codes->pos, "only a count of 0 or less can stand for an empty list");
      c.finish("codes=N");
      continue;
    }
    int32_t rawArgs = 0;
    src.action.codes.push_back(readCode(inner, rawArgs));
    src.rawArgCounts.push_back(rawArgs);
  }
  if (countGiven && !src.action.codes.empty())
    failAt(st.pos, "count codes= is only for an action without instructions");
  actions.emplace(n, std::move(src));
}

AiRule readAiRule(const TextStatement& st) {
  requireNoBlock(st);
  StatementItems items(st);
  AiRule rule;
  auto range = [&](const char* name, int32_t& lo, int32_t& hi) {
    const TextValue* v = items.named(name);
    if (!v) failAt(st.pos, std::string("ai needs ") + name + "=LOW..HIGH");
    if (v->kind == TextValue::Range) {
      TextValue low = *v, high = *v;
      low.kind = high.kind = TextValue::Number;
      high.text = v->high;
      high.pos = v->highPos;
      lo = valueInt32(low, std::string("ai ") + name);
      hi = valueInt32(high, std::string("ai ") + name);
    } else {
      lo = hi = valueInt32(*v, std::string("ai ") + name);
    }
  };
  auto whole = [&](const char* name, int32_t& out, bool required) {
    const TextValue* v = items.named(name);
    if (!v) {
      if (required) failAt(st.pos, std::string("ai needs ") + name + "=N");
      return;
    }
    out = valueInt32(*v, std::string("ai ") + name);
  };
  range("dx", rule.minDx, rule.maxDx);
  range("dz", rule.minDz, rule.maxDz);
  whole("chance", rule.chance, true);
  whole("action", rule.action, true);
  whole("flag-a", rule.flagA, false);
  whole("flag-b", rule.flagB, false);
  items.finish("dx=LOW..HIGH, dz=LOW..HIGH, chance, action, flag-a, flag-b");
  return rule;
}

}  // namespace

std::string printCharaText(const CharaData& data, const CountLog* counts) {
  // The raw counts, in the order the file holds them.
  CountCursor cursor(counts);
  int32_t rawActions = cursor.next(static_cast<int32_t>(data.actions.size()));
  std::vector<int32_t> rawCodes;
  std::vector<std::vector<int32_t>> rawArgs;
  for (const Action& a : data.actions) {
    rawCodes.push_back(cursor.next(static_cast<int32_t>(a.codes.size())));
    rawArgs.emplace_back();
    for (const Instruction& c : a.codes) rawArgs.back().push_back(cursor.next(static_cast<int32_t>(c.args.size())));
  }
  int32_t rawReactions = cursor.next(static_cast<int32_t>(data.reactions.size()));
  int32_t rawAi = cursor.next(static_cast<int32_t>(data.aiRules.size()));

  std::string out = "chara " + quoteGbk(data.name) + "\n";
  out += "hp " + formatInt(data.maxHp) + "\n";
  out += "picture-set " + formatInt(data.pictureSet) + "\n";
  out += "reactions";
  for (int32_t r : data.reactions) out += " " + formatInt(r);
  out += "\n";
  std::string countLine;
  if (data.actions.empty() && rawActions != 0) countLine += " actions=" + formatInt(rawActions);
  if (data.reactions.empty() && rawReactions != 0) countLine += " reactions=" + formatInt(rawReactions);
  if (data.aiRules.empty() && rawAi != 0) countLine += " ai=" + formatInt(rawAi);
  if (!countLine.empty()) out += "count" + countLine + "\n";

  for (size_t i = 0; i < data.actions.size(); ++i) {
    const Action& a = data.actions[i];
    if (i + 1 < data.actions.size() && isGapFiller(a, rawCodes[i])) continue;
    out += "\naction " + formatInt(static_cast<int64_t>(i));
    if (!a.name.empty()) out += " " + quoteGbk(a.name);
    if (a.codes.empty()) {
      if (rawCodes[i] != 0)
        out += " {\n  count codes=" + formatInt(rawCodes[i]) + "\n}\n";
      else
        out += " {}\n";
      continue;
    }
    out += " {\n";
    for (size_t k = 0; k < a.codes.size(); ++k) printCode(out, a.codes[k], rawArgs[i][k]);
    out += "}\n";
  }
  if (!data.aiRules.empty()) out += "\n";
  for (const AiRule& r : data.aiRules) {
    out += "ai dx=" + formatInt(r.minDx) + ".." + formatInt(r.maxDx) + " dz=" + formatInt(r.minDz) + ".." +
           formatInt(r.maxDz) + " chance=" + formatInt(r.chance) + " action=" + formatInt(r.action);
    if (r.flagA) out += " flag-a=" + formatInt(r.flagA);
    if (r.flagB) out += " flag-b=" + formatInt(r.flagB);
    out += "\n";
  }
  out += printTrailingBytes(data.trailing);
  return out;
}

void readCharaText(const std::vector<TextStatement>& file, CharaData& data, CountLog& counts) {
  data = CharaData{};
  counts.values.clear();
  if (file.empty() || file[0].keyword != "chara")
    failAt(file.empty() ? TextPos{} : file[0].pos, "a character source starts with: chara \"name\"");
  bool haveHp = false, haveSet = false, haveReactions = false, haveCount = false, haveTrailing = false;
  int32_t rawActions = 0, rawReactions = 0, rawAi = 0;
  TextPos countPos;
  std::map<int32_t, ActionSource> actions;
  for (size_t i = 0; i < file.size(); ++i) {
    const TextStatement& st = file[i];
    const std::string& kw = st.keyword;
    if (kw == "action") {
      readAction(st, actions);
      continue;
    }
    if (kw == "trailing") {
      readTrailingBytes(st, haveTrailing, data.trailing);
      continue;
    }
    requireNoBlock(st);
    StatementItems items(st);
    if (kw == "chara") {
      if (i != 0) failAt(st.pos, "chara appears twice");
      const TextValue* name = items.positional(0);
      if (!name) failAt(st.pos, "chara needs the character's name: chara \"guai01\"");
      data.name = valueString(*name, "character name");
      items.finish("the character's \"name\"");
    } else if (kw == "hp" || kw == "picture-set") {
      bool& have = kw == "hp" ? haveHp : haveSet;
      if (have) failAt(st.pos, kw + " given twice");
      have = true;
      const TextValue* v = items.positional(0);
      if (!v) failAt(st.pos, kw + " needs a whole number");
      (kw == "hp" ? data.maxHp : data.pictureSet) = valueInt32(*v, kw);
      items.finish("one whole number");
    } else if (kw == "reactions") {
      if (haveReactions) failAt(st.pos, "reactions given twice");
      haveReactions = true;
      for (size_t k = 0; k < items.positionalCount(); ++k)
        data.reactions.push_back(valueInt32(*items.positional(k), "reaction"));
      items.finish("action numbers");
    } else if (kw == "ai") {
      data.aiRules.push_back(readAiRule(st));
    } else if (kw == "count") {
      if (haveCount) failAt(st.pos, "count given twice");
      haveCount = true;
      countPos = st.pos;
      auto take = [&](const char* name, int32_t& out) {
        if (const TextValue* v = items.named(name)) {
          out = valueInt32(*v, std::string("count ") + name);
          if (out > 0) failAt(v->pos, "only a count of 0 or less can stand for an empty list");
        }
      };
      take("actions", rawActions);
      take("reactions", rawReactions);
      take("ai", rawAi);
      items.finish("actions=N, reactions=N, ai=N");
    } else {
      failAt(st.pos, "unknown statement '" + kw + "' in a character source (chara, hp, picture-set, reactions, action, ai, count, trailing)");
    }
  }
  if (!haveHp) failAt(file[0].pos, "the character has no hp line");
  if (!haveSet) failAt(file[0].pos, "the character has no picture-set line");

  int32_t last = actions.empty() ? -1 : actions.rbegin()->first;
  data.actions.resize(static_cast<size_t>(last + 1));
  std::vector<const ActionSource*> byNumber(data.actions.size(), nullptr);
  for (auto& [n, src] : actions) {
    data.actions[static_cast<size_t>(n)] = src.action;
    byNumber[static_cast<size_t>(n)] = &src;
  }
  if (rawActions != 0 && !data.actions.empty()) failAt(countPos, "count actions= is only for a character without actions");
  if (rawReactions != 0 && !data.reactions.empty())
    failAt(countPos, "count reactions= is only for a character without reactions");
  if (rawAi != 0 && !data.aiRules.empty()) failAt(countPos, "count ai= is only for a character without ai rules");

  counts.values.push_back(data.actions.empty() ? rawActions : static_cast<int32_t>(data.actions.size()));
  for (size_t i = 0; i < data.actions.size(); ++i) {
    const ActionSource* src = byNumber[i];
    const Action& a = data.actions[i];
    counts.values.push_back(a.codes.empty() ? (src ? src->rawCodeCount : 0) : static_cast<int32_t>(a.codes.size()));
    for (size_t k = 0; k < a.codes.size(); ++k) {
      int32_t n = static_cast<int32_t>(a.codes[k].args.size());
      counts.values.push_back(n == 0 ? src->rawArgCounts[k] : n);
    }
  }
  counts.values.push_back(data.reactions.empty() ? rawReactions : static_cast<int32_t>(data.reactions.size()));
  counts.values.push_back(data.aiRules.empty() ? rawAi : static_cast<int32_t>(data.aiRules.size()));
}
