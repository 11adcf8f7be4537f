// `check`'s look at the fights a scene holds the screen for and the doors it
// is left by: an enemy of a stretch that no fighter in the held view can come
// to, or that no blow can land on, holds the camera for ever; and where doors
// take a fighter at any depth, a door between the way in and a farther door
// takes everyone who walks on to that one.
#pragma once

#include "ContentChecks.h"

void checkStageContent(const ContentCheckInput& in, const CheckReportFn& problem, const CheckReportFn& warning);
