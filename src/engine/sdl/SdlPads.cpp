#include "engine/sdl/SdlPads.h"

#include <algorithm>

#include "base/FileBytes.h"
#include "engine/Keyboard.h"

namespace {

// The largest mapping file read: SDL's community database is about half a megabyte.
constexpr uint64_t kMaxMappingBytes = 4u << 20;
constexpr int kAxisDown = 16384;  // half the travel
constexpr int kAxisUp = 10923;    // a third

std::string guidOf(SDL_JoystickGUID guid) {
  char text[64] = {};
  SDL_JoystickGetGUIDString(guid, text, sizeof text);
  return text;
}

}  // namespace

int padKeyOfButton(int sdlButton) {
  switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_A: return HGEK_PAD_A;
    case SDL_CONTROLLER_BUTTON_B: return HGEK_PAD_B;
    case SDL_CONTROLLER_BUTTON_X: return HGEK_PAD_X;
    case SDL_CONTROLLER_BUTTON_Y: return HGEK_PAD_Y;
    case SDL_CONTROLLER_BUTTON_BACK: return HGEK_PAD_BACK;
    case SDL_CONTROLLER_BUTTON_START: return HGEK_PAD_START;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return HGEK_PAD_LSTICK;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return HGEK_PAD_RSTICK;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return HGEK_PAD_LB;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return HGEK_PAD_RB;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return HGEK_PAD_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return HGEK_PAD_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return HGEK_PAD_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return HGEK_PAD_RIGHT;
    default: return 0;  // the guide button (the system's), paddles and the like
  }
}

bool padAxisHolds(int value, bool held) { return held ? value > kAxisUp : value > kAxisDown; }

SdlPads::~SdlPads() {
  pads_.clear();
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlPads::open(const std::string& mappingsFile, Log log) {
  log_ = std::move(log);
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    log_(std::string("No pads: cannot start SDL's game controller support: ") + SDL_GetError());
    return;
  }
  started_ = true;
  if (!mappingsFile.empty()) addMappings(mappingsFile);
  // SDL announces the pads it knew at its start with events; pads that only
  // the file's mappings made known are opened here.
  int events = 0;
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (SDL_IsGameController(i)) add(i, events);
}

void SdlPads::addMappings(const std::string& file) {
  Expected<std::vector<uint8_t>> bytes = readFileBytes(file, kMaxMappingBytes);
  if (!bytes) {
    if (bytes.error().what.find("No such file") == std::string::npos)
      log_("Pad mappings not read: " + file + ": " + bytes.error().what);
    return;
  }
  // SDL reads the lines for this system and skips the ones it cannot read.
  SDL_RWops* rw = SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
  const int added = rw ? SDL_GameControllerAddMappingsFromRW(rw, 1) : -1;
  if (added < 0)
    log_("Pad mappings not read: " + file + ": " + SDL_GetError());
  else
    log_("Pad mappings: " + std::to_string(added) + " from " + file);
}

SdlPads::Pad* SdlPads::find(SDL_JoystickID id) {
  for (Pad& pad : pads_)
    if (pad.id == id) return &pad;
  return nullptr;
}

void SdlPads::add(int deviceIndex, int& events) {
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (id < 0 || find(id)) return;
  Pad pad;
  pad.controller.reset(SDL_GameControllerOpen(deviceIndex));
  if (!pad.controller) {
    log_(std::string("A pad could not be opened: ") + SDL_GetError());
    return;
  }
  pad.id = id;
  // The lowest slot no other pad holds; a fifth pad acts through the shared keys only.
  for (int slot = 0; slot < HGE_PADSLOTS && pad.slot < 0; ++slot)
    if (std::none_of(pads_.begin(), pads_.end(), [slot](const Pad& p) { return p.slot == slot; })) pad.slot = slot;
  const char* name = SDL_GameControllerName(pad.controller.get());
  pad.name = name ? name : "pad";
  log_("Pad plugged in: " + pad.name);
  pads_.push_back(std::move(pad));
  events |= HGEINPUT_PADADDED;
}

void SdlPads::remove(SDL_JoystickID id, Keyboard& keys, int& events) {
  Pad* pad = find(id);
  if (!pad) return;
  for (int key = 1; key < HGEK_COUNT; ++key)
    if (pad->held[static_cast<size_t>(key)]) set(*pad, key, false, keys);
  log_("Pad unplugged: " + pad->name);
  pads_.erase(pads_.begin() + (pad - pads_.data()));
  events |= HGEINPUT_PADREMOVED;
}

void SdlPads::set(Pad& pad, int key, bool down, Keyboard& keys) {
  if (key <= 0 || key >= HGEK_COUNT || pad.held[static_cast<size_t>(key)] == down) return;
  pad.held[static_cast<size_t>(key)] = down;
  // The pad's own key, for the seat that holds this pad.
  if (pad.slot >= 0) {
    if (down)
      keys.press(hgePadKey(key, pad.slot));
    else
      keys.release(hgePadKey(key, pad.slot));
  }
  if (down) {
    keys.press(key);
    return;
  }
  const bool another = std::any_of(pads_.begin(), pads_.end(),
                                   [key](const Pad& p) { return p.held[static_cast<size_t>(key)]; });
  if (!another) keys.release(key);
}

void SdlPads::axis(Pad& pad, int axis, int value, Keyboard& keys) {
  auto follow = [&](int key, int push) { set(pad, key, padAxisHolds(push, pad.held[static_cast<size_t>(key)]), keys); };
  // -value of -32768 is 32768: kept in an int.
  switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
      follow(HGEK_STICK_RIGHT, value);
      follow(HGEK_STICK_LEFT, -value);
      break;
    case SDL_CONTROLLER_AXIS_LEFTY:  // down is positive
      follow(HGEK_STICK_DOWN, value);
      follow(HGEK_STICK_UP, -value);
      break;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT: follow(HGEK_PAD_LT, value); break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: follow(HGEK_PAD_RT, value); break;
    default: break;
  }
}

bool SdlPads::handle(const SDL_Event& e, Keyboard& keys, int& events) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (started_) add(e.cdevice.which, events);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      remove(e.cdevice.which, keys, events);
      return true;
    case SDL_JOYDEVICEADDED:
      if (started_ && !SDL_IsGameController(e.jdevice.which)) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(e.jdevice.which);
        if (std::find(unknownReported_.begin(), unknownReported_.end(), id) == unknownReported_.end()) {
          unknownReported_.push_back(id);
          const char* name = SDL_JoystickNameForIndex(e.jdevice.which);
          log_(std::string("A joystick SDL has no pad mapping for is left alone: ") + (name ? name : "unnamed") +
               " (" + guidOf(SDL_JoystickGetDeviceGUID(e.jdevice.which)) +
               "); a line for it in gamecontrollerdb.txt or SDL_GAMECONTROLLERCONFIG makes it a pad");
        }
      }
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (Pad* pad = find(e.cbutton.which))
        set(*pad, padKeyOfButton(e.cbutton.button), e.type == SDL_CONTROLLERBUTTONDOWN, keys);
      return true;
    case SDL_CONTROLLERAXISMOTION:
      if (Pad* pad = find(e.caxis.which)) axis(*pad, e.caxis.axis, e.caxis.value, keys);
      return true;
    default:
      return false;
  }
}

std::vector<int> SdlPads::slots() const {
  std::vector<int> out;
  for (const Pad& pad : pads_)
    if (pad.slot >= 0) out.push_back(pad.slot);
  return out;
}

std::vector<std::string> SdlPads::names() const {
  std::vector<std::string> out;
  for (const Pad& pad : pads_) out.push_back(pad.name);
  return out;
}
