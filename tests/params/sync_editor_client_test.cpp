// The editor client against a fake editor on the loopback interface.
#include "params/sync_editor_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>

#include "params/fake_editor.h"

namespace {

using namespace std::chrono_literals;

struct Session {
    SyncTimeline timeline;
    std::vector<std::string> log;
    std::unique_ptr<SyncEditorClient> client;
    EditorEvents seen; // everything the polls reported, merged

    explicit Session(std::uint16_t port) {
        timeline.bpm = 127.5f; // 17 rows a second
        timeline.rowsPerBeat = 8;
        timeline.resizeTracks(3);
        timeline.appendKey(0, 0, 42.0f, Step); // replaced by the editor's keys on connection
        timeline.appendKey(2, 0, 7.0f, Step);
        client = std::make_unique<SyncEditorClient>(
            timeline, std::vector<std::string>{"FadeIn", "LogoGlow", "heartOpacity"},
            [this](const std::string& text) { log.push_back(text); });
        client->setRetryInterval(20ms);
        client->start("127.0.0.1", port);
    }

    // Polls show and editor until done() holds; false after two seconds.
    bool pumpUntil(FakeEditor& editor, const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + 2s;
        while (std::chrono::steady_clock::now() < until) {
            editor.serve();
            merge(client->poll());
            editor.serve();
            if (done())
                return true;
        }
        return false;
    }
    // Polls for a while and lets everything in flight arrive.
    void settle(FakeEditor& editor) {
        const auto until = std::chrono::steady_clock::now() + 100ms;
        pumpUntil(editor, [&] { return std::chrono::steady_clock::now() >= until; });
    }
    void merge(const EditorEvents& e) {
        seen.connected |= e.connected;
        seen.disconnected |= e.disconnected;
        if (e.pause)
            seen.pause = e.pause;
        if (e.seekRow)
            seen.seekRow = e.seekRow;
        seen.saveRequested |= e.saveRequested;
        seen.keyEdits += e.keyEdits;
    }
    float at(std::uint32_t track, float seconds) const { return timeline.evaluate(track, seconds); }
};

TEST(SyncEditorClient, HandshakeAsksForTracksInOrderAndTakesTheEditorsKeys) {
    FakeEditor editor("hello, demo!", 1234);
    // A linear ramp from 0 at row 0 to 1 at row 17; at 0.5 s that is (0.5 - 0.001) / 1.
    editor.holdKeys("LogoGlow", {{0, 0.0f, Linear}, {17, 1.0f, Step}});
    // Quartic keys pass through the editor unchanged: 0.5 s gives 0.499^4.
    editor.holdKeys("heartOpacity", {{17, 2.0f, Quartic}, {34, 3.0f, Step}});
    Session s(editor.port());
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.client->isConnected(); }));
    // On a loaded machine the keys may come later than a fixed settle time: wait for them,
    // then settle so that anything more would be seen too.
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.keyEdits >= 4u; }));
    s.settle(editor);

    EXPECT_EQ(editor.requested, (std::vector<std::string>{"FadeIn", "LogoGlow", "heartOpacity"}));
    EXPECT_TRUE(s.seen.connected);
    EXPECT_EQ(s.seen.pause, std::optional<bool>(true));
    EXPECT_EQ(s.seen.seekRow, std::optional<std::uint32_t>(1234));
    EXPECT_EQ(s.seen.keyEdits, 4u);
    // The show's own keys gave way: the editor holds none for FadeIn.
    EXPECT_EQ(s.at(0, 1.0f), 0.0f);
    EXPECT_EQ(s.at(1, 0.5f), 0.499f);
    const double c = (1.5f - 1.001f) / 1.0f;
    EXPECT_NEAR(s.at(2, 1.5f), 2.0 + std::pow(c, 4), 1e-6);
    ASSERT_EQ(s.timeline.tracks[2].keys.size(), 2u);
    EXPECT_EQ(s.timeline.tracks[2].keys[0].interpolation, Quartic);
}

TEST(SyncEditorClient, KeysSetChangedAndDeletedChangeTheValues) {
    FakeEditor editor;
    Session s(editor.port());
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.client->isConnected(); }));

    editor.sendKey(1, 34, 1.0f, Step);
    editor.sendKey(1, 0, 0.0f, Linear); // arrives after the later row: kept in row order
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.keyEdits == 2; }));
    EXPECT_FLOAT_EQ(s.at(1, 1.0f), 0.4995f); // (1 - 0.001) / 2
    EXPECT_EQ(s.at(1, 3.0f), 1.0f);

    editor.sendKey(1, 34, -3.5f, Smooth); // changed in place
    editor.sendKey(1, 17, 0.25f, Step);   // inserted between
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.keyEdits == 4; }));
    EXPECT_EQ(s.timeline.tracks[1].keys.size(), 3u);
    EXPECT_EQ(s.at(1, 1.5f), 0.25f);
    EXPECT_EQ(s.at(1, 3.0f), -3.5f);

    editor.sendDelete(1, 17);
    editor.sendDelete(1, 99); // no key there: nothing happens
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.keyEdits == 6; }));
    EXPECT_EQ(s.timeline.tracks[1].keys.size(), 2u);
    EXPECT_FLOAT_EQ(s.at(1, 1.5f), -3.5f * 0.7495f); // 0 to -3.5, c = (1.5 - 0.001) / 2
}

TEST(SyncEditorClient, PauseSeekSaveAndRowReportsInBigEndian) {
    FakeEditor editor;
    Session s(editor.port());
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.client->isConnected(); }));
    s.settle(editor);

    editor.sendPause(false);
    editor.sendRow(0x01020304);
    editor.sendSave();
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.saveRequested; }));
    EXPECT_EQ(s.seen.pause, std::optional<bool>(false));
    EXPECT_EQ(s.seen.seekRow, std::optional<std::uint32_t>(0x01020304));

    s.client->reportRow(70000);
    s.client->reportRow(70000); // unchanged: not sent again
    s.client->reportRow(5);
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return editor.reportedRows.size() >= 2; }));
    s.settle(editor);
    EXPECT_EQ(editor.reportedRows, (std::vector<std::uint32_t>{70000, 5}));
}

TEST(SyncEditorClient, RefusesAPeerThatIsNoEditor) {
    FakeEditor impostor("hello, world");
    Session s(impostor.port());
    s.settle(impostor);
    EXPECT_FALSE(s.client->isConnected());
    EXPECT_TRUE(impostor.requested.empty());
    EXPECT_EQ(s.at(0, 1.0f), 42.0f); // nothing changed
    ASSERT_FALSE(s.log.empty());
    EXPECT_NE(s.log.front().find("not a sync editor"), std::string::npos);
}

TEST(SyncEditorClient, KeepsTheKeysWhenTheEditorGoesAwayAndReconnects) {
    FakeEditor editor;
    editor.holdKeys("FadeIn", {{0, 5.0f, Step}});
    Session s(editor.port());
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.keyEdits == 1; }));
    editor.dropClient();
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.disconnected; }));
    EXPECT_EQ(s.at(0, 1.0f), 5.0f);

    editor.holdKeys("FadeIn", {{0, 6.0f, Step}});
    ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.keyEdits == 2; }));
    EXPECT_EQ(editor.connections, 2);
    EXPECT_EQ(editor.requested.size(), 3u);
    EXPECT_EQ(s.at(0, 1.0f), 6.0f);
}

TEST(SyncEditorClient, HostileStreamsCloseTheConnectionAndChangeNothing) {
    auto u32 = [](std::uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    auto setKey = [&](std::uint32_t track, std::uint32_t bits, char mode) {
        return std::string(1, '\0') + u32(track) + u32(0) + u32(bits) + std::string(1, mode);
    };
    const struct {
        const char* what;
        std::string bytes;
    } kStreams[] = {
        {"unknown command", std::string(1, '\x09')},
        {"track out of range", setKey(3, 0x3f800000, 0)},
        {"deletion out of range", std::string(1, '\x01') + u32(0xffffffff) + u32(0)},
        {"NaN value", setKey(0, 0x7fc00000, 0)},
        {"infinite value", setKey(0, 0x7f800000, 0)},
        {"unknown mode", setKey(0, 0x3f800000, 9)},
        {"pause flag", std::string{'\x04', '\x02'}},
        {"huge track request from the editor", std::string(1, '\x02') + u32(0xffffffff)},
    };
    for (const auto& stream : kStreams) {
        SCOPED_TRACE(stream.what);
        FakeEditor editor;
        editor.holdKeys("FadeIn", {{0, 5.0f, Step}});
        Session s(editor.port());
        ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.keyEdits == 1; }));
        // A valid key right behind the bad command must not be applied either.
        editor.sendRaw(stream.bytes + setKey(0, 0x40000000, 0));
        ASSERT_TRUE(s.pumpUntil(editor, [&] { return s.seen.disconnected; }));
        EXPECT_EQ(s.seen.keyEdits, 1u);
        EXPECT_EQ(s.at(0, 1.0f), 5.0f);
        EXPECT_NE(s.log.back().find("connection closed"), std::string::npos);
    }
}

} // namespace
