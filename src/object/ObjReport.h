// Helpers the object code shares for checking script numbers against the
// character file and for logging a data problem once per file and action.
#pragma once

#include <cstdint>

#include "object/Obj.h"
#include "object/ReportOnce.h"

// True when `n` names an action of the object's character file.
inline bool hasAction(const Obj& o, int32_t n) {
  return n >= 0 && static_cast<size_t>(n) < o.data->actions.size();
}

// True the first time this (character file, number, problem) comes up in the
// object's world: the caller then writes one line through o.host naming the
// file (charaFilePath) and what is wrong. False for an object without a world.
bool firstReport(const Obj& o, int64_t number, ReportOnce::Problem problem);
