// The show's command line, the fit of its window to a monitor, and its clock without a sound
// card.
#include <gtest/gtest.h>

#include <thread>

#include "app/show_arguments.h"
#include "app/silent_clock.h"
#include "app/window_fit.h"

namespace {

// Options in either order, with their values whole; the combinations that make no sense
// refused with one line.
TEST(ShowArguments, ParsedAsEveryToolParsesInAnyOrder) {
    const struct {
        std::vector<std::string> words;
        bool edit, check;
        const char *address, *folder, *shaders, *error;
    } cases[] = {
        {{}, false, false, "", "", "", ""},
        {{"--check"}, false, true, "", "", "", ""},
        {{"--check", "C:\\My renders\\Zoë"}, false, true, "", "C:\\My renders\\Zoë", "", ""},
        {{"--check=C:\\a b"}, false, true, "", "C:\\a b", "", ""},
        {{"--edit"}, true, false, "", "", "", ""},
        {{"--edit", "host:1"}, true, false, "host:1", "", "", ""},
        {{"--shaders", "D:\\my shaders", "--edit"}, true, false, "", "", "D:\\my shaders", ""},
        {{"--edit", "--shaders", "s", "h:2"},
         true,
         false,
         "",
         "",
         "s",
         "unexpected argument 'h:2'"},
        {{"--edit", "h:2", "--shaders", "s"}, true, false, "h:2", "", "s", ""},
        {{"--check", "--edit"},
         true,
         true,
         "",
         "",
         "",
         "--edit and --check cannot be used together"},
        {{"--shaders", "s"}, false, false, "", "", "s", "--shaders goes with --edit"},
        {{"--edit", "--shaders"}, true, false, "", "", "", "--shaders needs a value"},
        {{"Zoë x y"}, false, false, "", "", "", "unexpected argument 'Zoë x y'"},
        {{"--bogus"}, false, false, "", "", "", "unknown option '--bogus'"},
    };
    for (const auto& c : cases) {
        std::string label;
        for (const std::string& w : c.words)
            label += "[" + w + "]";
        const ShowArguments a = parseShowArguments(c.words, true);
        EXPECT_EQ(a.error, c.error) << label;
        if (!a.error.empty())
            continue;
        EXPECT_EQ(a.edit, c.edit) << label;
        EXPECT_EQ(a.check, c.check) << label;
        EXPECT_EQ(a.address, c.address) << label;
        EXPECT_EQ(a.checkFolder, c.folder) << label;
        EXPECT_EQ(a.shaders, c.shaders) << label;
    }
    EXPECT_TRUE(parseShowArguments({"--check", "--help"}, true).help);
    EXPECT_EQ(parseShowArguments({"--edit", "--shaders", "s"}, false).error,
              "unknown option '--shaders'")
        << "a build without live shaders takes no --shaders";
}

// The wide strings CommandLineToArgvW gives, in UTF-8 (on Windows these are UTF-16, with
// surrogate pairs for characters beyond the first plane).
TEST(ShowArguments, WideTextBecomesUtf8) {
    EXPECT_EQ(utf8FromWide(L"C:\\Users\\Zoë\\My renders"), "C:\\Users\\Zoë\\My renders");
    EXPECT_EQ(utf8FromWide(L"日本 🎵"), "日本 🎵");
    EXPECT_EQ(utf8FromWide(L""), "");
}

// Centred in the work area when the picture fits; otherwise the largest window of the
// picture's shape, centred, never outside the work area.
TEST(WindowFit, FitsTheWorkAreaKeepingTheShape) {
    const struct {
        RECT work;
        WindowPlacement expected;
    } cases[] = {
        {{0, 0, 1920, 1080}, {160, 90, 1600, 900}},
        {{0, 0, 1920, 1040}, {160, 70, 1600, 900}},   // task bar at the bottom
        {{60, 0, 1920, 1080}, {190, 90, 1600, 900}},  // task bar on the left
        {{0, 0, 1600, 900}, {0, 0, 1600, 900}},       // exactly
        {{0, 0, 1366, 728}, {36, 0, 1294, 728}},      // 1366 x 768 less a 40-pixel task bar
        {{0, 0, 1366, 768}, {0, 0, 1365, 768}},       // 1366 x 768, no task bar
        {{0, 0, 1280, 1024}, {0, 152, 1280, 720}},    // 5:4: the width decides
        {{0, 0, 1920, 800}, {249, 0, 1422, 800}},     // wide enough, too low
        {{1920, 0, 3286, 728}, {1956, 0, 1294, 728}}, // a second monitor to the right
    };
    for (const auto& c : cases) {
        const WindowPlacement p = fitWindow(c.work, 1600, 900);
        const std::string label = std::to_string(c.work.right - c.work.left) + "x" +
                                  std::to_string(c.work.bottom - c.work.top);
        EXPECT_EQ(std::make_tuple(p.x, p.y, p.width, p.height),
                  std::make_tuple(c.expected.x, c.expected.y, c.expected.width, c.expected.height))
            << label;
        EXPECT_GE(p.x, c.work.left) << label;
        EXPECT_GE(p.y, c.work.top) << label;
        EXPECT_LE(p.x + p.width, c.work.right) << label;
        EXPECT_LE(p.y + p.height, c.work.bottom) << label;
        // The shape within one pixel of rounding.
        EXPECT_NEAR(double(p.width) * 900 / 1600, p.height, 1.0) << label;
    }
}

// Without a sound card: 0 at the first reading (the first frame), then the time since.
TEST(SilentClock, StartsAtTheFirstFrameAndAdvances) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // before the show: not counted
    SilentClock clock;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FLOAT_EQ(clock.seconds(), 0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    const float later = clock.seconds();
    EXPECT_GE(later, 0.119f);
    EXPECT_LT(later, 1.0f);
    EXPECT_GE(clock.seconds(), later);
}

} // namespace
