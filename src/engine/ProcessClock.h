// How long this process has been running, for the start-up figure of --stats.
#pragma once

// Milliseconds since the process started (to the kernel's clock tick, 10 ms
// on most systems), or a negative number where that cannot be read.
double millisecondsSinceProcessStart();
