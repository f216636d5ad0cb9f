// The golden moments drawn by the browser's show, judged as `quavel1 --check` judges them:
// each moment's grid frame (the history replayed), read back through the Direct3D layer,
// reduced to tile means and compared with the linked reference outside the tiles known to
// vary by GPU. Run by tests/web/golden_moments_test.mjs; each export prints its report and
// returns 0 when the frame matches.
#include <cstdio>
#include <string>

#include "app/check/golden_references.h"
#include "app/frame_grid.h"
#include "app/texture_read_back.h"
#include "platform/web/entry/web_show.h"

extern "C" __attribute__((export_name("quavel_check_moment_count"))) int momentCount() {
    return static_cast<int>(std::size(kGoldenMoments));
}

// Draws moment `index` (after those before it, as one run replays its way through them) and
// compares it. 0 matches, 1 differs, 2 cannot be checked.
extern "C" __attribute__((export_name("quavel_check_moment"))) int checkMoment(int index) {
    WebShow* show = webShow();
    if (show == nullptr || index < 0 || index >= momentCount()) {
        std::fprintf(stderr, "no started show, or no moment %d\n", index);
        return 2;
    }
    const GoldenMoment& moment = kGoldenMoments[index];
    GoldenReference reference;
    std::string error;
    if (!loadGoldenReference(moment, reference, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const std::int64_t n = firstGridFrameAtOrAfter(moment.start, kGoldenFps);
    show->playhead.seekToGridFrame(n);
    show->playhead.advanceTo(gridTime(n, kGoldenFps));
    const TexturePixels frame =
        readTexture2D(show->app.device, show->app.immediateContext, show->backBuffer);
    if (frame.bytes.empty()) {
        std::fprintf(stderr, "%s: the back buffer cannot be read back\n", moment.name);
        return 2;
    }
    const TileComparison c =
        compareTiles(tileMeans(frame.bytes.data(), int(frame.width), int(frame.height)),
                     reference.tiles, reference.vary);
    std::printf("Moment %s (%.4f s, grid frame %lld at %g fps)\n", moment.name, moment.start,
                static_cast<long long>(n), kGoldenFps);
    std::printf("  tiles within tolerance  %d of %d\n", c.tilesWithin, c.tiles);
    std::printf("  tile channels off       %d (at most %d may be; tolerance %g levels)\n",
                c.channelsOff, c.channelsAllowed, kTileTolerance);
    std::printf("  known to vary by GPU    %d tiles, %d of them differ here (not counted)\n",
                c.varyTiles, c.varyTilesOff);
    std::printf("  worst tile              %s\n", describeSpot(c.worst).c_str());
    for (const TileSpot& spot : c.firstOff) {
        std::printf("  off                     %s\n", describeSpot(spot).c_str());
    }
    std::printf("  result                  %s\n",
                c.matches ? "matches" : "DIFFERS from the reference");
    std::fflush(stdout); // the page shows the lines as each moment ends
    return c.matches ? 0 : 1;
}
