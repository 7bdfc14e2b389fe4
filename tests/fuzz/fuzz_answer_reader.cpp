// The answer-file reader pass on any file content, alone and as the first of the default mode's
// staged passes.
//
// Promises checked: the pass gives 0 and leaves the file byte for byte as it was, or gives 1 and
// leaves a complete copy: the UTF-8 byte-order mark, then lines of the file (each whole, in their
// order, none of the StartTiles section) each ended by CR LF. The backup holds the file as it
// was, and no temporary copy is left. The staged pass gives the same result and the same copy,
// and leaves the answer file untouched.
#include "fuzz_support.h"
#include "layout/unattend_store.h"
#include "platform/text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const std::string Bom = "\xEF\xBB\xBF";
const char* const Answer = "Windows/Panther/unattend.xml";
const char* const Backup = "Windows/Panther/unattend.save.xml";
const char* const Staged = "Tools/unattend.staged.xml";
const char* const Temporary = "Tools/unattend.temp.xml";

std::vector<std::string> SplitAt(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
}

// The lines of the input as the reader sees them: split at LF, a CR before the LF dropped, one
// byte-order mark at the head of the file dropped.
std::vector<std::string> InputLines(const std::string& bytes) {
    std::string text = bytes.compare(0, 3, Bom) == 0 ? bytes.substr(3) : bytes;
    std::vector<std::string> lines = SplitAt(text, "\n");
    for (std::string& line : lines) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
    }
    return lines;
}

void CheckCopy(const std::string& input, const std::string& copy) {
    if (copy.compare(0, 3, Bom) != 0) {
        FuzzFailure("the copy does not begin with the byte-order mark");
    }
    if (copy.size() == 3) {
        return; // every line was one of the section
    }
    if (copy.size() < 5 || copy.compare(copy.size() - 2, 2, "\r\n") != 0) {
        FuzzFailure("the copy does not end with CR LF");
    }
    std::vector<std::string> written = SplitAt(copy.substr(3, copy.size() - 5), "\r\n");
    std::vector<std::string> lines = InputLines(input);
    std::size_t next = 0;
    for (const std::string& line : written) {
        if (line.find("<StartTiles>") != std::string::npos ||
            line.find("</StartTiles>") != std::string::npos) {
            FuzzFailure("the copy holds a line of the section");
        }
        while (next < lines.size() && lines[next] != line) {
            ++next;
        }
        if (next == lines.size()) {
            FuzzFailure("the copy holds a line that is not a line of the file, or out of order");
        }
        ++next;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);

    FreshFuzzImage();
    WriteFuzzFile(Answer, input);
    TileLayout layout;
    int result = ReadUnattendLayout(layout);
    std::string after;
    std::string backup;
    if (!ReadFuzzFile(Answer, after) || !ReadFuzzFile(Backup, backup) || backup != input) {
        FuzzFailure("the answer file or its backup is missing or wrong");
    }
    if (result == 0 && after != input) {
        FuzzFailure("a pass that failed changed the answer file");
    }
    if (result == 1) {
        CheckCopy(input, after);
    }
    if (result != 0 && result != 1) {
        FuzzFailure("a result other than 0 and 1");
    }
    if (FuzzFileExists(Temporary)) {
        FuzzFailure("the temporary copy was left behind");
    }

    FreshFuzzImage();
    WriteFuzzFile(Answer, input);
    TileLayout stagedLayout;
    int stagedResult = ReadUnattendLayoutStaged(stagedLayout);
    std::string unchanged;
    if (!ReadFuzzFile(Answer, unchanged) || unchanged != input) {
        FuzzFailure("the staged pass changed the answer file");
    }
    if (stagedResult != result || stagedLayout.slots != layout.slots) {
        FuzzFailure("the staged pass read otherwise than the plain one");
    }
    std::string staged;
    bool kept = ReadFuzzFile(Staged, staged);
    if (kept != (result == 1) || (kept && staged != after)) {
        FuzzFailure("the staged copy differs from the plain pass's result");
    }
    return 0;
}
