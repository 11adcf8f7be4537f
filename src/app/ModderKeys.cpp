#include "app/ModderKeys.h"

#include "gfx/Shapes.h"

namespace {

constexpr int kF1 = HGEK_F1, kF2 = HGEK_F1 + 1, kF3 = HGEK_F1 + 2, kF4 = HGEK_F1 + 3, kF5 = HGEK_F1 + 4,
              kF6 = HGEK_F1 + 5;
constexpr int kSlowEvery = 4;
constexpr uint32_t kMessageText = 0xFFFFFFFF, kErrorText = 0xFFFF7070, kPausedText = 0xFFFFD040;
// Long messages are cut into lines of at most this many characters.
constexpr size_t kLineLength = 110;

}  // namespace

ModderKeys::ModderKeys(HGE* engine, ScreenFlow& flow, WorldReload reload, bool watch, bool overlayShown)
    : engine_(engine), flow_(flow), reload_(std::move(reload)), watch_(watch), overlayShown_(overlayShown) {}

DebugOverlay& ModderKeys::overlay() {
  if (!overlay_) overlay_ = std::make_unique<DebugOverlay>(engine_);
  return *overlay_;
}

void ModderKeys::show(const std::string& message, bool error) {
  message_ = message;
  messageIsError_ = error;
  messageFrames_ = error ? kErrorFrames : kMessageFrames;
  engine_->System_Log("%s", message.c_str());
}

void ModderKeys::reload(const std::string& why) {
  // A recording or a replay holds the keys of one world: a new world in the
  // middle of it would no longer replay.
  if (!engine_->System_GetState(HGE_REPLAYFILE).empty() || !engine_->System_GetState(HGE_RECORDFILE).empty()) {
    show("no reload while a replay plays or a recording is made: it would no longer replay", true);
    return;
  }
  const WorldReload::Result result = reload_.reload(flow_);
  show(why + (why.empty() ? "" : ": ") + (result.reloaded ? "" : "reload failed: ") + result.message, !result.reloaded);
  // What was read is the new starting point for --watch.
  if (watch_) {
    files_.look();
    looked_ = true;
  }
}

void ModderKeys::stepBack() {
  if (!rewind_ || !flow_.world() || flow_.state() != ScreenFlow::PLAYING) return;
  // As for a reload: a recording or a replay holds the steps of one unbroken game.
  if (!engine_->System_GetState(HGE_REPLAYFILE).empty() || !engine_->System_GetState(HGE_RECORDFILE).empty()) {
    show("no rewinding while a replay plays or a recording is made: it would no longer replay", true);
    return;
  }
  flow_.clock().modderPaused = true;
  if (!rewind_->stepBack(*flow_.world())) show("nothing further back to rewind to (ten seconds are kept)", false);
}

void ModderKeys::beforeClock() {
  ++frames_;
  if (messageFrames_ > 0 && --messageFrames_ == 0) message_.clear();
  PlayClock& clock = flow_.clock();
  if (engine_->Input_KeyDown(kF1)) overlayShown_ = !overlayShown_;
  if (engine_->Input_KeyDown(kF2)) clock.modderPaused = !clock.modderPaused;
  if (engine_->Input_KeyDown(kF3)) {
    clock.modderPaused = true;
    clock.stepOnce();
  }
  if (engine_->Input_KeyDown(kF4)) clock.slowEvery = clock.slowEvery == kSlowEvery ? 1 : kSlowEvery;
  if (engine_->Input_KeyDown(kF5)) reload("F5");
  if (engine_->Input_KeyDown(kF6)) {
    rewindHeld_ = 0;
    stepBack();
  } else if (engine_->Input_RawKeyState(kF6) && ++rewindHeld_ >= kRewindHoldFrames) {
    stepBack();
  }
  if (!watch_) return;
  if (!looked_) {
    files_.look();
    looked_ = true;
    return;
  }
  if (frames_ % kWatchEvery != 0) return;
  const std::vector<std::string> changed = files_.changes();
  if (changed.empty()) return;
  std::string what = changed.front();
  if (changed.size() > 1) what += " and " + std::to_string(changed.size() - 1) + " more";
  reload(what + " changed");
}

void ModderKeys::draw() {
  const World* world = flow_.world();
  const PlayClock& clock = flow_.clock();
  const bool playing = world && flow_.state() == ScreenFlow::PLAYING;
  if (playing && overlayShown_) {
    overlay().draw(*world, OverlayClock{engine_->System_GetStep(), clock.modderPaused, clock.slowEvery});
  } else if (playing && (clock.modderPaused || clock.slowEvery > 1)) {
    // Without the overlay a paused or slowed game still says so.
    overlay().text(400, 460, clock.modderPaused ? "PAUSED (F2 go on, F3 one step, F6 one step back)" : "SLOW MOTION (F4)", AlignCenter,
                   kPausedText);
  }
  if (message_.empty()) return;
  DebugOverlay& o = overlay();
  float y = 44;
  for (size_t at = 0; at < message_.size(); at += kLineLength)
    y += o.text(400, y, message_.substr(at, kLineLength), AlignCenter, messageIsError_ ? kErrorText : kMessageText);
}
