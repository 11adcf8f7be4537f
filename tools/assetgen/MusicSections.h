// The sections of the music. Each writes its bars into the mix from bar `at`
// of the piece; the arrangement (Music.cpp) puts them one after another.
#pragma once

#include "MusicKit.h"

namespace assetgen::music {

// A minor, i-VI-III-VII, eighth-note bass, sixteenth arpeggio and the main
// lead from bar `leadFrom` of the section, an octave up in its second eight.
constexpr int kOpeningBars = 16;
void opening(Mix& mix, int at, int leadFrom);

// D minor in half time: long bass notes, a slow pad, a bell arpeggio and a
// mournful triangle lead over Dm-Bb-Gm-Eb-A, drums joining in its fifth bar.
constexpr int kDarkBars = 16;
void dark(Mix& mix, int at);

// C minor, driving: four-on-the-floor, a galloping sixteenth bass, off-beat
// chord stabs and a bright detuned lead over Cm-Ab-Bb-G.
constexpr int kDriveBars = 16;
void drive(Mix& mix, int at);

// F to E, the way home to A minor: a snare roll and a noise riser that end
// on the loop's first beat.
constexpr int kTurnaroundBars = 4;
void turnaround(Mix& mix, int at);

}  // namespace assetgen::music
