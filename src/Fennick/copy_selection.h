// Which of the two copies of a double-buffered resource a getter hands out.
#pragma once

namespace Fennick::gfx {

// Passes write one copy and read the other within a frame; the roles change when `swapped`
// flips at the end of the frame. Before the first swap they write A and read B. Initial
// contents go into copy A only, so frame 0 reads copy B as it was created, without them, and
// frame 1 reads copy A as frame 0 left it. A single resource always answers with copy A.
inline bool usesCopyB(bool doubleBuffered, bool swapped, bool read) {
    return doubleBuffered && (read ? !swapped : swapped);
}

template <typename T> T selectCopy(bool doubleBuffered, bool swapped, bool read, T a, T b) {
    return usesCopyB(doubleBuffered, swapped, read) ? b : a;
}

} // namespace Fennick::gfx
