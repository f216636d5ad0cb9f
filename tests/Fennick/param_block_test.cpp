#include "Fennick/graph_runtime.h"
#include "Fennick/param_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace {

using namespace Fennick::gfx;

ParamDesc param(const char* name, ParamType type, std::uint8_t fill) {
    ParamDesc d{};
    std::strncpy(d.name, name, sizeof d.name - 1);
    d.type = type;
    std::memset(d.value, fill, sizeof d.value);
    return d;
}

TEST(ParamBlock, MixedTypesPackBackToBackWithoutPadding) {
    ParamBlock block;
    block.set({param("a", ParamType::Float, 0x11), param("b", ParamType::Float3, 0x22),
               param("c", ParamType::Float2, 0x33), param("d", ParamType::Int, 0x44),
               param("e", ParamType::Float4, 0x55)});
    EXPECT_EQ(block.offsets, (std::vector<std::uint32_t>{0, 4, 16, 24, 28, 44}));
    ASSERT_EQ(block.size, 44u);
    ASSERT_EQ(block.data.size(), 44u);
    const std::uint8_t expected[] = {0x11, 0x22, 0x33, 0x44, 0x55};
    for (std::size_t i = 0; i < 5; ++i)
        for (std::uint32_t b = block.offsets[i]; b < block.offsets[i + 1]; ++b)
            EXPECT_EQ(block.data[b], expected[i]) << "byte " << b;
}

TEST(ParamBlock, RepackingReplacesTheEarlierPacking) {
    ParamBlock block;
    block.set({param("a", ParamType::Float4, 1)});
    block.list[0].value[0] = 9;
    block.set(block.list);
    EXPECT_EQ(block.offsets, (std::vector<std::uint32_t>{0, 16}));
    EXPECT_EQ(block.data[0], 9);
    block.clearPacking();
    EXPECT_TRUE(block.offsets.empty());
    EXPECT_EQ(block.size, 0u);
    EXPECT_EQ(block.list.size(), 1u);
    block.set({}); // an empty list packs to nothing
    EXPECT_EQ(block.offsets, std::vector<std::uint32_t>{0});
    EXPECT_EQ(block.size, 0u);
    EXPECT_TRUE(block.data.empty());
}

TEST(ParamBlock, TypeOutsideTheTablesFailsNamingTheParameter) {
    ParamBlock block;
    try {
        block.set(
            {param("ok", ParamType::Float, 0), param("broken", static_cast<ParamType>(5), 0)});
        FAIL() << "expected a failure";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("broken"), std::string::npos);
    }
    EXPECT_THROW(paramTypeName(static_cast<ParamType>(-1)), std::invalid_argument);
    EXPECT_STREQ(paramTypeName(ParamType::Float3), "float3");
    EXPECT_EQ(paramTypeSize(ParamType::Int), 4u);
}

TEST(RunCondition, FirstFrameOnlyAndNever) {
    EXPECT_TRUE(runConditionHolds(EveryFrame, 0));
    EXPECT_TRUE(runConditionHolds(EveryFrame, 1));
    EXPECT_TRUE(runConditionHolds(FirstFrame, 1));
    EXPECT_FALSE(runConditionHolds(FirstFrame, 0));
    EXPECT_FALSE(runConditionHolds(2, 1));
    EXPECT_FALSE(runConditionHolds(0xFFFFFFFFu, 1));
}

} // namespace
