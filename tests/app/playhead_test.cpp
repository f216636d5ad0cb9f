// The playhead's moves as the editor makes them: rows come at 17 a second and grid frames at 60,
// so most rows fall between grid frames. After any sequence of moves the picture's state must
// be that of one continuous run: grid frames up to the seek, then the frames drawn since, each
// with the next counter and its elapsed time measured from the frame before.
#include "app/playhead.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <vector>

namespace {

constexpr double kFps = 60.0;

struct Frame {
    float time;
    std::uint32_t counter;
    float elapsed;
    int keys; // the edition of the keys the frame was made with
    bool operator==(const Frame& o) const {
        return time == o.time && counter == o.counter && elapsed == o.elapsed && keys == o.keys;
    }
};
std::ostream& operator<<(std::ostream& out, const Frame& f) {
    return out << "{" << f.time << " s, #" << f.counter << ", +" << f.elapsed << ", keys " << f.keys
               << "}";
}

// A picture whose state is every frame it has gone through since it started fresh, each
// with the keys of its time.
struct HistoryPicture : PlayheadPicture {
    std::vector<Frame> history;
    int keys = 0;
    void draw(float time, std::uint32_t frame, float elapsed) override {
        history.push_back({time, frame, elapsed, keys});
    }
    void advanceState(float time, std::uint32_t frame, float elapsed) override {
        history.push_back({time, frame, elapsed, keys});
    }
    // Drawn again from the state the frame started from: the state after it is unchanged.
    void redrawLast() override { ASSERT_FALSE(history.empty()) << "nothing drawn to draw again"; }
    void restart() override { history.clear(); }
};

// The clock at a row, as the editor's seek sets it: the row's song frame at 44100 Hz.
float rowTime(std::uint32_t row) {
    return static_cast<float>(static_cast<double>(std::llround(row / 17.0 * 44100.0)) / 44100.0);
}

// A continuous run with the keys as they are: grid frames 0 .. gridFrames - 1, then frames at
// `times`.
std::vector<Frame> continuousRun(std::int64_t gridFrames, const std::vector<float>& times,
                                 int keys) {
    std::vector<Frame> run;
    float previous = 0.0f;
    auto add = [&](float t) {
        run.push_back({t, std::uint32_t(run.size()), t - previous, keys});
        previous = t;
    };
    for (std::int64_t k = 0; k < gridFrames; ++k)
        add(gridTime(k, kFps));
    for (float t : times)
        add(t);
    return run;
}

// A move: draw at a time, hold or let go, seek to a row as the editor does, or keys edited.
using Move = std::function<void(Playhead&, HistoryPicture&)>;
Move draw(float time) {
    return [time](Playhead& p, HistoryPicture&) { p.advanceTo(time); };
}
Move seek(std::uint32_t row) {
    return [row](Playhead& p, HistoryPicture&) { p.seekToTime(rowTime(row)); };
}
const Move hold = [](Playhead& p, HistoryPicture&) { p.hold(true); };
const Move play = [](Playhead& p, HistoryPicture&) { p.hold(false); };
const Move edit = [](Playhead& p, HistoryPicture& picture) {
    ++picture.keys;
    p.historyChanged();
};

TEST(Playhead, EveryMoveLeavesThePictureAsAContinuousRunToThatMoment) {
    const float r1 = rowTime(1), r2 = rowTime(2), r34 = rowTime(34), r35 = rowTime(35),
                r51 = rowTime(51), step = 1.0f / 60.0f;
    // Row 1 lies between grid frames 3 and 4, row 2 between 7 and 8, row 35 between 123 and 124;
    // rows 34 and 51 are grid frames 120 and 180.
    const struct Case {
        const char* what;
        std::vector<Move> moves;
        std::int64_t gridFrames;  // replayed by the last seek
        std::vector<float> drawn; // new frames drawn after it
    } cases[] = {
        {"advance after a hold at a row off the grid",
         {draw(0), hold, seek(1), draw(r1), draw(r1), draw(r1), play, draw(r1 + step),
          draw(r1 + 2 * step)},
         4,
         {r1, r1 + step, r1 + 2 * step}},
        {"advance after an edit replayed a held frame off the grid",
         {draw(0), hold, seek(1), draw(r1), edit, seek(1), draw(r1), draw(r1), play,
          draw(r1 + step)},
         4,
         {r1, r1 + step}},
        {"a seek to the grid frame just drawn",
         {seek(34), draw(r34), seek(34), draw(r34)},
         120,
         {r34}},
        {"a seek to the frame off the grid just drawn",
         {seek(1), draw(r1), seek(1), draw(r1)},
         4,
         {r1}},
        {"a seek back", {seek(51), draw(r51), draw(r51 + step), seek(35), draw(r35)}, 124, {r35}},
        {"a seek forward from a frame off the grid",
         {seek(1), draw(r1), seek(2), draw(r2)},
         8,
         {r2}},
        {"a seek forward after an edit",
         {seek(34), draw(r34), edit, seek(51), draw(r51)},
         180,
         {r51}},
        {"a seek forward from a grid frame",
         {seek(34), draw(r34), seek(51), draw(r51)},
         180,
         {r51}},
        {"a seek forward while playing",
         {draw(0), draw(step), draw(0.03f), seek(34), draw(r34)},
         120,
         {r34}},
        {"a hold, then a step",
         {hold, seek(34), draw(r34), draw(r34), seek(35), draw(r35), draw(r35)},
         124,
         {r35}},
        {"a hold off the grid, then a step",
         {hold, seek(1), draw(r1), draw(r1), seek(2), draw(r2)},
         8,
         {r2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HistoryPicture picture;
        Playhead playhead(picture, kFps);
        for (const Move& m : c.moves)
            m(playhead, picture);
        EXPECT_EQ(picture.history, continuousRun(c.gridFrames, c.drawn, picture.keys));
        // The next new frame, once playing, goes on from there too.
        std::vector<float> drawn = c.drawn;
        drawn.push_back(drawn.back() + step);
        play(playhead, picture);
        draw(drawn.back())(playhead, picture);
        EXPECT_EQ(picture.history, continuousRun(c.gridFrames, drawn, picture.keys));
    }
}

} // namespace
