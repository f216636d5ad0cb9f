// The editor's byte stream as the network delivers it: reads may split it anywhere, inside the
// greeting, inside a command's payload or between commands. Each recorded session is fed whole,
// then in two reads at every byte boundary, then a byte at a time; keys, events, verdict and
// what is held for the next read must be those of the whole stream every time.
#include "params/editor_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTracks = 3;

// The editor's bytes, spelled out here rather than taken from the client's protocol header.
std::string u32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
std::string setKey(std::uint32_t track, std::uint32_t row, float value, char mode) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    return std::string(1, '\0') + u32(track) + u32(row) + u32(bits) + std::string(1, mode);
}
std::string deleteKey(std::uint32_t track, std::uint32_t row) {
    return std::string(1, '\1') + u32(track) + u32(row);
}
std::string setRow(std::uint32_t row) {
    return std::string(1, '\3') + u32(row);
}
std::string pause(bool on) {
    return {'\4', char(on ? 1 : 0)};
}
const std::string kGreeting = "hello, demo!";
const std::string kSave(1, '\5');

// What a stream left behind; compared as text that holds all of it, values to the bit.
struct Outcome {
    EditorStream::Status status = EditorStream::Status::Ok;
    std::string why;
    EditorEvents events;
    std::vector<std::vector<SyncKey>> keys;
    std::size_t pending = 0;

    std::string text() const {
        std::ostringstream out;
        out << "status " << int(status) << " '" << why << "' connected " << events.connected
            << " pause " << (events.pause ? int(*events.pause) : -1) << " row "
            << (events.seekRow ? std::int64_t(*events.seekRow) : -1) << " save "
            << events.saveRequested << " edits " << events.keyEdits << " pending " << pending;
        for (const auto& track : keys) {
            out << " |";
            for (const SyncKey& k : track)
                out << " " << k.row << ":" << std::hexfloat << k.value << std::defaultfloat << ":"
                    << k.interpolation;
        }
        return out.str();
    }
};

// Feeds `bytes` in reads ending at `cuts` (ascending, inside the stream); stops at a refusal,
// as the client closes the connection there.
Outcome feedInReads(const std::string& bytes, const std::vector<std::size_t>& cuts) {
    SyncTimeline timeline;
    timeline.resizeTracks(kTracks + 1); // the last one is never asked for
    for (std::uint32_t t = 0; t <= kTracks; ++t)
        timeline.appendKey(t, 100, 9.0f, Step); // the keys from before the connection
    EditorStream stream(timeline, kTracks);
    Outcome o;
    std::size_t from = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(bytes.size());
    for (std::size_t end : ends) {
        o.status = stream.feed(bytes.data() + from, end - from, o.events, o.why);
        from = end;
        if (o.status != EditorStream::Status::Ok)
            break;
    }
    for (const SyncTrack& track : timeline.tracks)
        o.keys.push_back(track.keys);
    // A refused stream's connection is closed: what it held does not matter.
    o.pending = o.status == EditorStream::Status::Ok ? stream.pending() : 0;
    return o;
}

TEST(EditorStream, ARecordedSessionGivesTheSameResultWhereverReadsSplitIt) {
    const struct Session {
        const char* what;
        std::string bytes;
        EditorStream::Status status;
        std::size_t keyEdits, pending;
    } sessions[] = {
        {"an editing session",
         kGreeting + setRow(34) + pause(true) + setKey(0, 0, 1.0f, 1) + setKey(0, 17, 2.0f, 2) +
             setKey(2, 5, -3.5f, 0) + setKey(0, 17, 4.0f, 3) + deleteKey(2, 5) + deleteKey(1, 9) +
             setRow(51) + pause(false) + kSave,
         EditorStream::Status::Ok, 6, 0},
        {"a session whose last command is still on its way",
         kGreeting + setKey(1, 3, 0.5f, 1) + setRow(7) + setKey(1, 4, 0.25f, 0).substr(0, 9),
         EditorStream::Status::Ok, 1, 9},
        {"a key for a track never asked for stops the stream there",
         kGreeting + setKey(0, 1, 1.0f, 0) + setKey(3, 1, 1.0f, 0) + setKey(0, 2, 2.0f, 0),
         EditorStream::Status::Malformed, 1, 0},
        {"an unknown command right behind the greeting", kGreeting + "\x09" + setRow(3),
         EditorStream::Status::Malformed, 0, 0},
        {"a peer that is no editor", "hello, demon" + setRow(3), EditorStream::Status::NotAnEditor,
         0, 0},
    };
    for (const Session& s : sessions) {
        SCOPED_TRACE(s.what);
        const Outcome whole = feedInReads(s.bytes, {});
        ASSERT_EQ(whole.status, s.status) << whole.text();
        EXPECT_EQ(whole.events.keyEdits, s.keyEdits);
        EXPECT_EQ(whole.pending, s.pending);
        for (std::size_t cut = 1; cut < s.bytes.size(); ++cut)
            ASSERT_EQ(feedInReads(s.bytes, {cut}).text(), whole.text()) << "split after " << cut;
        std::vector<std::size_t> everyByte;
        for (std::size_t cut = 1; cut < s.bytes.size(); ++cut)
            everyByte.push_back(cut);
        EXPECT_EQ(feedInReads(s.bytes, everyByte).text(), whole.text()) << "a byte at a time";
    }

    // What the editing session leaves, read whole: the editor's keys in place of the old ones
    // on the tracks asked for, the last row and pause, the save.
    const Outcome edited = feedInReads(sessions[0].bytes, {});
    ASSERT_EQ(edited.keys.size(), kTracks + 1);
    ASSERT_EQ(edited.keys[0].size(), 2u);
    EXPECT_EQ(edited.keys[0][1].value, 4.0f);
    EXPECT_EQ(edited.keys[0][1].interpolation, 3);
    EXPECT_TRUE(edited.keys[1].empty() && edited.keys[2].empty());
    EXPECT_EQ(edited.keys[3].size(), 1u) << "a track never asked for lost its keys";
    EXPECT_EQ(edited.events.seekRow, 51u);
    EXPECT_EQ(edited.events.pause, false);
    EXPECT_TRUE(edited.events.saveRequested && edited.events.connected);
}

} // namespace
