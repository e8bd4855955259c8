// Saving what a test saw, as a PNG in the build's test-output folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "gdi/png.h"

// Writes test-output/<name>.png and returns its path.
inline std::string SaveSnapshot(const Surface& surface, const std::string& name)
{
    std::filesystem::create_directories(TEST_OUTPUT_DIR);
    const std::string path = std::string(TEST_OUTPUT_DIR) + "/" + name + ".png";
    WriteSurfacePng(surface, path.c_str());
    return path;
}

// For TearDown: saves the surface under the test's name when the test has failed.
inline void SaveSnapshotOnFailure(const Surface& surface)
{
    if (!::testing::Test::HasFailure())
        return;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    std::cerr << "What the test saw: " << SaveSnapshot(surface, name) << "\n";
}
