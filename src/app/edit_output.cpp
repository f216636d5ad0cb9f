#include "app/edit_output.h"

namespace {
std::FILE* output = nullptr; // standard error
} // namespace

std::FILE* editOutput() {
    return output ? output : stderr;
}

void setEditOutput(std::FILE* stream) {
    output = stream;
}
