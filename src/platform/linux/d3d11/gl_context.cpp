#include "platform/linux/d3d11/gl_context.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include "platform/linux/win32/sdl_video.h"

namespace quavel::d3d11 {
namespace {

// A context renders into textures; the window it is made on is never seen.
bool videoReady() {
    return win32::ensureVideo(win32::VideoUse::HiddenWindow);
}

void requestCoreProfile() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    // Pixel-format attributes stay as the window was created with: a context must match its
    // window's visual, and depth and stencil live in textures anyway.
}

} // namespace

GlContext::GlContext(SDL_Window* window, void* context, bool ownsWindow)
    : window_(window), context_(context), ownsWindow_(ownsWindow) {}

std::unique_ptr<GlContext> GlContext::createOnWindow(SDL_Window* window) {
    if (window == nullptr || !videoReady()) {
        return nullptr;
    }
    requestCoreProfile();
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        return nullptr;
    }
    if (SDL_GL_MakeCurrent(window, context) != 0 || epoxy_gl_version() < 45 ||
        !epoxy_is_desktop_gl()) {
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    return std::unique_ptr<GlContext>(new GlContext(window, context, false));
}

std::unique_ptr<GlContext> GlContext::createHidden() {
    if (!videoReady()) {
        return nullptr;
    }
    SDL_Window* window =
        SDL_CreateWindow("quavel1 offscreen", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 16,
                         16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        return nullptr;
    }
    std::unique_ptr<GlContext> context = createOnWindow(window);
    if (!context) {
        SDL_DestroyWindow(window);
        return nullptr;
    }
    context->ownsWindow_ = true;
    return context;
}

GlContext::~GlContext() {
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    if (ownsWindow_) {
        SDL_DestroyWindow(window_);
    }
}

void GlContext::makeCurrent() {
    if (SDL_GL_GetCurrentContext() != context_) {
        SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    }
}

void GlContext::setSwapInterval(int interval) {
    if (interval != swapInterval_) {
        makeCurrent();
        SDL_GL_SetSwapInterval(interval);
        swapInterval_ = interval;
    }
}

} // namespace quavel::d3d11
