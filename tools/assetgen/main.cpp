// tervalen-assetgen OUTDIR: draws and synthesizes every picture, sound and the
// music of the default game into OUTDIR, the same bytes on every run.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "Effects.h"
#include "Fighters.h"
#include "Font.h"
#include "Hud.h"
#include "Icon.h"
#include "Items.h"
#include "Manifest.h"
#include "Music.h"
#include "Scenery.h"
#include "Synth.h"

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: tervalen-assetgen OUTDIR\n");
    return 2;
  }
  try {
    assetgen::Manifest manifest(argv[1]);
    std::filesystem::create_directories(argv[1]);
    assetgen::writeIcon(manifest.path("icon.ico"));
    assetgen::writeDesktopIcons(manifest);
    assetgen::writeFont(manifest.root(), "font1.fnt", "font1.png");
    assetgen::makeTitle(manifest);
    assetgen::makeHud(manifest);
    // The resource list's order: ui, system, the fighters, the props, the scenes,
    // then the fighters and the scenes added later, the mid-boss, and the second
    // hero, then the things to pick up (set numbers are never reused or moved;
    // the music adds no set).
    assetgen::makeEffects(manifest);
    assetgen::makeSounds(manifest);
    assetgen::makeFighters(manifest);
    assetgen::makeProps(manifest);
    assetgen::makeScenery(manifest);
    assetgen::makeLaterFighters(manifest);
    assetgen::makeLaterScenery(manifest);
    assetgen::makeMusic(manifest);
    assetgen::makeMidBoss(manifest);
    assetgen::makeSecondHero(manifest);
    assetgen::makeItems(manifest);
    assetgen::writeText(manifest.path("res.txt"), manifest.resourceListText());
    assetgen::writeText(manifest.path("pictures.md"), manifest.pictureGuideText());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tervalen-assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
