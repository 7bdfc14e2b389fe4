// The rewrite pass that the answer-file reader and writer share: back the answer file up, read it
// line by line, write the lines to keep into a temporary copy in the program's folder, and put the
// complete copy in the place of the answer file. The answer file is replaced atomically and only
// by a complete copy; when anything fails it stays as it was and the temporary copy is deleted.
//
// The caller runs its own line loop between StartRewritePass and FinishRewritePass:
//
//     RewritePass pass;
//     if (!StartRewritePass(pass, log, ...)) return 0;
//     while (NextAnswerLine(pass, line)) { ... WriteCopyLine(pass, ...) ... }
//     return FinishRewritePass(pass, log);
#pragma once

#include "log/log_file.h"
#include "platform/line_reader.h"

#include <string>

// Where a pass reads from and what becomes of its complete copy. A pass on its own reads the
// answer file and replaces it. The default mode stages its two passes so that the answer file
// changes once, from its old content to its complete new content: the first pass keeps its copy
// as the staged answer file beside the program, the second reads that and replaces the answer
// file, so that a run that fails or is killed between the passes leaves the answer file as it was.
enum class RewriteStage {
    Whole,  // answer file -> temporary copy -> answer file
    First,  // answer file -> staged answer file (kept for the second pass)
    Second, // staged answer file -> temporary copy -> answer file
};

// ModuleFolder + "unattend.staged.xml".
std::wstring StagedAnswerFilePath();
// Deletes the staged answer file, logging a deletion that fails (the next first stage removes it
// before it starts). The second stage's caller calls it whatever the outcome.
void DiscardStagedAnswerFile(LogFile& log);

struct RewritePass {
    RewriteStage stage = RewriteStage::Whole;
    std::wstring inputPath; // the answer file, or the staged answer file in the second stage
    std::wstring copyPath;  // ModuleFolder + "unattend.temp.xml", or the staged answer file in
                            // the first stage
    LineReader input;       // the answer file
    FileHandle copy;        // the temporary copy, open for writing while the pass runs
    bool copyMade = false;  // this pass created the copy (and so deletes it when done with it)
    std::string unwritten;  // UTF-8 bytes of the copy not yet written to it
    bool firstLine = true;  // the next line read is the first of the file
    bool inputDone = false; // the answer file was read to its end or could not be read further
    std::wstring problem;   // the log line telling why the pass cannot complete; empty while it can
};

// Backs the pass's input up to AnswerFileBackupPath (logging "Backup unattend succeeded." or
// "Backup unattend failed."), deletes copies left by an interrupted run, opens the input and
// creates the copy, starting it with the UTF-8 byte-order mark. False, after logging "Open
// unattend fail!.", when the input cannot be opened; then nothing but the backup has been
// written. With logOpened, "Open unattend succeeded!." is logged on success.
bool StartRewritePass(RewritePass& pass, LogFile& log, bool logOpened,
                      RewriteStage stage = RewriteStage::Whole);

// Reads the next line of the answer file (the first line without one leading U+FEFF). False at
// the end of the file, and when the file cannot be read further or is not UTF-8 text (the pass
// then records why and will not replace the answer file).
bool NextAnswerLine(RewritePass& pass, std::wstring& line);

// Appends line to the temporary copy, whole, as UTF-8 followed by CR LF. A failed write is
// recorded; the pass will not replace the answer file.
void WriteCopyLine(RewritePass& pass, const std::wstring& line);

// Records why the pass cannot complete (the first reason recorded is the one logged).
void StopRewritePass(RewritePass& pass, const std::wstring& problem);

// Completes the copy and flushes it to disk. The first stage keeps it as the staged answer file;
// the others put it in the place of the answer file and delete it. 1 when that succeeded; 0, after
// logging why, when the pass was stopped or any step failed: the answer file is then unchanged and
// no copy is kept. A copy that cannot be deleted is logged; the next pass deletes it before it
// starts.
int FinishRewritePass(RewritePass& pass, LogFile& log);
