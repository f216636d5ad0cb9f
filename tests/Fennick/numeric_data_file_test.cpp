#include "Fennick/numeric_data_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

using namespace Fennick::gfx;

namespace {

std::vector<int32_t> asInts(const std::vector<uint8_t>& bytes) {
    std::vector<int32_t> values(bytes.size() / 4);
    std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

std::vector<float> asFloats(const std::vector<uint8_t>& bytes) {
    std::vector<float> values(bytes.size() / 4);
    std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

std::string writeTempFile(const std::string& name, const std::string& content) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

} // namespace

TEST(NumericDataFile, CommasSpacesAndLineBreaksAllSeparateNumbers) {
    using Ints = std::vector<int32_t>;
    EXPECT_EQ(asInts(convertNumbers("1, 2,3 ,4", Int)), (Ints{1, 2, 3, 4}));
    EXPECT_EQ(asInts(convertNumbers("1\n2\n3\n", Int)), (Ints{1, 2, 3}));
    EXPECT_EQ(asInts(convertNumbers("1\r\n2\r\n3", Int)), (Ints{1, 2, 3}));
    EXPECT_EQ(asInts(convertNumbers("\t7\t-8,,, \n9", Int)), (Ints{7, -8, 9}));
    EXPECT_EQ(countNumbers(" , \n"), 0u);
    EXPECT_EQ(countNumbers(""), 0u);
}

TEST(NumericDataFile, ConvertsEachTypeToItsElement) {
    EXPECT_EQ(asFloats(convertNumbers("0.5, -2.25e1,3", Float)),
              (std::vector<float>{0.5f, -22.5f, 3.0f}));
    EXPECT_EQ(convertNumbers("1, 255, 256, -1, 300", Byte),
              (std::vector<uint8_t>{1, 255, 0, 255, 44}));
    // Out of the 32-bit range wraps instead of invoking undefined behaviour.
    EXPECT_EQ(asInts(convertNumbers("4294967297", Int)), (std::vector<int32_t>{1}));
    // A leading number is read up to its first non-numeric character, as atoi does.
    EXPECT_EQ(asInts(convertNumbers("12abc x", Int)), (std::vector<int32_t>{12, 0}));
    EXPECT_TRUE(convertNumbers("1, 2", BufferDataType(7)).empty());
    EXPECT_EQ(bufferDataElementSize(BufferDataType(7)), 0u);
}

TEST(NumericDataFile, LoadsFilesAndReportsUnreadableOnes) {
    const std::string lines = writeTempFile("engine_lines.txt", "10\n20\n30\n");
    NumericData loaded = loadNumericDataFile(lines.c_str(), Int);
    EXPECT_TRUE(loaded.opened);
    EXPECT_EQ(loaded.count, 3u);
    EXPECT_EQ(asInts(loaded.bytes), (std::vector<int32_t>{10, 20, 30}));

    const std::string empty = writeTempFile("engine_empty.txt", "");
    loaded = loadNumericDataFile(empty.c_str(), Float);
    EXPECT_TRUE(loaded.opened);
    EXPECT_EQ(loaded.count, 0u);
    EXPECT_TRUE(loaded.bytes.empty());

    loaded = loadNumericDataFile((::testing::TempDir() + "engine_no_such_file.txt").c_str(), Int);
    EXPECT_FALSE(loaded.opened);
    EXPECT_EQ(loaded.count, 0u);
    // A directory opens on some systems but cannot be read.
    loaded = loadNumericDataFile(::testing::TempDir().c_str(), Int);
    EXPECT_FALSE(loaded.opened);
}
