// The one way a program of this project writes a file: opened before the work starts so an
// unwritable output is refused at once, and delivered only when complete.
//
//   files::OutputFile out;
//   if (!out.open(path, {inputPath}, &error)) return cli::failure("tool", error);
//   ... std::fwrite(..., out.stream()) ...
//   if (!out.commit(&error)) return cli::failure("tool", error);
//
// A regular file (new, existing, or reached through symbolic links) is written to a temporary
// file in the same folder and renamed over the final name by commit(), so the final name never
// holds half a file; the links stay links. The temporary file is removed when the OutputFile is
// destroyed uncommitted, and on SIGINT, SIGTERM and SIGHUP where the program leaves those to
// end it (temporary_cleanup.h). Standard output ("-"), character
// devices and FIFOs are written directly, in order, and never replaced. Directories, block
// devices, dangling links, read-only files and the tool's own inputs are refused.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace files {

// The checks of OutputFile::open without opening the output (a hidden probe file is made and
// removed beside it): for a tool that writes several files, or writes at the end of long work,
// to refuse a bad output before it starts.
bool checkOutput(const std::string& path, const std::vector<std::string>& inputs,
                 std::string* error);

// Whether the folder takes new files, found by making and removing a hidden probe file in it
// (for root, access() says yes to folders such as /proc that take none): for a tool that
// writes a folder of files. False with a one-line reason in *error.
bool checkFolder(const std::string& folder, std::string* error);

// Writes `size` bytes as the whole of `path`, through an OutputFile.
bool writeWholeFile(const std::string& path, const void* data, std::size_t size,
                    const std::vector<std::string>& inputs, std::string* error);

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile(); // abandon() unless committed

    // Prepares `path` for writing; `inputs` are the files the tool reads, which the output
    // must not be. False with a one-line reason in *error.
    bool open(const std::string& path, const std::vector<std::string>& inputs, std::string* error);

    std::FILE* stream() const { return file_; }
    // True when writing goes to a temporary regular file, which may be rewound and rewritten.
    bool seekable() const { return !temporary_.empty(); }
    const std::string& path() const { return path_; }

    // Flushes and, for a regular file, renames the temporary file into place.
    bool commit(std::string* error);
    // Drops what was written (the temporary file); a direct output keeps what it received.
    void abandon();

    // The one-line reason for a failed write to this output, with the system's error text.
    std::string writeError() const;

private:
    bool openDirect(std::string* error);
    bool openTemporary(const std::string& target, unsigned mode, std::string* error);

    std::string path_;      // as given
    std::string target_;    // the regular file to replace (links resolved)
    std::string temporary_; // empty when written directly
    std::FILE* file_ = nullptr;
    int cleanupSlot_ = -1;
};

} // namespace files
