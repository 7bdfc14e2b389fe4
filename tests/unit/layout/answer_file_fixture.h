// Shared by the answer-file tests: golden files, the answer file's host path, compact layouts.
#pragma once

#include "layout/tile_layout.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// The bytes of a golden file in tests/unit/layout/golden/.
inline std::string Golden(const std::string& name) {
    std::filesystem::path path = std::filesystem::path(__FILE__).parent_path() / "golden" / name;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    EXPECT_FALSE(content.str().empty()) << "missing golden file " << path;
    return content.str();
}

// Host path of C:\Windows\Panther\unattend.xml in the test image.
inline std::string AnswerHost(const TestImage& image) {
    return ImagePath(image, "Windows/Panther/unattend.xml");
}

// A layout with the given slots filled.
inline TileLayout LayoutOf(const std::vector<std::pair<int, std::wstring>>& slots) {
    TileLayout layout;
    for (const auto& slot : slots) {
        layout.slots[slot.first] = slot.second;
    }
    return layout;
}
