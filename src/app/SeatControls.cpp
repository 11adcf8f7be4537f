#include "app/SeatControls.h"

#include <algorithm>

#include "app/KeyBindings.h"
#include "app/PlayerSettings.h"
#include "engine/KeyNames.h"
#include "world/World.h"

namespace {

// The left stick walks, on every pad, for whichever seat the pad plays.
constexpr int kStick[4][2] = {
    {HGEK_STICK_UP, HGEK_W}, {HGEK_STICK_DOWN, HGEK_S}, {HGEK_STICK_LEFT, HGEK_A}, {HGEK_STICK_RIGHT, HGEK_D}};

bool contains(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

}  // namespace

SeatControls::SeatControls(HGE* engine, const PlayerSettings& settings) : engine_(engine), settings_(settings) {
  holder_[keyboardSet(1)] = 1;
}

bool SeatControls::held(int seat) const {
  return std::any_of(holder_.begin(), holder_.end(), [seat](int h) { return h == seat; });
}

bool SeatControls::bot(int seat) const { return contains(botSeats_, seat); }

bool SeatControls::padsApart() const {
  for (int slot = 0; slot < HGE_PADSLOTS; ++slot)
    if (holder_[static_cast<size_t>(pad(slot))] > 1) return true;
  return false;
}

int SeatControls::freeSeat(const World& world) const {
  for (int seat = 1; seat <= HGE_SEATS; ++seat)
    if (!held(seat) && !bot(seat) && world.seat(seat).state != Seat::OUT) return seat;
  return 0;
}

void SeatControls::table(std::vector<hgeBinding>& out) const {
  const Settings& s = settings_.settings();
  out.clear();
  const bool secondSetHeld = holder_[keyboardSet(2)] != 0;
  const KeyBindings& secondSet = s.keysOf(2);
  for (int set = 1; set <= HGE_SEATS; ++set) {
    const int seat = holder_[static_cast<size_t>(keyboardSet(set))];
    if (!seat) continue;
    const KeyBindings& keys = s.keysOf(set);
    for (size_t g = 0; g < keys.keys.size(); ++g)
      for (int slot : {SLOT_KEY1, SLOT_KEY2}) {
        const int key = keys.keys[g].slots[static_cast<size_t>(slot)];
        if (!key) continue;
        // Seat 1's second keys lent by seat 2 go back to it while it is at the keyboard.
        size_t otherKey = 0;
        BindingSlot otherSlot = SLOT_KEY1;
        if (set == 1 && slot == SLOT_KEY2 && secondSetHeld && secondSet.find(key, otherKey, otherSlot)) continue;
        out.push_back({key, hgeSeatKey(kGameKeys[g].code, seat)});
      }
  }
  if (!padsApart()) {
    // Every pad plays seat 1, through the keys all pads press.
    const KeyBindings& keys = s.keysOf(1);
    for (size_t g = 0; g < keys.keys.size(); ++g)
      if (const int button = keys.keys[g].slots[SLOT_PAD]) out.push_back({button, kGameKeys[g].code});
    for (const auto& [stick, game] : kStick) out.push_back({stick, game});
  } else {
    for (int slot = 0; slot < HGE_PADSLOTS; ++slot) {
      const int seat = holder_[static_cast<size_t>(pad(slot))];
      if (!seat) continue;
      const KeyBindings& keys = s.keysOf(seat);
      for (size_t g = 0; g < keys.keys.size(); ++g)
        if (const int button = keys.keys[g].slots[SLOT_PAD])
          out.push_back({hgePadKey(button, slot), hgeSeatKey(kGameKeys[g].code, seat)});
      for (const auto& [stick, game] : kStick) out.push_back({hgePadKey(stick, slot), hgeSeatKey(game, seat)});
    }
  }
  // The ending screen's quit key.
  out.push_back({HGEK_ESCAPE, HGEK_ESCAPE});
  out.push_back({HGEK_PAD_START, HGEK_ESCAPE});
}

void SeatControls::rebind() {
  table(asked_);
  const bool same = givenOnce_ && asked_.size() == given_.size() &&
                    std::equal(asked_.begin(), asked_.end(), given_.begin(),
                               [](const hgeBinding& a, const hgeBinding& b) {
                                 return a.key == b.key && a.gameKey == b.gameKey;
                               });
  if (same) return;
  engine_->Input_SetBindings(asked_);
  given_ = asked_;
  givenOnce_ = true;
}

bool SeatControls::joinPressed(int device, int seat, bool& start) const {
  start = false;
  const Settings& s = settings_.settings();
  if (device < HGE_SEATS) {
    const KeyBinding& punch = s.keysOf(device + 1).keys[KEY_J];
    for (int slot : {SLOT_KEY1, SLOT_KEY2})
      if (const int key = punch.slots[static_cast<size_t>(slot)]; key && engine_->Input_RawKeyDown(key)) return true;
    return false;
  }
  const int slot = device - HGE_SEATS;
  if (engine_->Input_RawKeyDown(hgePadKey(HGEK_PAD_START, slot))) {
    start = true;
    return true;
  }
  // While every pad plays seat 1, its punch is seat 1's punch; Start joins.
  if (!padsApart()) return false;
  const int button = s.keysOf(seat).keys[KEY_J].slots[SLOT_PAD];
  return button && engine_->Input_RawKeyDown(hgePadKey(button, slot));
}

void SeatControls::take(int device, int seat, bool start) {
  holder_[static_cast<size_t>(device)] = seat;
  engine_->System_Log("Seat %d is played on %s", seat,
                      device < HGE_SEATS ? ("the keyboard's keys of seat " + std::to_string(device + 1)).c_str()
                                         : ("pad " + std::to_string(device - HGE_SEATS + 1)).c_str());
  // The press that joined counts as the seat's punch in this step: a free
  // seat's fighter drops in on it. Pressed before the new bindings, which
  // then hold it while the key that joined is down.
  const int punch = hgeSeatKey(HGEK_J, seat);
  if (!engine_->Input_GameKeyState(punch)) engine_->Input_InjectKey(punch, true);
  if (start) pressedKeys_.push_back(punch);
}

void SeatControls::update(const World* world, bool mayJoin, bool lobby) {
  startUsed_ = false;
  // Pads that went: their seats are free for the next one to take.
  const std::vector<int> slots = engine_->Input_GetPadSlots();
  for (int slot = 0; slot < HGE_PADSLOTS; ++slot)
    if (!contains(slots, slot)) holder_[static_cast<size_t>(pad(slot))] = 0;
  mayLeave_.clear();
  if (world && !replaying_ && world->seatsPlaying() >= 2)
    for (int seat = 1; seat <= HGE_SEATS; ++seat)
      if (world->seat(seat).state == Seat::PLAYING && !bot(seat) && held(seat)) mayLeave_.push_back(seat);
  if (world && mayJoin && !replaying_) {
    // A pad that presses anything while every pad plays seat 1 is seat 1's.
    if (!padsApart())
      for (int slot : slots) {
        int& h = holder_[static_cast<size_t>(pad(slot))];
        if (h) continue;
        for (int key = HGEK_PAD_A; key <= HGEK_STICK_LEFT && !h; ++key)
          if (key != HGEK_PAD_START && engine_->Input_RawKeyDown(hgePadKey(key, slot))) h = 1;
      }
    for (int device = 0; device < kDevices; ++device) {
      if (holder_[static_cast<size_t>(device)]) continue;
      if (device >= HGE_SEATS && !contains(slots, device - HGE_SEATS)) continue;
      const int seat = freeSeat(*world);
      if (!seat) break;
      bool start = false;
      if (!joinPressed(device, seat, start)) continue;
      take(device, seat, start);
      startUsed_ = startUsed_ || start;
    }
  }
  if (lobby && !replaying_) {
    // Before the game: the lobby counts the seat's punch as joining.
    for (int device = 0; device < kDevices; ++device) {
      if (holder_[static_cast<size_t>(device)]) continue;
      if (device >= HGE_SEATS && !contains(slots, device - HGE_SEATS)) continue;
      int seat = 1;
      while (seat <= HGE_SEATS && (held(seat) || bot(seat))) ++seat;
      if (seat > HGE_SEATS) break;
      bool start = false;
      if (!joinPressed(device, seat, start)) continue;
      take(device, seat, start);
      startUsed_ = startUsed_ || start;
    }
  }
  rebind();
}

void SeatControls::leave(int seat) {
  if (seat >= 1 && seat <= HGE_SEATS && !contains(pendingLeaves_, seat)) pendingLeaves_.push_back(seat);
}

void SeatControls::beforeStep() {
  for (int key : pressedKeys_) engine_->Input_InjectKey(key, false);
  pressedKeys_.clear();
  if (pendingLeaves_.empty()) return;
  for (int seat : pendingLeaves_) {
    const int key = hgeSeatKey(HGEK_LEAVE, seat);
    engine_->Input_InjectKey(key, true);
    pressedKeys_.push_back(key);
    for (int& h : holder_)
      if (h == seat) h = 0;
  }
  pendingLeaves_.clear();
  rebind();
}
