#include "composer.h"

#include "instruments.h"
#include "parts.h"
#include "song.h"
#include "xm_writer.h"

namespace composer {

XmModule composeSoundtrack() {
    Song song;
    writeDrums(song);
    writeHarmony(song);
    writeMelody(song);
    writeEffects(song);
    duckUnderFlashKicks(song);

    XmModule module;
    module.name = "quavel1";
    module.tempo = 3;
    module.bpm = 255;
    module.linearFrequencies = true;
    module.instruments = buildInstruments();
    // After its last row the song wraps back into the final part: a player that loops hears
    // the finale again, and one limited to a single play falls silent there.
    constexpr int kFinalPartRow = 9572;
    cutIntoPatterns(song, kFinalPartRow / 128, module);
    return module;
}

std::vector<uint8_t> composeSoundtrackBytes() {
    return writeXm(composeSoundtrack());
}

} // namespace composer
