// The answer-file writer pass with records made from the input, into a fixed answer file that has
// a place for the section; then the reader pass on the result.
//
// Promises checked: the writer gives 1; the reader then gives 1 and finds, for each slot, the
// value of the last record that fills it (the base layout is written first, the overrides after
// it, and a later tile replaces an earlier one), and the file is the fixed answer file again with
// only the empty lines each pass adds at its end.
#include "fuzz_support.h"
#include "layout/unattend_store.h"
#include "platform/text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const char* const AnswerPath = "Windows/Panther/unattend.xml";

const std::string Answer = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                           "<unattend xmlns=\"urn:schemas-microsoft-com:unattend\">\r\n"
                           "    <settings pass=\"oobeSystem\">\r\n"
                           "        <component name=\"Microsoft-Windows-Shell-Setup\">\r\n"
                           "            <OOBE>\r\n"
                           "            </OOBE>\r\n"
                           "        </component>\r\n"
                           "    </settings>\r\n"
                           "</unattend>";

// A value of up to a few dozen characters: any Unicode scalar value, with the characters that
// matter to the line-based format (markup, line breaks, blanks, references) made likely.
std::wstring FuzzedValue(FuzzedDataProvider& input) {
    static const wchar_t Interesting[] = L"<>&;#x/\r\n\t AppId";
    std::wstring value;
    std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 40);
    for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        std::uint32_t pick = input.ConsumeIntegral<std::uint32_t>();
        wchar_t c;
        if (pick % 3 == 0) {
            c = Interesting[(pick / 3) % (sizeof(Interesting) / sizeof(wchar_t) - 1)];
        } else if (pick % 3 == 1) {
            c = static_cast<wchar_t>(0x20 + (pick / 3) % 0x5F);
        } else {
            std::uint32_t codePoint = (pick / 3) % 0x110000;
            if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
                codePoint = 0xFFFD;
            }
            c = static_cast<wchar_t>(codePoint);
        }
        value += c;
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<RegionalOverride> overrides;
    std::size_t count = input.ConsumeIntegralInRange<std::size_t>(1, 4);
    for (std::size_t n = 0; n < count; ++n) {
        RegionalOverride record;
        record.order = static_cast<std::int32_t>(n);
        if (n > 0) {
            record.regions.push_back(FuzzedValue(input));
        }
        std::size_t filled = input.ConsumeIntegralInRange<std::size_t>(0, 8);
        for (std::size_t f = 0; f < filled; ++f) {
            int slot = input.ConsumeIntegralInRange<int>(0, SlotCount - 1);
            record.layout.slots[slot] = FuzzedValue(input);
        }
        overrides.push_back(record);
    }

    FreshFuzzImage();
    WriteFuzzFile(AnswerPath, Answer);
    if (WriteUnattendLayout(overrides) != 1) {
        FuzzFailure("the writer failed on an answer file with a place for the section");
    }
    TileLayout read;
    if (ReadUnattendLayout(read) != 1) {
        std::string written;
        ReadFuzzFile(AnswerPath, written);
        FuzzFailure("the reader failed on the writer's section:\n" + written);
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        std::wstring expected;
        for (const RegionalOverride& record : overrides) {
            if (!record.layout.slots[slot].empty()) {
                expected = record.layout.slots[slot];
            }
        }
        if (read.slots[slot] != expected) {
            FuzzFailure("slot " + std::to_string(slot) + " reads back as \"" +
                        Utf8FromWide(read.slots[slot]) + "\" instead of \"" +
                        Utf8FromWide(expected) + "\"");
        }
    }
    std::string after;
    if (!ReadFuzzFile(AnswerPath, after) || after != Answer + "\r\n\r\n") {
        FuzzFailure("the answer file is not the fixed one again after the section was read");
    }
    return 0;
}
