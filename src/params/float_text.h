// Floats as text that reads back to exactly the same value.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// The shortest decimal text (at most 9 significant digits) that reads back as the same float.
inline std::string shortestFloatText(float value) {
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value)
            break;
    }
    return text;
}
