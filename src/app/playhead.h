// Where the show stands and its three moves. The show's frame loop, live editing and the
// capture tool all move the picture through one Playhead. Usage:
//
//   Playhead playhead(picture, 60.0);  // picture: the show's (show.h) or a test's
//   playhead.advanceTo(time);          // a new frame at `time`, or the held frame again
//   playhead.hold(true);               // a clock that stands shows a still picture
//   playhead.seekToGridFrame(n);       // the picture's history replayed onto grid frame n
//   playhead.historyChanged();         // keys changed: the next seek replays from 0
//
// The playhead keeps the counter the next new frame carries and the time of the frame before
// it (the new frame's elapsed time is measured from there). A seek puts the picture on the
// frame grid (frame_grid.h): grid frames before n are replayed without drawing, from a fresh
// start or, when the picture already stands on the grid at or before n with the history it was
// replayed with, from where it stands; the frames after a seek are those of a continuous run.
#pragma once

#include <cstdint>

#include "app/frame_grid.h"

// What the playhead moves: the show's frame-to-frame state and its picture.
class PlayheadPicture {
public:
    virtual ~PlayheadPicture() = default;
    // A new frame, drawn.
    virtual void draw(float time, std::uint32_t frame, float elapsedTime) = 0;
    // A new frame without the picture: only the state later frames read.
    virtual void advanceState(float time, std::uint32_t frame, float elapsedTime) = 0;
    // The last frame drawn again from the state it started from, with the tracks as they are.
    virtual void redrawLast() = 0;
    // The state of a show that has drawn nothing yet.
    virtual void restart() = 0;
};

class Playhead {
public:
    // `gridFps`: the rate of the frame grid seeks land on. The picture starts fresh.
    Playhead(PlayheadPicture& picture, double gridFps) : picture_(picture), gridFps_(gridFps) {}

    // The frame at `time`: a new frame, except while held at the time of the last one drawn,
    // which is then drawn again and leaves the position as it is.
    void advanceTo(float time);
    void hold(bool held) { held_ = held; }
    // Replays grid frames up to n - 1; grid frame n's counter and elapsed time come next.
    void seekToGridFrame(std::int64_t n);
    // The first grid frame at or after `time`.
    void seekToTime(float time) { seekToGridFrame(firstGridFrameAtOrAfter(time, gridFps_)); }
    // The inputs of the history changed: the picture no longer stands on the grid run.
    void historyChanged() { historyChanged_ = true; }

    bool held() const { return held_; }
    bool historyStale() const { return historyChanged_; }
    std::uint32_t nextFrame() const { return frame_; }
    float previousTime() const { return previousTime_; }
    // False after a seek until a frame is drawn (the first frame there is a new one).
    bool lastFrameDrawn() const { return lastFrameDrawn_; }

private:
    bool standsOnGrid() const;

    PlayheadPicture& picture_;
    double gridFps_;
    std::uint32_t frame_ = 0;
    float previousTime_ = 0.0f;
    bool held_ = false;
    bool lastFrameDrawn_ = false;
    bool historyChanged_ = false;
    std::int64_t gridFrame_ = 0; // the grid frame the last replay led to (a fresh show: 0)
};
