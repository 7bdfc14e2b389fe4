// The registry below HKEY_LOCAL_MACHINE, kept in a .reg file: loaded once, loaded again when the
// file changes, and written back whole (atomically) after every change of a value.
#include "platform/platform_error.h"
#include "platform/posix/layer_state.h"
#include "platform/posix/registry_file.h"

#include <cerrno>
#include <sys/stat.h>
#include <unordered_map>

namespace {

const std::wstring MachineRoot = L"HKEY_LOCAL_MACHINE";

struct RegistryModel {
    bool examined = false;                           // the file was looked at with identity
    PlatformError problem = PlatformError::NotFound; // why the model cannot be used, or None
    FileIdentity identity;
    RegistryDocument document;
    // By folded full path, for every key that exists (listed in the file, or implied as the
    // parent of a listed key): its spelling, its subkeys' names in file order, and the index of
    // its listing in document.keys (-1 when only implied).
    std::unordered_map<std::wstring, std::wstring> spelling;
    std::unordered_map<std::wstring, std::vector<std::wstring>> subkeys;
    std::unordered_map<std::wstring, long> listing;
    // Changes whenever the maps above are rebuilt (0: never built), so that an open key can keep
    // what it looked up in them.
    unsigned long generation = 0;
};

// An open key: its folded full path (empty when the handle is free) and, while the model keeps
// its generation, what the maps hold for it, so that the calls on the key need not look it up.
struct OpenKey {
    std::wstring path;
    unsigned long generation = 0;
    const std::vector<std::wstring>* subkeys = nullptr; // null when it has none
    long listing = -1;
};

RegistryModel model;
std::vector<OpenKey> openKeys; // by handle
unsigned long lastGeneration = 0;

void IndexKeys(RegistryModel& target) {
    target.generation = ++lastGeneration;
    target.spelling.clear();
    target.subkeys.clear();
    target.listing.clear();
    target.spelling[FoldAsciiText(MachineRoot)] = MachineRoot;
    target.listing[FoldAsciiText(MachineRoot)] = -1;
    for (std::size_t k = 0; k < target.document.keys.size(); ++k) {
        const std::wstring& path = target.document.keys[k].path;
        std::wstring folded = FoldAsciiText(path);
        std::size_t end = 0;
        std::wstring parent;
        for (;;) {
            end = path.find(L'\\', end + (end == 0 ? 0 : 1));
            std::wstring prefix = folded.substr(0, end);
            if (target.spelling.find(prefix) == target.spelling.end()) {
                target.spelling[prefix] = path.substr(0, end);
                target.listing[prefix] = -1;
                if (!parent.empty()) {
                    std::size_t nameStart = parent.size() + 1;
                    target.subkeys[parent].push_back(path.substr(nameStart, end - nameStart));
                }
            }
            if (end == std::wstring::npos) {
                break;
            }
            parent = prefix;
        }
        target.listing[folded] = static_cast<long>(k);
    }
}

// Brings the model up to date with the file; false (with the reason) when it cannot be used.
bool Refresh() {
    struct stat info;
    const std::string& file = StandInRegistryFile();
    if (file.empty() || ::stat(file.c_str(), &info) != 0) {
        int error = file.empty() ? ENOENT : errno;
        model = RegistryModel();
        model.problem = ErrorOfErrno(error);
        return FailWith(model.problem);
    }
    FileIdentity identity = IdentityOf(info);
    if (!model.examined || !SameIdentity(identity, model.identity)) {
        model = RegistryModel();
        model.examined = true;
        model.identity = identity;
        std::string bytes;
        if (S_ISDIR(info.st_mode)) {
            model.problem = PlatformError::AccessDenied;
        } else if (!ReadWholeHostFile(file, bytes)) {
            model.problem = LastPlatformError();
            model.examined = false; // try again on the next call
        } else if (!ParseRegistryDocument(bytes, model.document)) {
            model.problem = PlatformError::BadFormat;
        } else {
            model.problem = PlatformError::None;
            IndexKeys(model);
        }
    }
    if (model.problem != PlatformError::None) {
        return FailWith(model.problem);
    }
    return true;
}

// Looks up what the model holds for an open key; false when the key no longer exists.
bool Resolve(OpenKey& open) {
    if (model.spelling.find(open.path) == model.spelling.end()) {
        return false;
    }
    auto subkeys = model.subkeys.find(open.path);
    open.subkeys = subkeys == model.subkeys.end() ? nullptr : &subkeys->second;
    open.listing = model.listing[open.path];
    open.generation = model.generation;
    return true;
}

// The open key of a handle, brought up to date with the file; null when the handle is not open
// or its key no longer exists.
OpenKey* KeyOf(RegistryKey key) {
    if (key.raw < 0 || static_cast<std::size_t>(key.raw) >= openKeys.size() ||
        openKeys[static_cast<std::size_t>(key.raw)].path.empty()) {
        FailWith(PlatformError::Other);
        return nullptr;
    }
    if (!Refresh()) {
        return nullptr;
    }
    OpenKey& open = openKeys[static_cast<std::size_t>(key.raw)];
    if ((open.generation != model.generation || model.generation == 0) && !Resolve(open)) {
        FailWith(PlatformError::NotFound);
        return nullptr;
    }
    return &open;
}

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

long FindValue(const RegistryKeyEntry& key, const std::wstring& name) {
    for (std::size_t v = 0; v < key.values.size(); ++v) {
        if (!key.values[v].comment && SameNameIgnoringCase(key.values[v].name, name)) {
            return static_cast<long>(v);
        }
    }
    return -1;
}

// The listing of the key in document, added when the key was only implied: placed before the
// first of its subkeys that is listed, so that parents stay ahead of their children.
RegistryKeyEntry& ListedKey(RegistryModel& target, const std::wstring& folded) {
    long index = target.listing[folded];
    if (index >= 0) {
        return target.document.keys[static_cast<std::size_t>(index)];
    }
    std::vector<RegistryKeyEntry>& keys = target.document.keys;
    std::size_t at = keys.size();
    for (std::size_t k = 0; k < keys.size(); ++k) {
        std::wstring path = FoldAsciiText(keys[k].path);
        if (path.size() > folded.size() && path.compare(0, folded.size(), folded) == 0 &&
            path[folded.size()] == L'\\') {
            at = k;
            break;
        }
    }
    RegistryKeyEntry added;
    added.path = target.spelling[folded];
    keys.insert(keys.begin() + static_cast<long>(at), added);
    IndexKeys(target);
    return keys[at];
}

// Writes target's document to the file and records the file's identity, so that the layer's own
// write is not taken for a change made from outside. False, with the file untouched, on failure.
bool SaveDocument(RegistryModel& target) {
    std::string bytes = FormatRegistryDocument(target.document);
    if (!ReplaceHostFileWithBytes(StandInRegistryFile(), bytes)) {
        return false;
    }
    struct stat info;
    if (::stat(StandInRegistryFile().c_str(), &info) == 0) {
        target.identity = IdentityOf(info);
    } else {
        target.examined = false;
    }
    return true;
}

// Writes the changed model to the file; on success it becomes the model, otherwise nothing
// changes.
bool Commit(RegistryModel& changed) {
    if (!SaveDocument(changed)) {
        return false;
    }
    IndexKeys(changed);
    model = std::move(changed);
    return true;
}

// Writes the model as it now stands to the file. False, with the file untouched, when that
// fails; the caller then takes its change back out of the model.
bool WriteModel() {
    return SaveDocument(model);
}

bool NameWritable(const std::wstring& name) {
    return name.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos;
}

} // namespace

void ForgetRegistryModel() {
    model = RegistryModel();
    openKeys.clear();
}

bool OpenRegistryKey(const std::wstring& path, RegistryKey& key) {
    key = RegistryKey();
    if (FaultStops(FaultOperation::RegistryOpen)) {
        return false;
    }
    if (!Refresh()) {
        return false;
    }
    std::wstring relative = path;
    while (!relative.empty() && relative.back() == L'\\') {
        relative.pop_back();
    }
    if ((!relative.empty() && relative[0] == L'\\') ||
        relative.find(L"\\\\") != std::wstring::npos) {
        return FailWith(PlatformError::NotFound);
    }
    std::wstring folded =
        FoldAsciiText(relative.empty() ? MachineRoot : MachineRoot + L"\\" + relative);
    if (model.spelling.find(folded) == model.spelling.end()) {
        return FailWith(PlatformError::NotFound);
    }
    std::size_t slot = 0;
    while (slot < openKeys.size() && !openKeys[slot].path.empty()) {
        ++slot;
    }
    if (slot == openKeys.size()) {
        openKeys.emplace_back();
    }
    openKeys[slot].path = std::move(folded);
    Resolve(openKeys[slot]);
    key.raw = static_cast<std::intptr_t>(slot);
    return true;
}

void CloseRegistryKey(RegistryKey key) {
    if (key.raw >= 0 && static_cast<std::size_t>(key.raw) < openKeys.size()) {
        openKeys[static_cast<std::size_t>(key.raw)] = OpenKey();
    }
}

bool QueryRegistryValue(RegistryKey key, const std::wstring& name, std::size_t maxBytes,
                        std::uint32_t& type, std::vector<std::uint8_t>& data) {
    const OpenKey* open = KeyOf(key);
    if (open == nullptr) {
        return false;
    }
    long index = open->listing;
    if (index < 0) {
        return FailWith(PlatformError::NotFound);
    }
    const RegistryKeyEntry& entry = model.document.keys[static_cast<std::size_t>(index)];
    long found = FindValue(entry, name);
    if (found < 0) {
        return FailWith(PlatformError::NotFound);
    }
    const RegistryValueEntry& value = entry.values[static_cast<std::size_t>(found)];
    if (value.data.size() > maxBytes) {
        return FailWith(PlatformError::TooLong);
    }
    type = value.type;
    data = value.data;
    return true;
}

bool SetRegistryValue(RegistryKey key, const std::wstring& name, std::uint32_t type,
                      const std::vector<std::uint8_t>& data) {
    if (FaultStops(FaultOperation::RegistrySet)) {
        return false;
    }
    const OpenKey* open = KeyOf(key);
    if (open == nullptr) {
        return false;
    }
    if (!NameWritable(name)) {
        return FailWith(PlatformError::Other);
    }
    RegistryValueEntry value;
    value.name = name;
    value.type = type;
    value.data = data;
    long index = open->listing;
    if (index < 0) {
        // A key that was only implied is listed now: the document changes shape, so the change is
        // made on a copy of the model that replaces it once written.
        RegistryModel changed = model;
        ListedKey(changed, open->path).values.push_back(std::move(value));
        return Commit(changed);
    }
    // The change is made in place and taken back when the file cannot be written.
    RegistryKeyEntry& entry = model.document.keys[static_cast<std::size_t>(index)];
    long found = FindValue(entry, name);
    if (found < 0) {
        entry.values.push_back(std::move(value));
        if (!WriteModel()) {
            entry.values.pop_back();
            return false;
        }
        return true;
    }
    RegistryValueEntry& current = entry.values[static_cast<std::size_t>(found)];
    if (current.type == type && current.data == data) {
        return true; // nothing changes
    }
    value.name = current.name; // the value keeps the spelling of its name
    std::swap(current, value);
    if (!WriteModel()) {
        std::swap(current, value);
        return false;
    }
    return true;
}

bool DeleteRegistryValue(RegistryKey key, const std::wstring& name) {
    if (FaultStops(FaultOperation::RegistryDelete)) {
        return false;
    }
    const OpenKey* open = KeyOf(key);
    if (open == nullptr) {
        return false;
    }
    long index = open->listing;
    if (index < 0) {
        return FailWith(PlatformError::NotFound);
    }
    long found = FindValue(model.document.keys[static_cast<std::size_t>(index)], name);
    if (found < 0) {
        return FailWith(PlatformError::NotFound);
    }
    // The change is made in place and taken back when the file cannot be written.
    std::vector<RegistryValueEntry>& values =
        model.document.keys[static_cast<std::size_t>(index)].values;
    RegistryValueEntry removed = std::move(values[static_cast<std::size_t>(found)]);
    values.erase(values.begin() + found);
    if (!WriteModel()) {
        values.insert(values.begin() + found, std::move(removed));
        return false;
    }
    return true;
}

bool EnumRegistrySubKey(RegistryKey key, std::uint32_t index, std::wstring& name) {
    const OpenKey* open = KeyOf(key);
    if (open == nullptr) {
        return false;
    }
    if (open->subkeys == nullptr || index >= open->subkeys->size()) {
        return FailWith(PlatformError::NotFound);
    }
    name = (*open->subkeys)[index];
    return true;
}
