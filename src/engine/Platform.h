// What differs between the platforms the game runs on: the desktop
// (DesktopPlatform.cpp) and a web browser (web/WebPlatform.cpp). The build
// picks one of the two files.
#pragma once

#include <string>

class Engine;

// Runs the engine's frames until the loop ends. The desktop runs them here
// and now, paced by the high-resolution counter, and returns true. A browser
// runs one callback per picture of the page and never blocks it: this does
// not return, and the program's end is the engine's HGE_ENDFUNC.
bool runFrameLoop(Engine& engine);

// Whether the platform has threads for the work done in the background:
// decoding pictures, reading the pack.
bool backgroundThreadsAllowed();

// Whether the machine's graphics devices show as files (/dev/dri), so that
// their absence means OpenGL would be drawn by the processor. A browser shows
// none and its WebGL is the renderer to use.
bool graphicsDevicesVisible();

// Shows a message for the player in the platform's own way: true when it did.
// The desktop leaves it to the window (false); a page writes it where the page
// shows it, never in a dialog that stops the page.
bool showPlatformMessage(const std::string& text, const std::string& caption);
