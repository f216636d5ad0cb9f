// The OpenGL 4.5 core context a device draws with, made on an SDL window.
#pragma once

#include <memory>

struct SDL_Window;

namespace quavel::d3d11 {

class GlContext {
public:
    // Null when the window cannot carry an OpenGL 4.5 core context.
    static std::unique_ptr<GlContext> createOnWindow(SDL_Window* window);
    // A context on a hidden window of its own, for devices without a swap chain.
    static std::unique_ptr<GlContext> createHidden();

    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // Cheap when the context is already current, which is the usual case.
    void makeCurrent();
    SDL_Window* window() const { return window_; }
    // Sets the vertical-blank wait of buffer swaps; only calls SDL when it changes.
    void setSwapInterval(int interval);

private:
    GlContext(SDL_Window* window, void* context, bool ownsWindow);

    SDL_Window* window_;
    void* context_;
    bool ownsWindow_;
    int swapInterval_ = -1;
};

} // namespace quavel::d3d11
