#include "layout/rewrite_pass.h"

#include "app/run_settings.h"
#include "layout/unattend_store.h"
#include "platform/platform.h"
#include "platform/text.h"

const wchar_t* const AnswerFilePath = L"C:\\Windows\\Panther\\unattend.xml";
const wchar_t* const AnswerFileBackupPath = L"C:\\Windows\\Panther\\unattend.save.xml";

namespace {

// The copy is written in pieces of this size, not line by line.
constexpr std::size_t CopyChunkBytes = 64 * 1024;

const wchar_t ByteOrderMark = 0xFEFF;

std::wstring CopyWriteProblem(PlatformError error) {
    return L"Writing the temporary copy of the answer file failed (" + PlatformErrorText(error) +
           L"); the answer file is left unchanged.";
}

// Writes the bytes gathered so far to the copy; records the failure when the write fails.
void WriteUnwritten(RewritePass& pass) {
    if (!pass.problem.empty() || pass.unwritten.empty()) {
        return;
    }
    if (!WriteToFile(pass.copy, pass.unwritten.data(), pass.unwritten.size())) {
        StopRewritePass(pass, CopyWriteProblem(LastPlatformError()));
    }
    pass.unwritten.clear();
}

// Writes the rest of the copy, forces it onto the disk and closes it; records any failure.
void CompleteCopy(RewritePass& pass) {
    WriteUnwritten(pass);
    if (pass.problem.empty() && !FlushFileToDisk(pass.copy)) {
        StopRewritePass(pass, CopyWriteProblem(LastPlatformError()));
    }
    bool closed = CloseFile(pass.copy);
    PlatformError closeError = LastPlatformError();
    pass.copy = FileHandle();
    if (!closed) {
        StopRewritePass(pass, CopyWriteProblem(closeError));
    }
}

std::wstring TemporaryCopyPath() {
    return Settings().moduleFolder + L"unattend.temp.xml";
}

// Deletes a copy the pass is done with; a copy that stays is logged (the next pass removes it
// before it starts, so its content never reaches the answer file).
void DeleteCopy(LogFile& log, const std::wstring& path) {
    if (!DeleteFileAt(path) && LastPlatformError() != PlatformError::NotFound) {
        LogMessage(log, L"Deleting " + path + L" failed (" +
                            PlatformErrorText(LastPlatformError()) + L").");
    }
}

} // namespace

std::wstring StagedAnswerFilePath() {
    return Settings().moduleFolder + L"unattend.staged.xml";
}

void DiscardStagedAnswerFile(LogFile& log) {
    DeleteCopy(log, StagedAnswerFilePath());
}

bool StartRewritePass(RewritePass& pass, LogFile& log, bool logOpened, RewriteStage stage) {
    pass = RewritePass();
    pass.stage = stage;
    pass.inputPath = stage == RewriteStage::Second ? StagedAnswerFilePath() : AnswerFilePath;
    pass.copyPath = stage == RewriteStage::First ? StagedAnswerFilePath() : TemporaryCopyPath();
    if (CopyFileOver(pass.inputPath, AnswerFileBackupPath)) {
        LogMessage(log, L"Backup unattend succeeded.");
    } else {
        LogMessage(log, L"Backup unattend failed.");
    }

    // Copies left by an interrupted run are removed first; CreateNew below then guarantees that
    // none of their content can reach the answer file.
    if (stage == RewriteStage::First) {
        DeleteFileAt(TemporaryCopyPath());
    }
    DeleteFileAt(pass.copyPath);

    if (!OpenLineReader(pass.input, pass.inputPath)) {
        LogMessage(log, L"Open unattend fail!.");
        return false;
    }
    if (logOpened) {
        LogMessage(log, L"Open unattend succeeded!.");
    }

    // When the copy cannot be made the caller still reads the whole answer file; the pass then
    // ends without replacing it.
    if (OpenFile(pass.copyPath, FileMode::CreateNew, pass.copy)) {
        pass.copyMade = true;
        pass.unwritten = "\xEF\xBB\xBF";
    } else {
        StopRewritePass(pass, CopyWriteProblem(LastPlatformError()));
    }
    return true;
}

bool NextAnswerLine(RewritePass& pass, std::wstring& line) {
    if (pass.inputDone) {
        line.clear();
        return false;
    }
    switch (ReadNextLine(pass.input, line)) {
    case LineStatus::Line:
        break;
    case LineStatus::End:
        pass.inputDone = true;
        return false;
    case LineStatus::NotUtf8:
        pass.inputDone = true;
        StopRewritePass(pass, L"The answer file is not UTF-8 text; it is left unchanged.");
        return false;
    case LineStatus::ReadError:
        pass.inputDone = true;
        StopRewritePass(pass, L"Reading the answer file failed (" +
                                  PlatformErrorText(LastPlatformError()) +
                                  L"); it is left unchanged.");
        return false;
    }
    // The copy starts with a byte-order mark of its own; the file's mark must not be doubled.
    if (pass.firstLine && !line.empty() && line[0] == ByteOrderMark) {
        line.erase(0, 1);
    }
    pass.firstLine = false;
    return true;
}

void WriteCopyLine(RewritePass& pass, const std::wstring& line) {
    if (!pass.problem.empty()) {
        return;
    }
    pass.unwritten += Utf8FromWide(line);
    pass.unwritten += "\r\n";
    if (pass.unwritten.size() >= CopyChunkBytes) {
        WriteUnwritten(pass);
    }
}

void StopRewritePass(RewritePass& pass, const std::wstring& problem) {
    if (pass.problem.empty()) {
        pass.problem = problem;
    }
}

int FinishRewritePass(RewritePass& pass, LogFile& log) {
    // The answer file is closed before it is replaced: Windows does not rename over an open file.
    CloseLineReader(pass.input);
    pass.inputDone = true;
    if (pass.copy.raw != -1) {
        if (pass.problem.empty()) {
            CompleteCopy(pass);
        } else {
            CloseFile(pass.copy);
            pass.copy = FileHandle();
        }
    }
    if (!pass.problem.empty()) {
        LogMessage(log, pass.problem);
        if (pass.copyMade) {
            DeleteCopy(log, pass.copyPath);
        }
        return 0;
    }
    if (pass.stage == RewriteStage::First) {
        return 1; // the complete copy stays, as the staged answer file
    }
    bool replaced = ReplaceFileAtomically(pass.copyPath, AnswerFilePath);
    PlatformError replaceError = LastPlatformError();
    if (!replaced) {
        LogMessage(log, L"Replacing the answer file failed (" + PlatformErrorText(replaceError) +
                            L"); the answer file is left unchanged.");
    }
    DeleteCopy(log, pass.copyPath);
    return replaced ? 1 : 0;
}
