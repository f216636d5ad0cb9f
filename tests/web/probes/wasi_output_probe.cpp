// Writes through the C library as the show's code does (printf, fprintf to stderr, a line in
// pieces, UTF-8 text) and reads its clock, for tests/web/wasi_host.mjs.
#include <cstdio>
#include <ctime>

#define PROBE_EXPORT(name) extern "C" __attribute__((export_name(#name)))

PROBE_EXPORT(print_line) void printLine(int n) {
    std::printf("line %d\n", n);
}

PROBE_EXPORT(print_error) void printError(int n) {
    std::fprintf(stderr, "error %d\n", n);
}

PROBE_EXPORT(print_in_pieces) void printInPieces() {
    std::printf("first ");
    std::printf("and second half\n");
}

PROBE_EXPORT(print_utf8) void printUtf8() {
    std::printf("gr\xc3\xbc\xc3\x9f"
                "e\n"); // "grüße"
}

// Milliseconds of the monotonic clock.
PROBE_EXPORT(monotonic_ms) double monotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}
