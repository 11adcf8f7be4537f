// The world's owning list of objects: an object taken out twice (a finished
// effect that is also cleared by a scene change in the same frame) must not
// take out the object that has since been given its place.
#include <gtest/gtest.h>

#include <memory>

#include "world/OwnedObjects.h"

namespace {

std::unique_ptr<Obj> loose() { return std::make_unique<Obj>(nullptr, "effect", 0, 0, 0, 0.0f, 0.0f, 0.0f); }

TEST(OwnedObjects, ATakenOutObjectCannotTakeOutTheOneInItsPlace) {
  OwnedObjects owned;
  Obj* a = owned.adopt(loose());
  Obj* b = owned.adopt(loose());
  std::unique_ptr<Obj> gone = owned.release(a);
  ASSERT_EQ(gone.get(), a);
  Obj* c = owned.adopt(loose());  // takes the place `a` left
  EXPECT_EQ(c->ownerSlot, 0u);
  EXPECT_EQ(owned.release(a), nullptr);
  EXPECT_EQ(owned.size(), 2u);
  std::unique_ptr<Obj> stranger = loose();
  stranger->ownerSlot = c->ownerSlot;  // claims a place it was never given
  EXPECT_EQ(owned.release(stranger.get()), nullptr);
  for (Obj* o : {b, c}) EXPECT_EQ(owned.release(o).get(), o);
  EXPECT_EQ(owned.size(), 0u);
}

}  // namespace
