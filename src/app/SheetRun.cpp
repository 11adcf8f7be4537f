#include "app/SheetRun.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "base/DataPath.h"
#include "base/FileBytes.h"
#include "base/TextCodec.h"
#include "app/Mods.h"
#include "base/DataLayers.h"
#include "engine/hge.h"
#include "format/CharaData.h"
#include "format/ResourceCatalog.h"
#include "format/RulesText.h"
#include "object/Chara.h"
#include "render/ContactSheet.h"
#include "render/DebugOverlay.h"
#include "render/WorldRenderer.h"
#include "world/RulesFile.h"
#include "world/World.h"

namespace {

// What the sheet is drawn from.
struct SheetSource {
  CharaData data;
  ResourceCatalog catalog;
  GameRules rules;
  std::string id;  // GBK
};

bool readSource(const std::string& idText, SheetSource& out, std::string& error, const DataLayers* files) {
  if (!utf8ToGbk(idText, out.id)) {
    error = "the character id holds a character the game's text (GBK) cannot hold";
    return false;
  }
  Expected<std::string> path = dataFilePath(DataFileKind::Chara, out.id);
  if (!path) {
    error = "character id " + path.error().file + ": " + path.error().what;
    return false;
  }
  Expected<std::vector<uint8_t>> bytes = readGameFile(files, *path);
  if (!bytes) {
    error = bytes.error().message();
    return false;
  }
  Expected<CharaData> data = parseCharaFile(*bytes, files ? files->shownPath(*path) : *path);
  if (!data) {
    error = data.error().message();
    return false;
  }
  out.data = std::move(*data);
  auto catalog = readResourceList([](const std::string&) {}, files);
  if (!catalog) {
    error = catalog.error().message();
    return false;
  }
  out.catalog = std::move(*catalog);
  Expected<GameRules> rules = readGameRules(files);
  if (!rules) {
    error = textLineMessage(rules.error());
    return false;
  }
  out.rules = std::move(*rules);
  return true;
}

HGE* startEngine(const SheetSource& source, const std::string& logFile, int width, int height, std::string& error,
                 const DataLayers* files) {
  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_LOGFILE, logFile.c_str());
  engine->System_SetState(HGE_HEADLESS, true);
  engine->System_SetState(HGE_USESOUND, false);
  engine->System_SetState(HGE_SCREENWIDTH, width);
  engine->System_SetState(HGE_SCREENHEIGHT, height);
  engine->System_SetState(HGE_MAXFRAMES, 1);
  if (!engine->System_Initiate()) {
    error = "cannot start the drawing: " + engine->System_GetErrorMessage();
    engine->Release();
    return nullptr;
  }
  if (files) engine->Resource_SetLookup(modFileLookup(*files));
  std::error_code ec;
  if (std::filesystem::exists(source.rules.packFile, ec))
    engine->Resource_AttachPack(source.rules.packFile.c_str(), source.rules.packPassword.c_str());
  return engine;
}

void stopEngine(HGE* engine) {
  engine->System_Shutdown();
  engine->Release();
}

// The largest picture the sheet shows (0 x 0 when none loads).
void largestPicture(const SheetSource& source, const std::vector<SheetRow>& rows, const std::string& logFile,
                    int& width, int& height, const DataLayers* files) {
  width = height = 0;
  std::string error;
  HGE* engine = startEngine(source, logFile, 800, 480, error, files);
  if (!engine) return;
  {
    WorldRenderer renderer(engine, source.catalog);
    for (const SheetRow& row : rows)
      for (const SheetCell& cell : row.cells) {
        const HTEXTURE tex = renderer.pictures().texture(source.data.pictureSet, cell.picture);
        if (tex == 0) continue;
        width = std::max(width, engine->Texture_GetWidth(tex));
        height = std::max(height, engine->Texture_GetHeight(tex));
      }
  }
  stopEngine(engine);
}

}  // namespace

bool writeContactSheet(const std::string& id, const std::string& outPath, const std::string& logFile,
                       std::string& error, const DataLayers* files) {
  SheetSource source;
  if (!readSource(id, source, error, files)) return false;
  const std::vector<SheetRow> rows = contactSheetRows(source.data);
  int pictureWidth = 0, pictureHeight = 0;
  largestPicture(source, rows, logFile, pictureWidth, pictureHeight, files);
  SheetLayout layout;
  if (!layOutSheet(rows, pictureWidth, pictureHeight, layout, error)) return false;

  HGE* engine = startEngine(source, logFile, layout.width, layout.height, error, files);
  if (!engine) return false;
  bool drawn = false;
  {
    WorldServices services;
    services.log = [engine](const std::string& line) { engine->System_Log("%s", line.c_str()); };
    services.random = [](int lo, int) { return lo; };
    services.files = files;
    World world(std::move(services), World::Bare{}, source.catalog);
    world.width = layout.width;
    world.depth = layout.height;
    Chara* chara = world.createChara(source.id, 0, 0, 0);
    if (!chara) {
      error = charaFilePath(source.id) + ": cannot be made into a character (the log says why)";
    } else {
      WorldRenderer renderer(engine, world.catalog);
      DebugOverlay overlay(engine);
      engine->System_SetState(HGE_FRAMEFUNC, [] { return false; });
      engine->System_SetState(HGE_RENDERFUNC, [&] {
        engine->Gfx_BeginScene(0);
        drawContactSheet(engine, renderer, overlay, *chara, rows, layout);
        engine->Gfx_EndScene();
        drawn = true;
        return false;
      });
      engine->System_AddScreenshot(1, outPath.c_str());
      engine->System_Start();
      engine->System_SetState(HGE_FRAMEFUNC, hgeCallback{});
      engine->System_SetState(HGE_RENDERFUNC, hgeCallback{});
      if (!drawn) error = "the sheet was not drawn";
      else if (engine->System_GetState(HGE_OUTPUTFAILURES) > 0)
        error = outPath + ": cannot be written (the log says why)";
    }
  }
  stopEngine(engine);
  return error.empty();
}
