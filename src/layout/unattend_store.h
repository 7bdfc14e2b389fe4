// The StartTiles section of the answer file C:\Windows\Panther\unattend.xml: the reader takes the
// tiles out of the section and removes it; the writer inserts a new section after the
// Shell-Setup component of the oobeSystem pass. Both rewrite the file through a temporary copy
// in the program's folder and replace it only with a complete copy.
#pragma once

#include "layout/regional_override.h"
#include "layout/tile_layout.h"

#include <vector>

extern const wchar_t* const AnswerFilePath;       // L"C:\\Windows\\Panther\\unattend.xml"
extern const wchar_t* const AnswerFileBackupPath; // L"C:\\Windows\\Panther\\unattend.save.xml"

// Fills the slots named in the section and rewrites the answer file without it. Gives 1 only when
// the file was opened and replaced by the stripped copy; 0 otherwise, the file untouched.
int ReadUnattendLayout(TileLayout& layout);

// Inserts a new StartTiles section built from overrides (record 0 first: the base layout). Gives
// 1 only when the answer file was replaced by the complete new copy; 0 otherwise, file untouched.
int WriteUnattendLayout(const std::vector<RegionalOverride>& overrides);

// The default mode's pair: the answer file changes once, from its old content to its complete new
// content. ReadUnattendLayoutStaged takes the tiles out as ReadUnattendLayout does but keeps the
// file without its section as a staged copy in the program's folder and leaves the answer file as
// it is; 1 when the staged copy is complete. WriteUnattendLayoutStaged inserts the section into
// the staged copy, puts the result in the place of the answer file and deletes the staged copy
// (on failure too); 1 only when the answer file was replaced. Call it only after
// ReadUnattendLayoutStaged gave 1 in the same run.
int ReadUnattendLayoutStaged(TileLayout& layout);
int WriteUnattendLayoutStaged(const std::vector<RegionalOverride>& overrides);
