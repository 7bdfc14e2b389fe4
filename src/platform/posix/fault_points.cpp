// Failure points of test builds (the program tilewright_faults and the fuzz targets link this file;
// the production program links fault_points_none.cpp). Two environment settings steer them:
//
//   TILEWRIGHT_FAULT=<operation>:<N>:<fail|diskfull|kill>[,<operation>:<N>:<how>...]
//       The Nth call (counting from 1) of the operation fails: "fail" with a plain error,
//       "diskfull" with PlatformError::DiskFull; "kill" ends the process with SIGKILL at that
//       call, before the operation does anything. Operations, with letter case ignored: Open,
//       Create, Write, Flush, Rename, Copy, Delete, RegistryOpen, RegistrySet, RegistryDelete.
//   TILEWRIGHT_FAULT_COUNT=<file>
//       When the program ends normally, one line "<operation> <calls>" per operation is appended
//       to the file, then one line "fired <operation> <N> <how>" per failure that was injected.
//
// A setting that cannot be understood stops the program at start-up with exit code 2, so that a
// test never believes in a failure that was not armed.
#include "platform/posix/fault_points.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t OperationCount = 10;

const std::array<const char*, OperationCount> OperationNames = {
    "Open", "Create", "Write",        "Flush",       "Rename",
    "Copy", "Delete", "RegistryOpen", "RegistrySet", "RegistryDelete"};

enum class FaultKind { Fail, DiskFull, Kill };

const std::array<const char*, 3> KindNames = {"fail", "diskfull", "kill"};

struct ArmedFault {
    std::size_t operation = 0;
    unsigned long call = 0; // 1 for the first call
    FaultKind kind = FaultKind::Fail;
    bool fired = false;
};

bool SameIgnoringCase(const std::string& a, const char* b) {
    std::string folded;
    for (char c : a) {
        folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    std::string other;
    for (const char* p = b; *p != '\0'; ++p) {
        other += (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
    }
    return folded == other;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

bool ParseFault(const std::string& text, ArmedFault& fault) {
    std::vector<std::string> parts = SplitAt(text, ':');
    if (parts.size() != 3) {
        return false;
    }
    bool named = false;
    for (std::size_t op = 0; op < OperationCount; ++op) {
        if (SameIgnoringCase(parts[0], OperationNames[op])) {
            fault.operation = op;
            named = true;
        }
    }
    if (!named || parts[1].empty() || parts[1].size() > 9 ||
        parts[1].find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    fault.call = std::stoul(parts[1]);
    if (fault.call == 0) {
        return false;
    }
    for (std::size_t kind = 0; kind < KindNames.size(); ++kind) {
        if (SameIgnoringCase(parts[2], KindNames[kind])) {
            fault.kind = static_cast<FaultKind>(kind);
            return true;
        }
    }
    return false;
}

// The armed failures and the call counts of this process. Built before main runs; the counts are
// written when the process ends normally (a killed process writes nothing).
struct FaultState {
    std::vector<ArmedFault> armed;
    std::array<unsigned long, OperationCount> calls{};
    std::string countFile;

    FaultState() {
        const char* counting = std::getenv("TILEWRIGHT_FAULT_COUNT");
        countFile = counting != nullptr ? counting : "";
        const char* setting = std::getenv("TILEWRIGHT_FAULT");
        if (setting == nullptr || *setting == '\0') {
            return;
        }
        for (const std::string& item : SplitAt(setting, ',')) {
            ArmedFault fault;
            if (!ParseFault(item, fault)) {
                std::fprintf(stderr, "tilewright: TILEWRIGHT_FAULT cannot be understood: %s\n",
                             setting);
                std::_Exit(2);
            }
            armed.push_back(fault);
        }
    }

    ~FaultState() {
        if (countFile.empty()) {
            return;
        }
        std::FILE* out = std::fopen(countFile.c_str(), "a");
        if (out == nullptr) {
            return;
        }
        for (std::size_t op = 0; op < OperationCount; ++op) {
            std::fprintf(out, "%s %lu\n", OperationNames[op], calls[op]);
        }
        for (const ArmedFault& fault : armed) {
            if (fault.fired) {
                std::fprintf(out, "fired %s %lu %s\n", OperationNames[fault.operation], fault.call,
                             KindNames[static_cast<std::size_t>(fault.kind)]);
            }
        }
        std::fclose(out);
    }

    FaultState(const FaultState&) = delete;
    FaultState& operator=(const FaultState&) = delete;
};

FaultState state;

} // namespace

bool FaultInjected(FaultOperation operation, PlatformError& error) {
    std::size_t op = static_cast<std::size_t>(operation);
    if (op >= OperationCount) {
        return false;
    }
    unsigned long call = ++state.calls[op];
    for (ArmedFault& fault : state.armed) {
        if (fault.operation != op || fault.call != call) {
            continue;
        }
        fault.fired = true;
        switch (fault.kind) {
        case FaultKind::Kill:
            std::raise(SIGKILL);
            _exit(137); // not reached
        case FaultKind::DiskFull:
            error = PlatformError::DiskFull;
            return true;
        case FaultKind::Fail:
            error = PlatformError::Other;
            return true;
        }
    }
    return false;
}
