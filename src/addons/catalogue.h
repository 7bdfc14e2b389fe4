// The add-on tile catalogue: every description file of the tiles data folder and the required
// applications of the configuration file, gathered into the three lists placement works from.
#pragma once

#include "addons/tile_info.h"

#include <string>
#include <vector>

// Fills the three empty lists: AddOnTiles (one per description file with a Type), ProtectedTiles
// (the required applications, then every add-on tile) and RegionList ("ALL" first, then every
// region an add-on tile names, first spelling kept). Logs what it finds.
void CollectAddOnTiles(std::vector<TileInfo>& addOnTiles, std::vector<TileInfo>& protectedTiles,
                       std::vector<std::wstring>& regionList);

// True when some element of regions equals name ignoring case.
bool ContainsRegion(const std::vector<std::wstring>& regions, const std::wstring& name);

// True when value occurs, case-sensitively, inside the AppIdOrPath of some protected tile.
bool IsProtected(const std::vector<TileInfo>& protectedTiles, const std::wstring& value);
