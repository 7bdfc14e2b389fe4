// Text helpers of the stand-in layer: ASCII case folding and decoding of host bytes.
#include "platform/platform_error.h"
#include "platform/posix/layer_state.h"
#include "platform/text.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

wchar_t FoldAscii(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
}

std::wstring FoldAsciiText(const std::wstring& text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) {
        c = FoldAscii(c);
    }
    return folded;
}

std::wstring WideFromHostBytes(const std::string& bytes) {
    std::wstring text;
    if (WideFromUtf8(bytes.data(), bytes.size(), text)) {
        return text;
    }
    return WideFromWindows1252(bytes.data(), bytes.size());
}

std::wstring WideFromWholeUtf16Le(const std::uint8_t* bytes, std::size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        char32_t unit = static_cast<char32_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < size) {
            char32_t low = static_cast<char32_t>(bytes[i + 2] | (bytes[i + 3] << 8));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendCodePoint(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

bool ReadWholeHostFile(const std::string& hostPath, std::string& bytes) {
    bytes.clear();
    int descriptor;
    do {
        descriptor = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        return FailWithErrno(errno);
    }
    char buffer[1 << 16];
    for (;;) {
        ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            ::close(descriptor);
            bytes.clear();
            return FailWith(PlatformError::Other);
        }
        if (count == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    return true;
}
