#include "addons/numbered_list.h"

#include "platform/platform.h"

std::vector<std::wstring> ReadNumberedList(const std::wstring& iniPath, const std::wstring& section,
                                           const std::wstring& prefix) {
    std::vector<std::wstring> values;
    for (unsigned long number = 1;; ++number) {
        std::wstring value = ReadProfileString(iniPath, section, prefix + std::to_wstring(number));
        if (value.empty()) {
            return values;
        }
        values.push_back(value);
    }
}
