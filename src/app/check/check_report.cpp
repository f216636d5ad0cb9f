#include "app/check/check_report.h"

#include <cstdarg>
#include <vector>

CheckReport::~CheckReport() {
    if (file_)
        std::fclose(file_);
}

bool CheckReport::open(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        error = "cannot write " + path;
        return false;
    }
    std::fputs(pending_.c_str(), file_);
    std::fflush(file_);
    pending_.clear();
    return true;
}

void CheckReport::close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    closed_ = true;
}

void CheckReport::line(const std::string& text) {
    const std::string withEnd = text + "\n";
    if (file_) {
        std::fputs(withEnd.c_str(), file_);
        std::fflush(file_); // a check that dies half-way still leaves what it found
    } else if (!closed_) {
        pending_ += withEnd;
    }
    if (toConsole_) {
        std::fputs(withEnd.c_str(), stdout);
        std::fflush(stdout);
    }
}

void CheckReport::linef(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::vector<char> text(size > 0 ? std::size_t(size) + 1 : 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    line(text.data());
}
