#include "Fennick/id_map.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace {

using Fennick::gfx::IdMap;

// Ids only: the map stores pointers, and distinct fake addresses are enough to tell slots apart.
int* tag(std::uint32_t id) {
    return reinterpret_cast<int*>(static_cast<std::uintptr_t>(id) * 16 + 16);
}

TEST(IdMap, FindOrInsertReturnsTheSameSlotForAnId) {
    IdMap<int> map;
    for (auto& node : map)
        ADD_FAILURE() << "an empty map visited id " << node.key;
    int*& slot = map.findOrInsert(7);
    EXPECT_EQ(slot, nullptr);
    slot = tag(7);
    EXPECT_EQ(map.count, 1u);
    EXPECT_EQ(&map.findOrInsert(7), &slot);
    EXPECT_EQ(map.findOrInsert(7), tag(7));
    EXPECT_EQ(map.count, 1u);
    EXPECT_EQ(map.find(8), nullptr);
}

TEST(IdMap, GrowsToSixtyFourBucketsAtTheThirtySixthInsert) {
    IdMap<int> map;
    for (std::uint32_t id = 0; id < 35; ++id) {
        map.findOrInsert(id) = tag(id);
        EXPECT_EQ(map.bucketCount(), 8u) << "after id " << id;
    }
    map.findOrInsert(35) = tag(35);
    EXPECT_EQ(map.bucketCount(), 64u);
    for (std::uint32_t id = 0; id < 36; ++id)
        EXPECT_EQ(map.find(id), tag(id)) << "id " << id;
}

TEST(IdMap, TenThousandRandomIdsAreAllFoundAndIteratedOnce) {
    IdMap<int> map;
    std::mt19937 rng(1234);
    std::set<std::uint32_t> ids;
    while (ids.size() < 10000)
        ids.insert(static_cast<std::uint32_t>(rng()));
    // Insert in a shuffled order so buckets fill unevenly while the map grows.
    std::vector<std::uint32_t> order(ids.begin(), ids.end());
    std::shuffle(order.begin(), order.end(), rng);
    for (std::uint32_t id : order)
        map.findOrInsert(id) = tag(id);
    EXPECT_EQ(map.count, 10000u);
    EXPECT_EQ(map.bucketCount(), 4096u); // 8 -> 64 -> 512 -> 4096 as the count passes 4 x elements

    for (std::uint32_t id : ids)
        ASSERT_EQ(map.find(id), tag(id));
    std::map<std::uint32_t, int> visits;
    for (auto& node : map) {
        ++visits[node.key];
        EXPECT_EQ(node.value, tag(node.key));
    }
    EXPECT_EQ(visits.size(), ids.size());
    for (auto& [id, n] : visits)
        EXPECT_EQ(n, 1) << "id " << id;
}

} // namespace
