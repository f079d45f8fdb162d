#include "app/EngineFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(VideoMode, OnlyModesThatCanOpenAWindowAreInRange)
{
    const std::vector<std::string> offered = {"1024 x 768", "800 x 600", "640 x 480"};
    struct {
        const char* mode;
        bool inRange;
    } cases[] = {
        {"800 x 600", true},     {"1024 x 768", true},       {"700 x 500", true},
        {"320 x 240", true},     {"0 x 0", false},           {"abc", false},
        {"", false},             {"32767 x 32767", false},   {"1025 x 768", false},
        {"319 x 600", false},    {"-800 x 600", false},      {"800 600", false},
        {"800 x", false},        {"99999999999 x 600", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(videoModeInRange(c.mode, offered), c.inRange) << c.mode;
    // A mode the render system offers counts whatever its text looks like.
    EXPECT_TRUE(videoModeInRange("1920 x 1080 @ 32-bit colour", {"1920 x 1080 @ 32-bit colour"}));
}

} // namespace
