// The show's shader programs edited while it runs (quavel1 --edit --shaders DIR). Usage, on
// the main thread:
//
//     LiveShaders shaders(app, "/home/me/shaders", logFile);  // "" : not watched, says so
//     if (!shaders.start(error)) ...;     // starts compiling every program from the folder
//     between frames: shaders.betweenFrames();
//     after a frame is drawn, before Present: shaders.drawn();
//
// A saved .hlsl or .hlsli file (quiet for kShaderSettle) recompiles the programs that read it on
// worker threads, while the show goes on drawing; once all are compiled they are swapped into
// the graph together (shader_reload.h), so the next frame (a held frame too, drawn again) uses
// them. A program that does not compile keeps the old ones running; its message is printed
// once, and until every program compiles again a red band along the top of the picture names
// the broken programs (and the log file, when the messages go to one) and the window's title
// says "shader broken".
#pragma once

#include <map>
#include <memory>
#include <string>

#include "app/broken_band.h"
#include "app/shader_reload.h"
#include "app/shader_watch.h"

struct DemoApp;

class LiveShaders {
public:
    // An empty folder runs the linked programs; logFile names where the messages go, if not
    // to a console.
    LiveShaders(DemoApp& app, std::string folder, std::string logFile = {});
    // False (with the reason) when the folder is not one; broken programs are reported and
    // shown, not refused: the show runs with the programs it has.
    bool start(std::string& error);
    void betweenFrames();
    void drawn();

private:
    void report(const ShaderSwap& swap, double swapMs);

    DemoApp& app_;
    std::string folder_;
    std::string logFile_;
    std::unique_ptr<ShaderReload> reload_;
    std::unique_ptr<ShaderWatch> watch_;
    std::unique_ptr<BrokenBand> band_;
    bool first_ = true;                          // the start-up batch is still to be reported
    std::map<std::string, std::string> printed_; // each broken program's message, said once
    std::string brokenText_;                     // what the band says; empty: nothing broken
};
