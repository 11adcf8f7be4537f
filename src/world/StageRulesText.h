// Reading the rules lines that divide scenes into stretches, move enemies,
// name places and widen doors (see StageRules.h), and checking them against
// the scene files they name.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "format/LoadError.h"
#include "format/RulesText.h"
#include "format/SceneFile.h"
#include "world/StageRules.h"

enum class StageRuleRead { NotMine, Taken, Failed };

// Puts one rules line over `stage` when its key is one of the stage's words;
// NotMine leaves everything as it is. On Failed, `error` says why (the line is the caller's).
StageRuleRead readStageRule(const RulesLine& rule, const std::string& file, StageRules& stage, std::string& error);

// The stretches and places of every scene the rules name, against that scene's
// file (`readScene` reads it by id): a stretch past the scene's width, an enemy
// number the scene does not hold, an enemy of a stretch that can never be reached
// (standing inside a wall or off the ground). The error names the rules file
// and line (its offset is the line). A scene that cannot be read is an error too.
// Every such problem, in the rules' order (a scene that cannot be read is one,
// and its stretches are then not looked at).
std::vector<LoadError> stageProblems(const StageRules& stage,
                                     const std::function<Expected<SceneFile>(const std::string& id)>& readScene);
// The first of them, as the game reports it at start.
Expected<bool> checkStageAgainstScenes(const StageRules& stage,
                                       const std::function<Expected<SceneFile>(const std::string& id)>& readScene);
