// The sync editor's track files: what is refused, and what reads back exactly.
#include <gtest/gtest.h>

#include <stdexcept>

#include "rocket_file.h"

namespace {

TEST(RocketFile, RefusesMalformedFiles) {
    const char* const kBad[] = {
        "<sync rows=\"10\"><tracks><track name=\"a\"><key row=\"1\"",                // cut off
        "<sync rows=\"10\"><key row=\"1\" value=\"1\" interpolation=\"0\"/></sync>", // no track
        "<sync rows=\"x\"/>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"-1\" value=\"1\" "
        "interpolation=\"0\"/></track></tracks></sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"4294967296\" value=\"1\" "
        "interpolation=\"0\"/></track></tracks></sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"1\" value=\"nan\" "
        "interpolation=\"0\"/></track></tracks></sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"1\" value=\"1\" "
        "interpolation=\"5\"/></track></tracks></sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"><key row=\"1\" value=\"1\" "
        "interpolation=\"0\"/><key row=\"1\" value=\"2\" interpolation=\"0\"/></track></tracks>"
        "</sync>",
        "<sync rows=\"9\"><tracks><track name=\"a\"/><track name=\"a\"/></tracks></sync>",
    };
    for (const char* text : kBad)
        EXPECT_THROW(readRocket(text), std::runtime_error) << text;
}

TEST(RocketFile, WritesNamesAndValuesThatReadBackExactly) {
    RocketFile file{12,
                    {{"a<&\"b\tc\nd\re",
                      {{3, 0.1f, Quartic}, {7, -1.0e-6f, Quadratic}, {9, 1.0f / 3.0f, Step}}}}};
    const RocketFile back = readRocket(writeRocket(file));
    EXPECT_EQ(back.rows, 12u);
    ASSERT_EQ(back.tracks.size(), 1u);
    EXPECT_EQ(back.tracks[0].name, "a<&\"b\tc\nd\re");
    ASSERT_EQ(back.tracks[0].keys.size(), 3u);
    EXPECT_EQ(back.tracks[0].keys[0].value, 0.1f);
    EXPECT_EQ(back.tracks[0].keys[0].interpolation, Quartic);
    EXPECT_EQ(back.tracks[0].keys[1].row, 7u);
    EXPECT_EQ(back.tracks[0].keys[1].value, -1.0e-6f);
    EXPECT_EQ(back.tracks[0].keys[2].value, 1.0f / 3.0f);
}

} // namespace
