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

struct RewritePass {
    std::wstring copyPath;  // the temporary copy: ModuleFolder + "unattend.temp.xml"
    LineReader input;       // the answer file
    FileHandle copy;        // the temporary copy, open for writing while the pass runs
    std::string unwritten;  // UTF-8 bytes of the copy not yet written to it
    bool firstLine = true;  // the next line read is the first of the file
    bool inputDone = false; // the answer file was read to its end or could not be read further
    std::wstring problem;   // the log line telling why the pass cannot complete; empty while it can
};

// Backs the answer file up to AnswerFileBackupPath (logging "Backup unattend succeeded." or
// "Backup unattend failed."), deletes a temporary copy left by an interrupted run, opens the
// answer file and creates the temporary copy, starting it with the UTF-8 byte-order mark. False,
// after logging "Open unattend fail!.", when the answer file cannot be opened; then nothing but
// the backup has been written. With logOpened, "Open unattend succeeded!." is logged on success.
bool StartRewritePass(RewritePass& pass, LogFile& log, bool logOpened);

// Reads the next line of the answer file (the first line without one leading U+FEFF). False at
// the end of the file, and when the file cannot be read further or is not UTF-8 text (the pass
// then records why and will not replace the answer file).
bool NextAnswerLine(RewritePass& pass, std::wstring& line);

// Appends line to the temporary copy, whole, as UTF-8 followed by CR LF. A failed write is
// recorded; the pass will not replace the answer file.
void WriteCopyLine(RewritePass& pass, const std::wstring& line);

// Records why the pass cannot complete (the first reason recorded is the one logged).
void StopRewritePass(RewritePass& pass, const std::wstring& problem);

// Completes the temporary copy, flushes it to disk and puts it in the place of the answer file,
// then deletes it. 1 when the answer file now holds the complete copy; 0, after logging why, when
// the pass was stopped or any step failed: the answer file is then unchanged. No temporary copy is
// left behind either way.
int FinishRewritePass(RewritePass& pass, LogFile& log);
