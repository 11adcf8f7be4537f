#include "world/OwnedObjects.h"

Obj* OwnedObjects::adopt(std::unique_ptr<Obj> o) {
  Obj* raw = o.get();
  if (!raw) return nullptr;
  uint32_t at = 0;
  if (!free_.empty()) {
    at = free_.back();
    free_.pop_back();
  } else {
    at = static_cast<uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  raw->ownerSlot = at;
  slots_[at] = std::move(o);
  return raw;
}

std::unique_ptr<Obj> OwnedObjects::release(Obj* o) {
  if (!o || o->ownerSlot >= slots_.size() || slots_[o->ownerSlot].get() != o) return nullptr;
  const uint32_t at = o->ownerSlot;
  o->ownerSlot = Obj::kNoOwnerSlot;
  free_.push_back(at);
  return std::move(slots_[at]);
}

void OwnedObjects::clear() {
  slots_.clear();
  free_.clear();
}
