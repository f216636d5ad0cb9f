// The show's shader programs edited while it runs (quavel1 --edit). Usage, on the main thread:
//
//     LiveShaders shaders(app, "/src/demo/shaders");
//     if (!shaders.start(error)) ...;   // every program compiled from the folder once
//     between frames: shaders.betweenFrames();
//
// A saved .hlsl or .hlsli file (quiet for kShaderSettle) recompiles the programs that read it
// and swaps them into the graph, so the next frame (a held frame too, drawn again) uses them.
// A program that does not compile keeps its old one running; its message is printed once and
// the window's title says "shader broken" until every program compiles again.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "app/shader_reload.h"
#include "app/shader_watch.h"

struct DemoApp;

class LiveShaders {
public:
    LiveShaders(DemoApp& app, std::string folder);
    // False (with the reason) when the folder is not one; broken programs are reported and
    // shown, not refused: the show runs with the programs it has.
    bool start(std::string& error);
    void betweenFrames();

private:
    void report(const ShaderSwap& swap);

    DemoApp& app_;
    std::string folder_;
    std::unique_ptr<ShaderReload> reload_;
    std::unique_ptr<ShaderWatch> watch_;
    std::map<std::string, std::string> printed_; // each broken program's message, said once
    bool titleBroken_ = false;
};
