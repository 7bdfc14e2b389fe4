// The .reg file that stands for the registry, on any file content.
//
// Promises checked: a file that parses is written back (formatted) to text that parses to the
// same keys and values, and formats to the same bytes again; through the registry functions every
// key can be opened, walked and its values read; setting a value rewrites the file so that it
// parses to the keys and values it had with that one value changed, and deleting it again leaves
// the values as they were without it. A file that does not parse makes every call fail and is
// never written.
#include "fuzz_support.h"
#include "platform/platform.h"
#include "platform/posix/layer_state.h"
#include "platform/posix/registry_file.h"
#include "platform/text.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

const std::wstring Machine = L"HKEY_LOCAL_MACHINE";

struct Value {
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    bool operator==(const Value& other) const { return type == other.type && data == other.data; }
};
// Folded key path -> folded value name -> value; a key without values maps to an empty map.
using Model = std::map<std::wstring, std::map<std::wstring, Value>>;

Model ModelOf(const RegistryDocument& document) {
    Model model;
    for (const RegistryKeyEntry& key : document.keys) {
        std::map<std::wstring, Value>& values = model[FoldAsciiText(key.path)];
        for (const RegistryValueEntry& value : key.values) {
            if (!value.comment) {
                values[FoldAsciiText(value.name)] = Value{value.type, value.data};
            }
        }
    }
    return model;
}

Model ModelOfFile() {
    std::string bytes;
    RegistryDocument document;
    if (!ReadFuzzFile("HKLM.reg", bytes) || !ParseRegistryDocument(bytes, document)) {
        FuzzFailure("the registry file does not parse after a change");
    }
    return ModelOf(document);
}

// Walks the key and its subkeys depth first, reading every value the document lists.
void Walk(const std::wstring& path, const Model& model, int& budget) {
    if (--budget < 0) {
        return;
    }
    RegistryKey key;
    if (!OpenRegistryKey(path, key)) {
        FuzzFailure("a key of the file cannot be opened");
    }
    std::wstring full = FoldAsciiText(path.empty() ? Machine : Machine + L"\\" + path);
    auto listed = model.find(full);
    if (listed != model.end()) {
        for (const auto& named : listed->second) {
            std::uint32_t type = 0;
            std::vector<std::uint8_t> data;
            if (!QueryRegistryValue(key, named.first, named.second.data.size(), type, data) ||
                !(Value{type, data} == named.second)) {
                FuzzFailure("a value reads otherwise than the file holds it");
            }
        }
    }
    std::vector<std::wstring> children;
    std::wstring name;
    for (std::uint32_t index = 0; EnumRegistrySubKey(key, index, name) && index < 64; ++index) {
        children.push_back(name);
    }
    CloseRegistryKey(key);
    for (const std::wstring& child : children) {
        Walk(path.empty() ? child : path + L"\\" + child, model, budget);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FreshFuzzImage();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    WriteFuzzFile("HKLM.reg", bytes);

    RegistryDocument document;
    if (!ParseRegistryDocument(bytes, document)) {
        RegistryKey key;
        if (OpenRegistryKey(L"SOFTWARE", key) || OpenRegistryKey(L"", key)) {
            FuzzFailure("a key opened in a file that does not parse");
        }
        std::string after;
        if (!ReadFuzzFile("HKLM.reg", after) || after != bytes) {
            FuzzFailure("a file that does not parse was changed");
        }
        return 0;
    }

    // Formatting is stable: what is written parses to the same model and formats the same.
    Model model = ModelOf(document);
    std::string formatted = FormatRegistryDocument(document);
    RegistryDocument reparsed;
    if (!ParseRegistryDocument(formatted, reparsed)) {
        FuzzFailure("the formatted file does not parse");
    }
    if (ModelOf(reparsed) != model) {
        FuzzFailure("the formatted file parses to other keys or values");
    }
    if (FormatRegistryDocument(reparsed) != formatted) {
        FuzzFailure("formatting the formatted file changes it");
    }

    int budget = 256;
    Walk(L"", model, budget);

    // A set on the first key below HKEY_LOCAL_MACHINE, then a delete of the same value.
    for (const RegistryKeyEntry& listed : document.keys) {
        std::wstring folded = FoldAsciiText(listed.path);
        if (folded.compare(0, Machine.size() + 1, FoldAsciiText(Machine) + L"\\") != 0) {
            continue;
        }
        RegistryKey key;
        if (!OpenRegistryKey(listed.path.substr(Machine.size() + 1), key)) {
            FuzzFailure("a listed key cannot be opened");
        }
        const std::wstring name = L"AppIdOrPath";
        Value set{RegistryTypeString, Utf16LeFromWide(L"C:\\Shortcuts\\New \"one\".lnk", true)};
        if (!SetRegistryValue(key, name, set.type, set.data)) {
            FuzzFailure("a value cannot be set");
        }
        Model expected = model;
        expected[folded][FoldAsciiText(name)] = set;
        if (ModelOfFile() != expected) {
            FuzzFailure("the file after a set holds other keys or values");
        }
        if (!DeleteRegistryValue(key, name)) {
            FuzzFailure("a value that was set cannot be deleted");
        }
        expected[folded].erase(FoldAsciiText(name));
        if (ModelOfFile() != expected) {
            FuzzFailure("the file after a delete holds other keys or values");
        }
        CloseRegistryKey(key);
        break;
    }
    return 0;
}
