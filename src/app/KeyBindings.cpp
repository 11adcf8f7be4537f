#include "app/KeyBindings.h"

#include "engine/KeyNames.h"

const std::array<GameKeyInfo, GAME_KEY_COUNT> kGameKeys = {{
    {HGEK_W, "up", "Up"},
    {HGEK_S, "down", "Down"},
    {HGEK_A, "left", "Left"},
    {HGEK_D, "right", "Right"},
    {HGEK_J, "punch", "Punch"},
    {HGEK_K, "jump", "Jump"},
    {HGEK_U, "extra-u", "Extra U"},
    {HGEK_I, "extra-i", "Extra I"},
}};

KeyBindings KeyBindings::defaults() {
  KeyBindings b;
  b.keys[KEY_W].slots = {HGEK_W, HGEK_UP, HGEK_PAD_UP};
  b.keys[KEY_S].slots = {HGEK_S, HGEK_DOWN, HGEK_PAD_DOWN};
  b.keys[KEY_A].slots = {HGEK_A, HGEK_LEFT, HGEK_PAD_LEFT};
  b.keys[KEY_D].slots = {HGEK_D, HGEK_RIGHT, HGEK_PAD_RIGHT};
  b.keys[KEY_J].slots = {HGEK_J, 0, HGEK_PAD_X};
  b.keys[KEY_K].slots = {HGEK_K, 0, HGEK_PAD_A};
  b.keys[KEY_U].slots = {HGEK_U, 0, HGEK_PAD_Y};
  b.keys[KEY_I].slots = {HGEK_I, 0, HGEK_PAD_B};
  return b;
}

KeyBindings KeyBindings::defaultsFor(int seat) {
  KeyBindings b = defaults();
  if (seat <= 1) return b;
  const int seat2[GAME_KEY_COUNT] = {HGEK_UP,     HGEK_DOWN,  HGEK_LEFT,      HGEK_RIGHT,
                                     HGEK_PERIOD, HGEK_SLASH, HGEK_SEMICOLON, HGEK_APOSTROPHE};
  for (size_t g = 0; g < b.keys.size(); ++g) {
    b.keys[g].slots[SLOT_KEY1] = seat == 2 ? seat2[g] : 0;
    b.keys[g].slots[SLOT_KEY2] = 0;
  }
  return b;
}

bool isReservedKey(int key) {
  if (key >= HGEK_F1 && key <= HGEK_F12) return true;
  switch (key) {
    case HGEK_ESCAPE:
    case HGEK_P:
    case HGEK_PAD_START:
    case HGEK_STICK_UP:
    case HGEK_STICK_DOWN:
    case HGEK_STICK_LEFT:
    case HGEK_STICK_RIGHT: return true;
    default: return false;
  }
}

bool canBind(BindingSlot slot, int key) {
  if (!keyName(key) || isReservedKey(key)) return false;
  return (slot == SLOT_PAD) == isPadKey(key);
}

bool KeyBindings::find(int key, size_t& gameKey, BindingSlot& slot) const {
  if (key == 0) return false;
  for (size_t g = 0; g < keys.size(); ++g)
    for (int s = 0; s < SLOT_COUNT; ++s)
      if (keys[g].slots[static_cast<size_t>(s)] == key) {
        gameKey = g;
        slot = static_cast<BindingSlot>(s);
        return true;
      }
  return false;
}

bool KeyBindings::bind(size_t gameKey, BindingSlot slot, int key) {
  if (gameKey >= keys.size() || slot < 0 || slot >= SLOT_COUNT || !canBind(slot, key)) return false;
  const int replaced = keys[gameKey].slots[static_cast<size_t>(slot)];
  size_t otherKey = gameKey;
  BindingSlot otherSlot = slot;
  if (find(key, otherKey, otherSlot)) keys[otherKey].slots[static_cast<size_t>(otherSlot)] = replaced;
  keys[gameKey].slots[static_cast<size_t>(slot)] = key;
  keepFirstKeyFirst(otherKey);
  keepFirstKeyFirst(gameKey);
  return true;
}

void KeyBindings::clear(size_t gameKey, BindingSlot slot) {
  if (gameKey >= keys.size() || slot < 0 || slot >= SLOT_COUNT) return;
  keys[gameKey].slots[static_cast<size_t>(slot)] = 0;
  keepFirstKeyFirst(gameKey);
}

void KeyBindings::keepFirstKeyFirst(size_t gameKey) {
  auto& s = keys[gameKey].slots;
  if (s[SLOT_KEY1] == 0) std::swap(s[SLOT_KEY1], s[SLOT_KEY2]);
}

std::vector<hgeBinding> KeyBindings::engineTable() const {
  std::vector<hgeBinding> table;
  for (size_t g = 0; g < keys.size(); ++g)
    for (int key : keys[g].slots)
      if (key != 0) table.push_back({key, kGameKeys[g].code});
  table.push_back({HGEK_STICK_UP, HGEK_W});
  table.push_back({HGEK_STICK_DOWN, HGEK_S});
  table.push_back({HGEK_STICK_LEFT, HGEK_A});
  table.push_back({HGEK_STICK_RIGHT, HGEK_D});
  table.push_back({HGEK_ESCAPE, HGEK_ESCAPE});
  table.push_back({HGEK_PAD_START, HGEK_ESCAPE});
  return table;
}
