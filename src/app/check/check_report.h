// The self-check's report: every line goes to the report file in the check's folder and,
// when the program has a console or redirected output, to standard output as well.
#pragma once

#include <cstdio>
#include <string>

class CheckReport {
public:
    explicit CheckReport(bool toConsole) : toConsole_(toConsole) {}
    ~CheckReport();
    CheckReport(const CheckReport&) = delete;
    CheckReport& operator=(const CheckReport&) = delete;

    // Lines written before the file is open are written into it when it opens.
    bool open(const std::string& path, std::string& error);
    // The file is complete: later lines go to the console only.
    void close();
    void line(const std::string& text = "");
    // printf-style
    void linef(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

private:
    bool toConsole_;
    std::FILE* file_ = nullptr;
    std::string pending_;
    bool closed_ = false;
};
