// The ContextBuffer contents a test hands to a shader: the built-in block followed by the
// show's 31 float parameters, 736 bytes in all.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

class ContextBlock {
public:
    static constexpr size_t kSize = 736;

    ContextBlock() {
        bytes_.fill(0);
        setResolution(1600, 900);
    }

    void setTime(float t) { put(0, t); }
    void setFrame(uint32_t frame) { put(4, frame); }
    void setElapsedTime(float dt) { put(8, dt); }
    void setResolution(float x, float y) {
        put(12, x / y);
        put(16, x);
        put(20, y);
        put(24, 1.0f / x);
        put(28, 1.0f / y);
    }
    void set(const std::string& name, float value) { put(608 + 4 * indexOf(name), value); }

    const void* data() const { return bytes_.data(); }

private:
    static size_t indexOf(const std::string& name) {
        static const char* const names[] = {"CameraPosX",
                                            "CameraPosY",
                                            "CameraPosZ",
                                            "CameraDirX",
                                            "CameraDirY",
                                            "CameraDirZ",
                                            "CameraFOV",
                                            "CameraRoll",
                                            "FadeIn",
                                            "Scroll1pos",
                                            "Composaturation",
                                            "LogoGlow",
                                            "Glass1opacity",
                                            "Glass2opacity",
                                            "Light_n_Saturation",
                                            "Pyramid_Rotation",
                                            "GLOBAL_PARTICLE_COUNT",
                                            "glowintens",
                                            "glowrad",
                                            "glowopac",
                                            "partikelfart",
                                            "logoOpacity",
                                            "randomshit",
                                            "Brokenlogo",
                                            "scenechange",
                                            "fontresizeX",
                                            "PARTICLEEXPLOSION",
                                            "explosionframe",
                                            "lettercolorglobal",
                                            "heartOpacity",
                                            "credsvisibility"};
        for (size_t i = 0; i < sizeof(names) / sizeof(names[0]); ++i)
            if (name == names[i])
                return i;
        throw std::invalid_argument("unknown parameter " + name);
    }
    template <class T> void put(size_t offset, T value) {
        std::memcpy(bytes_.data() + offset, &value, sizeof value);
    }

    std::array<uint8_t, kSize> bytes_;
};
