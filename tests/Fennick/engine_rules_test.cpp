// Rules of the engine that need no device: copy selection, dispatch groups, mip levels, row
// flips and the ContextBuffer upload block.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Fennick/copy_selection.h"
#include "Fennick/dispatch_groups.h"
#include "Fennick/image_rows.h"
#include "Fennick/texture_layout.h"
#include "Fennick/upload_block.h"

using namespace Fennick::gfx;

TEST(CopySelection, DoubleBufferedCopiesSwapRolesSingleOnesNever) {
    // Before the first swap passes write A and read B; afterwards the other way round.
    EXPECT_EQ(selectCopy(true, false, false, 'A', 'B'), 'A');
    EXPECT_EQ(selectCopy(true, false, true, 'A', 'B'), 'B');
    EXPECT_EQ(selectCopy(true, true, false, 'A', 'B'), 'B');
    EXPECT_EQ(selectCopy(true, true, true, 'A', 'B'), 'A');
    for (bool swapped : {false, true})
        for (bool read : {false, true})
            EXPECT_EQ(selectCopy(false, swapped, read, 'A', 'B'), 'A');
}

TEST(DispatchGroups, GroupsOfEightRoundedUpAndNeverZero) {
    EXPECT_EQ(dispatchGroupCount(1000), 125u);
    EXPECT_EQ(dispatchGroupCount(1001), 126u);
    EXPECT_EQ(dispatchGroupCount(1569), 197u);
    EXPECT_EQ(dispatchGroupCount(1), 1u);
    EXPECT_EQ(dispatchGroupCount(0), 1u);
    EXPECT_EQ(dispatchGroupCount(0xFFFFFFFFu), 0x20000000u);
}

TEST(TextureLayout, MipLevelsFollowTheLargestExtent) {
    TextureDesc desc;
    desc.width = 1600;
    desc.height = 900;
    desc.mipmaps = 1;
    EXPECT_EQ(mipLevelCount(desc), 11u);
    desc.dimension = Tex1D;
    desc.width = 8;
    EXPECT_EQ(mipLevelCount(desc), 4u); // height is not an extent of a 1D texture
    desc.dimension = Tex3D;
    desc.depth = 2048;
    EXPECT_EQ(mipLevelCount(desc), 12u);

    desc.dimension = Tex2D;
    desc.width = 0;
    desc.height = 0;
    EXPECT_EQ(mipLevelCount(desc), 1u);
    desc.width = 256;
    desc.format = FormatD32Float;
    EXPECT_EQ(mipLevelCount(desc), 1u);
    desc.format = FormatR8G8B8A8Unorm;
    desc.mipmaps = 0;
    EXPECT_EQ(mipLevelCount(desc), 1u);

    EXPECT_EQ(deviceExtent(0), 1u);
    EXPECT_EQ(deviceExtent(5), 5u);
    EXPECT_TRUE(isDepthFormat(FormatD24UnormS8Uint));
    EXPECT_FALSE(isDepthFormat(FormatR32Uint));
}

TEST(ImageRows, FlipSwapsRowsAroundTheMiddle) {
    std::vector<uint8_t> pixels = {1, 1, 2, 2, 3, 3}; // 1 x 3 pixels of 2 bytes
    flipRowsVertically(pixels.data(), 1, 3, 2);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{3, 3, 2, 2, 1, 1}));
    std::vector<uint8_t> even = {1, 2, 3, 4, 5, 6, 7, 8}; // 2 x 4, one byte each
    flipRowsVertically(even.data(), 2, 4, 1);
    EXPECT_EQ(even, (std::vector<uint8_t>{7, 8, 5, 6, 3, 4, 1, 2}));
}

TEST(UploadBlock, BuiltInsThenPackedParametersThenZeroTail) {
    EXPECT_EQ(uploadBlockSize(608, 0), 608u);
    EXPECT_EQ(uploadBlockSize(608, 31 * 4), 736u);
    EXPECT_EQ(uploadBlockSize(608, 16), 624u);
    EXPECT_EQ(uploadBlockSize(608, 17), 640u);

    std::vector<uint8_t> builtIns(608);
    for (size_t i = 0; i < builtIns.size(); ++i)
        builtIns[i] = uint8_t(i * 7);
    ParamBlock params;
    params.set({makeFloatParam("a", 1.5f), makeFloatParam("b", -2.0f)});
    const std::vector<uint8_t> block = buildUploadBlock(builtIns.data(), 608, params);
    ASSERT_EQ(block.size(), 624u);
    EXPECT_EQ(std::memcmp(block.data(), builtIns.data(), 608), 0);
    float values[2];
    std::memcpy(values, block.data() + 608, 8);
    EXPECT_EQ(values[0], 1.5f);
    EXPECT_EQ(values[1], -2.0f);
    for (size_t i = 616; i < block.size(); ++i)
        EXPECT_EQ(block[i], 0) << "tail byte " << i;
}
