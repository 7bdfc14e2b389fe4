#include "platform/text.h"

#include <type_traits>

namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Walks text from start as code points: pairs of surrogates are joined (16-bit wchar_t), anything
// that is not a Unicode scalar value comes out as U+FFFD.
template <typename Visit>
void ForEachCodePoint(const std::wstring& text, std::size_t start, Visit visit) {
    for (std::size_t i = start; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            char32_t low =
                static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i + 1]));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                visit(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (IsSurrogate(c) || c > 0x10FFFF) {
            c = ReplacementCharacter;
        }
        visit(c);
    }
}

const char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

void AppendCodePoint(std::wstring& text, char32_t codePoint) {
    if (sizeof(wchar_t) == 2 && codePoint >= 0x10000) {
        codePoint -= 0x10000;
        text += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
        text += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
    } else {
        text += static_cast<wchar_t>(codePoint);
    }
}

std::string Utf8FromWide(const std::wstring& text) {
    // Every line of the answer file and of the log passes through here. Most are ASCII: the
    // leading ASCII characters are copied as they are; the rest is counted first, then written
    // into a string of that size.
    using Unit = std::make_unsigned_t<wchar_t>;
    std::size_t ascii = 0;
    while (ascii < text.size() && static_cast<Unit>(text[ascii]) < 0x80) {
        ++ascii;
    }
    if (ascii == text.size()) {
        return std::string(text.begin(), text.end());
    }
    std::size_t size = ascii;
    ForEachCodePoint(text, ascii, [&size](char32_t c) {
        size += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    });
    std::string out(size, '\0');
    char* at = &out[0];
    for (std::size_t i = 0; i < ascii; ++i) {
        *at++ = static_cast<char>(text[i]);
    }
    ForEachCodePoint(text, ascii, [&at](char32_t c) {
        if (c < 0x80) {
            *at++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *at++ = static_cast<char>(0xC0 | (c >> 6));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *at++ = static_cast<char>(0xE0 | (c >> 12));
            *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *at++ = static_cast<char>(0xF0 | (c >> 18));
            *at++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    });
    return out;
}

bool WideFromUtf8(const char* bytes, std::size_t size, std::wstring& text) {
    // No text has more characters than bytes: the characters are written into a string of that
    // size, which is then cut to what was written.
    text.assign(size, L'\0');
    wchar_t* at = size == 0 ? nullptr : &text[0];
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0;
    while (i < size) {
        unsigned char b = p[i];
        if (b < 0x80) {
            *at++ = static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        int extra;
        char32_t c;
        char32_t minimum;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            c = b & 0x1F;
            minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            c = b & 0x0F;
            minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (size - i <= static_cast<std::size_t>(extra)) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = p[i + k];
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || IsSurrogate(c)) {
            return false;
        }
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            c -= 0x10000;
            *at++ = static_cast<wchar_t>(0xD800 + (c >> 10));
            *at++ = static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        } else {
            *at++ = static_cast<wchar_t>(c);
        }
        i += extra + 1;
    }
    text.resize(size == 0 ? 0 : static_cast<std::size_t>(at - text.data()));
    return true;
}

std::wstring WideFromWindows1252(const char* bytes, std::size_t size) {
    std::wstring text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b < 0xA0) {
            text += static_cast<wchar_t>(Windows1252High[b - 0x80]);
        } else {
            text += static_cast<wchar_t>(b);
        }
    }
    return text;
}

std::wstring WideFromUtf16Le(const std::uint8_t* bytes, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        char32_t unit = static_cast<char32_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) {
            break;
        }
        if (sizeof(wchar_t) != 2 && unit >= 0xD800 && unit <= 0xDBFF && i + 3 < size) {
            char32_t low = static_cast<char32_t>(bytes[i + 2] | (bytes[i + 3] << 8));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

std::vector<std::uint8_t> Utf16LeFromWide(const std::wstring& text, bool withTerminator) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2 + 2);
    auto put = [&out](char32_t unit) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
    };
    for (wchar_t w : text) {
        char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(w));
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else if (c > 0x10FFFF) {
            put(0xFFFD);
        } else {
            put(c);
        }
    }
    if (withTerminator) {
        put(0);
    }
    return out;
}

std::size_t Utf16Length(const std::wstring& text) {
    std::size_t length = 0;
    for (wchar_t w : text) {
        // A code point beyond U+FFFF takes two UTF-16 units; where wchar_t is 16 bits wide it
        // is already stored as two.
        char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(w));
        length += (sizeof(wchar_t) > 2 && c >= 0x10000) ? 2 : 1;
    }
    return length;
}
