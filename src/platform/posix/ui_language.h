// The Windows language identifier (LANGID) of a POSIX locale name.
#pragma once

#include <cstdint>
#include <string>

// LANGID of a locale such as "de_AT.UTF-8" or "sr_RS@latin": the language and territory pick the
// identifier; a known language with no or an unknown territory gets its main identifier; "C",
// "POSIX", an empty name and an unknown language give 0x0409 (English, United States).
std::uint16_t LanguageIdOfLocale(const std::string& locale);
