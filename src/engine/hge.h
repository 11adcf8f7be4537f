// The engine interface: window, frame loop, keyboard, quads, textures, sound,
// the resource pack, the log and random numbers. Game code reaches SDL, the
// clock and the file system's pack only through this object.
//
// There is one engine object per process. hgeCreate(HGE_VERSION) hands out a
// reference to it (creating it on first use); every reference is given back
// with Release(), and the object is destroyed when the last one is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using HTEXTURE = uint32_t;  // 0 means "no texture"
using HEFFECT = uint32_t;   // 0 plays nothing
using HSTREAM = uint32_t;
using HCHANNEL = uint32_t;
using HTARGET = uint32_t;

constexpr int HGE_VERSION = 0x180;

// Blend modes of a quad. The game uses two: the default alpha blend and the
// additive mode that the colour instruction of action scripts selects.
constexpr int BLEND_ALPHAADD = 0;    // colour multiplied, result added to the screen weighted by alpha
constexpr int BLEND_ALPHABLEND = 2;  // colour multiplied, alpha blended
constexpr int BLEND_DEFAULT = BLEND_ALPHABLEND;

// Windows virtual-key codes.
constexpr int HGEK_BACKSPACE = 0x08;
constexpr int HGEK_TAB = 0x09;
constexpr int HGEK_ENTER = 0x0D;
constexpr int HGEK_SHIFT = 0x10;
constexpr int HGEK_CTRL = 0x11;
constexpr int HGEK_ALT = 0x12;
constexpr int HGEK_ESCAPE = 0x1B;
constexpr int HGEK_SPACE = 0x20;
constexpr int HGEK_DELETE = 0x2E;
constexpr int HGEK_LEFT = 0x25;
constexpr int HGEK_UP = 0x26;
constexpr int HGEK_RIGHT = 0x27;
constexpr int HGEK_DOWN = 0x28;
constexpr int HGEK_0 = 0x30;  // 0x30..0x39 digits
constexpr int HGEK_A = 0x41;  // 0x41..0x5A letters
constexpr int HGEK_D = 0x44;
constexpr int HGEK_I = 0x49;
constexpr int HGEK_J = 0x4A;
constexpr int HGEK_K = 0x4B;
constexpr int HGEK_P = 0x50;
constexpr int HGEK_S = 0x53;
constexpr int HGEK_U = 0x55;
constexpr int HGEK_W = 0x57;
constexpr int HGEK_Z = 0x5A;
constexpr int HGEK_F1 = 0x70;  // 0x70..0x7B F1..F12
constexpr int HGEK_F11 = 0x7A;
constexpr int HGEK_F12 = 0x7B;
constexpr int HGEK_SEMICOLON = 0xBA;
constexpr int HGEK_PERIOD = 0xBE;
constexpr int HGEK_SLASH = 0xBF;
constexpr int HGEK_APOSTROPHE = 0xDE;
// Not a key of the keyboard or a pad: the game's key a seat presses for one
// step to leave the game (the pause menu's "Leave game"), so that recordings
// and replays hold the leaving like any other key of the seat.
constexpr int HGEK_LEAVE = 0xFF;
// A game controller's buttons and its left stick's four directions, as keys
// (Windows' gamepad virtual-key codes). Every pad plugged in presses the same
// keys. Face buttons are named by place, as on the common layout: A bottom, B
// right, X left, Y top.
constexpr int HGEK_PAD_A = 0xC3;
constexpr int HGEK_PAD_B = 0xC4;
constexpr int HGEK_PAD_X = 0xC5;
constexpr int HGEK_PAD_Y = 0xC6;
constexpr int HGEK_PAD_RB = 0xC7;  // right shoulder
constexpr int HGEK_PAD_LB = 0xC8;  // left shoulder
constexpr int HGEK_PAD_LT = 0xC9;  // left trigger, pressed past half its travel
constexpr int HGEK_PAD_RT = 0xCA;
constexpr int HGEK_PAD_UP = 0xCB;  // the d-pad
constexpr int HGEK_PAD_DOWN = 0xCC;
constexpr int HGEK_PAD_LEFT = 0xCD;
constexpr int HGEK_PAD_RIGHT = 0xCE;
constexpr int HGEK_PAD_START = 0xCF;
constexpr int HGEK_PAD_BACK = 0xD0;
constexpr int HGEK_PAD_LSTICK = 0xD1;  // the sticks pressed in
constexpr int HGEK_PAD_RSTICK = 0xD2;
constexpr int HGEK_STICK_UP = 0xD3;  // the left stick pushed out of its dead zone
constexpr int HGEK_STICK_DOWN = 0xD4;
constexpr int HGEK_STICK_RIGHT = 0xD5;
constexpr int HGEK_STICK_LEFT = 0xD6;
constexpr int HGEK_COUNT = 256;
// Seats: up to four people play at once. The game's keys of seat 1 are the
// codes above; seat N's are the same codes plus (N - 1) * HGEK_COUNT.
// Recordings and replays hold them with their seat.
constexpr int HGE_SEATS = 4;
constexpr int hgeSeatKey(int key, int seat) { return key + (seat - 1) * HGEK_COUNT; }
constexpr int hgeSeatOfKey(int code) { return code / HGEK_COUNT + 1; }
constexpr int hgeKeyOfSeatKey(int code) { return code % HGEK_COUNT; }
// Pads one by one: besides the shared HGEK_PAD_* and HGEK_STICK_* keys that
// every pad presses, the pad in slot P (0-3, given in the order pads are
// plugged in, the lowest free slot first) presses raw keys of its own.
constexpr int HGE_PADSLOTS = 4;
constexpr int hgePadKey(int padKey, int slot) { return padKey + (HGE_SEATS + slot) * HGEK_COUNT; }
constexpr int hgePadSlotOfKey(int code) { return code / HGEK_COUNT - HGE_SEATS; }
// Every key code, raw or the game's, is below this.
constexpr int HGEK_KEYSPACE = (HGE_SEATS + HGE_PADSLOTS) * HGEK_COUNT;

struct hgeVertex {
  float x = 0, y = 0;  // screen position
  float z = 0.5f;      // depth, unused by the game
  uint32_t col = 0xFFFFFFFF;  // ARGB, alpha in the top byte
  float tx = 0, ty = 0;       // texture coordinates
};

// Corners: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
struct hgeQuad {
  hgeVertex v[4];
  HTEXTURE tex = 0;
  int blend = BLEND_DEFAULT;
};

enum hgeBoolState {
  HGE_WINDOWED,  // false: fullscreen. Set after System_Initiate, it switches the window
  HGE_USESOUND,
  HGE_SHOWSPLASH,
  HGE_HIDEMOUSE,
  HGE_HEADLESS,  // no window, no audio device, no pacing; input from a replay or the input callback
  HGE_SHOWSTATS, // print frame-interval statistics at the end of System_Start
  HGE_DRAWALWAYS,  // headless: draw every frame in software into the picture, as for a screenshot
                   // but writing none (to measure drawing); quads are otherwise only counted
};

enum hgeFuncState {
  HGE_FRAMEFUNC,   // logic; returning true ends the frame loop
  HGE_RENDERFUNC,  // drawing only (a late window skips it); its result is ignored
  HGE_INPUTFUNC,   // called before each step's frame callback, after the keyboard and replay; may inject keys
  // Called first in each frame, after the window's events: true when the game
  // runs in this frame (a step), false while it is paused. Replays and
  // recordings count steps; presses made while paused are forgotten when play
  // resumes. Without it every frame is a step.
  HGE_CLOCKFUNC,
};

// The world as one number, for replays (see HGE_CHECKSUMFUNC).
enum hgeChecksumFuncState {
  HGE_CHECKSUMFUNC,  // called after the frame callback of every 100th frame when recording, and of
                     // every frame a replay holds a checksum for; must change nothing
};

// The end of the program's run, after the frame loop.
enum hgeEndFuncState {
  // Called once when System_Start's frame loop has ended, where the program
  // is to finish its run (shut the engine down, say how it went) and return
  // its exit status. On the desktop System_Start returns first and the program
  // calls it itself; in a browser, where the page runs one frame per callback
  // and System_Start never returns, the engine calls it after the last frame.
  HGE_ENDFUNC,
};

enum hgeIntState {
  HGE_SCREENWIDTH,
  HGE_SCREENHEIGHT,
  HGE_FPS,
  HGE_MAXFRAMES,  // end the loop after this many frames; 0 = no limit
  // Read only, for the run since System_Initiate:
  HGE_OUTPUTFAILURES,  // files the engine could not write (the recording, screenshots); each was
                       // reported once on stderr and in the log
  HGE_DIVERGEDFRAME,   // the frame at which the world stopped matching the replay's checksums
                       // (the frame loop stopped there); 0 when it did not
  // The player's levels for music and effects, 0..100 (default 100): every
  // volume the game asks for is scaled by them, and a change applies at once,
  // to the music playing too.
  HGE_MUSICVOLUME,
  HGE_EFFECTSVOLUME,
  // The window's size while windowed (the picture is scaled to it). Set before
  // System_Initiate: the size it opens at (default: the screen size), kept
  // within the desktop. Read: its size now, or before it went fullscreen.
  HGE_WINDOWWIDTH,
  HGE_WINDOWHEIGHT,
  // The seats that play from the first frame (1-4); a recording of two or more
  // says so in its "players" line.
  HGE_PLAYERS,
  // 1 when the checksum callback sums the whole saved state of the world: a
  // recording says so in its "checks state" line. Read after System_Initiate:
  // 1 when the replay's checks are such sums.
  HGE_STATECHECKS,
  // Read only: entries of the attached pack read so far, all of them and
  // those read on the thread that runs the frames (the game reads ahead on
  // another, so in play this stays 0).
  HGE_PACKREADS,
  HGE_PACKMAINREADS,
};

// What happened to the window and the pads (Input_GetEvents), as bits.
enum hgeInputEvent {
  HGEINPUT_FOCUSLOST = 1,    // the window lost the keyboard: every key and button was let go
  HGEINPUT_PADADDED = 2,     // a pad was plugged in
  HGEINPUT_PADREMOVED = 4,   // a pad was unplugged: its buttons were let go
};

// The keyboard key or pad button `key` presses the game's key `gameKey`.
struct hgeBinding {
  int key = 0;
  int gameKey = 0;
};

enum hgeStringState {
  HGE_TITLE,       // UTF-8
  HGE_LOGFILE,     // log file name; written in the game folder, or the user's data folder
  HGE_ICON,        // window icon file (ICO)
  HGE_REPLAYFILE,  // feed keys from this replay file and compare the world with its checksums
  HGE_RECORDFILE,  // write the seed, every key change and the world's checksums of the run to this file
  HGE_RECORDMODS,  // the mods of the run, one "NAME HASH" a line, bottom first: the recording names them
  // Header lines a recording holds after the seed and players lines, as given
  // (the game's "difficulty" and "hero" lines, separated by line ends).
  HGE_RECORDHEADER,
};

using hgeCallback = std::function<bool()>;
using hgeChecksumCallback = std::function<uint64_t()>;
using hgeEndCallback = std::function<int()>;
using hgeFileLookup = std::function<int(const std::string& name, std::vector<uint8_t>& out, std::string& error)>;

// What the capture hook sees of each drawn quad (tests).
using hgeQuadHook = std::function<void(const hgeQuad&)>;

class HGE {
 public:
  virtual void Release() = 0;

  // Set-up. States are set before System_Initiate.
  virtual bool System_Initiate() = 0;
  virtual void System_Shutdown() = 0;
  // Runs the frame loop: each frame the input callback, the frame callback, then
  // the render callback, at HGE_FPS (unpaced when headless). A window that is
  // late skips render callbacks (at most four frames in a row) to keep the
  // rate of frames. Returns when the frame callback returns true, the window
  // is closed or HGE_MAXFRAMES is reached.
  virtual bool System_Start() = 0;
  virtual void System_SetState(hgeBoolState state, bool value) = 0;
  virtual void System_SetState(hgeFuncState state, hgeCallback value) = 0;
  virtual void System_SetState(hgeChecksumFuncState state, hgeChecksumCallback value) = 0;
  virtual void System_SetState(hgeEndFuncState state, hgeEndCallback value) = 0;
  virtual void System_SetState(hgeIntState state, int value) = 0;
  virtual void System_SetState(hgeStringState state, const char* value) = 0;
  virtual bool System_GetState(hgeBoolState state) = 0;
  virtual int System_GetState(hgeIntState state) = 0;
  virtual std::string System_GetState(hgeStringState state) = 0;
  virtual std::string System_GetErrorMessage() = 0;
  // One UTF-8 line in the log, printf style, flushed at once.
  virtual void System_Log(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;
  // The frame being run: frame callbacks counted from 1 (0 before the first).
  virtual int System_GetFrame() = 0;
  // The steps run so far (frames in which the game ran), from 1; 0 before the first.
  virtual int System_GetStep() = 0;
  // A message for the player: a message box in a window, a log line headless.
  virtual void System_MessageBox(const char* text, const char* caption) = 0;
  // Today as YYYY-MM-DD in local time, for what the player keeps (the high
  // scores); never for anything the world does.
  virtual std::string System_GetDate();
  // The game entered scene `name` in this frame: with HGE_SHOWSTATS the
  // statistics at exit give the longest frame around each such change.
  virtual void System_MarkScene(const char* name) { (void)name; }
  // Write the picture of frame `frame` to a PNG file (headless and windowed).
  virtual void System_AddScreenshot(int frame, const char* path) = 0;

  // Files: the attached pack first, then the file system (relative to the
  // working directory). Resource_Load returns nullptr on failure.
  virtual bool Resource_AttachPack(const char* filename, const char* password = nullptr) = 0;
  // Files found before the pack and the game folder: the mods'. `lookup(name,
  // out, error)` gives 1 with the bytes, 0 when no mod has the file, -1 with
  // the reason when a mod has it but it cannot be read. Without one, nothing.
  virtual void Resource_SetLookup(hgeFileLookup lookup) { (void)lookup; }
  virtual void* Resource_Load(const char* filename, uint32_t* size = nullptr) = 0;
  // Asks for a file of the pack to be read in the background, ahead of its
  // load. True when loading it now will not wait for the pack (read already,
  // or not in the pack). Effect_Prefetch: the same for a sound, which needs
  // no reading where sounds are never heard.
  virtual bool Resource_Prefetch(const char* filename) {
    (void)filename;
    return true;
  }
  virtual bool Effect_Prefetch(const char* filename) { return Resource_Prefetch(filename); }
  virtual void Resource_Free(void* res) = 0;

  virtual void Random_Seed(int seed = 0) = 0;  // 0 = a fresh seed from the clock, else Random_SetSeed(seed)
  // Seeds with exactly `seed`, 0 included: the same seed gives the same numbers.
  virtual void Random_SetSeed(int seed) = 0;
  // The seed in effect: the last one set, or the one drawn from the clock
  // (always a whole number from 1 to 2147483647, so it can be set again).
  virtual int Random_GetSeed() = 0;
  // The generator's whole state, for checksums of the world (draws nothing).
  virtual uint64_t Random_GetState() = 0;
  virtual int Random_Int(int min, int max) = 0;  // uniform, both bounds included

  virtual HTEXTURE Texture_Load(const char* filename, uint32_t size = 0, bool mipmap = false) = 0;
  virtual void Texture_Free(HTEXTURE tex) = 0;
  virtual int Texture_GetWidth(HTEXTURE tex, bool original = false) = 0;
  virtual int Texture_GetHeight(HTEXTURE tex, bool original = false) = 0;

  virtual HEFFECT Effect_Load(const char* filename, uint32_t size = 0) = 0;
  virtual HCHANNEL Effect_PlayEx(HEFFECT eff, int volume = 100, int pan = 0, float pitch = 1.0f,
                                 bool loop = false) = 0;
  // Stops a sound Effect_PlayEx started; a channel that has moved on to
  // another sound since is left alone.
  virtual void Channel_Stop(HCHANNEL chan) = 0;
  virtual HSTREAM Stream_Load(const char* filename, uint32_t size = 0) = 0;
  virtual HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume = 100) = 0;

  // Keys come in two layers. Raw keys are the keyboard and the pads as they
  // are. The game's keys are what the game reads and what recordings hold;
  // replays and the built-in player press them directly, and a raw key presses
  // one only through the bindings (Input_SetBindings), so a replay plays the
  // same whatever keys the player chose.
  //
  // True only in the frame in which the key went down (once per press), as a
  // raw key or as a game's key.
  virtual bool Input_KeyDown(int key) = 0;
  // True while the key is held, as a raw key or as a game's key.
  virtual bool Input_GetKeyState(int key) = 0;
  // Press or release one of the game's keys (replays, the built-in player);
  // takes effect in the current frame when called from the input callback.
  virtual void Input_InjectKey(int key, bool down) = 0;
  // True when the game's key went down since the last step: what the game
  // reads. It is the same as Input_KeyDown while the game is never paused.
  virtual bool Input_StepKeyDown(int key) = 0;
  // True while the game's key is held: what the game reads.
  virtual bool Input_GameKeyState(int key) = 0;
  // Raw keys, for menus, the pause key and choosing keys: went down in this
  // frame, held. They are never recorded.
  virtual bool Input_RawKeyDown(int key) = 0;
  virtual bool Input_RawKeyState(int key) = 0;
  // How many times the raw key went down in this frame: a menu moves once
  // for each tap, however quickly they came.
  virtual int Input_RawKeyPresses(int key) { return Input_RawKeyDown(key) ? 1 : 0; }
  // Press or release a raw key as if on the keyboard or a pad (tests).
  virtual void Input_InjectRawKey(int key, bool down) = 0;
  // Replaces the bindings of raw keys to the game's keys; a raw key may press
  // several, and several may press one (it is held while any of them is). A
  // raw key in no binding never reaches the game. Until this is called every
  // raw key presses the game's key of its own code. Game keys held through the
  // old bindings are let go; raw keys held now hold their new game keys
  // without a press.
  virtual void Input_SetBindings(const std::vector<hgeBinding>& bindings) = 0;
  // What happened to the window and the pads while this frame's events were
  // read (hgeInputEvent bits; 0 headless).
  virtual int Input_GetEvents() = 0;
  // The names of the pads plugged in now.
  virtual std::vector<std::string> Input_GetPads() = 0;
  // The slots (0 to HGE_PADSLOTS - 1) of the pads plugged in now that have one.
  virtual std::vector<int> Input_GetPadSlots() = 0;

  virtual bool Gfx_BeginScene(HTARGET target = 0) = 0;
  virtual void Gfx_EndScene() = 0;
  virtual void Gfx_Clear(uint32_t color) = 0;
  virtual void Gfx_RenderQuad(const hgeQuad* quad) = 0;
  // Every quad handed to Gfx_RenderQuad is also passed to the hook (tests).
  virtual void Gfx_SetCaptureHook(hgeQuadHook hook) = 0;
  // Quads drawn since System_Initiate (all of them, drawn or only counted).
  virtual uint64_t Gfx_GetQuadCount() = 0;

 protected:
  virtual ~HGE() = default;
};

// The one engine object; `version` must be HGE_VERSION, else nullptr.
HGE* hgeCreate(int version);
