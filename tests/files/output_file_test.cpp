// The shared output file, in a scratch folder: links are written through, FIFOs and devices are
// written in place, the input is never the output, and nothing half-written is ever left.

#include "files/output_file.h"
#include "tool_run.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tooltest;

namespace {

bool writeAll(const std::string& path, const std::string& text,
              const std::vector<std::string>& inputs, std::string* error) {
    return files::writeWholeFile(path, text.data(), text.size(), inputs, error);
}

bool isLink(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

TEST(OutputFile, ReplacesTheFileBehindALinkKeepingLinkAndPermissions) {
    ScratchFolder folder;
    const std::string real = folder.path("real.wav"), link = folder.path("link.wav");
    writeText(real, "old");
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink("real.wav", link.c_str()), 0);
    std::string error;
    ASSERT_TRUE(writeAll(link, "new bytes", {}, &error)) << error;
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(readText(real), "new bytes");
    struct stat info {};
    stat(real.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"link.wav", "real.wav"}));

    // Abandoned work leaves the old file and no temporary file.
    {
        files::OutputFile out;
        ASSERT_TRUE(out.open(link, {}, &error)) << error;
        std::fputs("half", out.stream());
        std::fflush(out.stream());
        EXPECT_EQ(folder.entries().size(), 3u); // the temporary file is beside the target
    }
    EXPECT_EQ(readText(real), "new bytes");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"link.wav", "real.wav"}));
}

TEST(OutputFile, WritesAFifoInPlaceAndInOrder) {
    ScratchFolder folder;
    const std::string fifo = folder.path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = readText(fifo); });
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += std::to_string(i) + ",";
    }
    std::string error;
    files::OutputFile out;
    const bool opened = out.open(fifo, {}, &error);
    EXPECT_TRUE(opened) << error;
    if (opened) {
        EXPECT_FALSE(out.seekable());
        std::fwrite(text.data(), 1, text.size(), out.stream());
        EXPECT_TRUE(out.commit(&error)) << error;
    } else {
        close(open(fifo.c_str(), O_WRONLY)); // lets the reader finish
    }
    reader.join();
    EXPECT_EQ(received, text);
    struct stat info {};
    ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO was replaced";
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"pipe"});
}

// A link is judged where it points: its target's folder must take the temporary file, whatever
// the link's own folder takes. The tests run as root, so the folders that refuse do so by what
// they are (/proc takes no new files; a path through a regular file or a missing folder).
TEST(OutputFile, RefusesTheInputDirectoriesAndLinksToWhatCannotBeWritten) {
    ScratchFolder folder;
    const std::string input = folder.path("in.txt");
    writeText(input, "keep me");
    ASSERT_EQ(symlink("in.txt", folder.path("alias").c_str()), 0);
    ASSERT_EQ(link(input.c_str(), folder.path("hard").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", folder.path("dangling").c_str()), 0);
    ASSERT_EQ(mkdir(folder.path("dir").c_str(), 0700), 0);
    ASSERT_EQ(symlink("/proc/self/comm", folder.path("into-proc").c_str()), 0);
    ASSERT_EQ(symlink("into-proc", folder.path("chain").c_str()), 0);
    ASSERT_EQ(symlink("in.txt/out.txt", folder.path("through-file").c_str()), 0);
    ASSERT_EQ(symlink("missing/out.txt", folder.path("into-missing").c_str()), 0);
    const struct {
        std::string path;
        const char* reason;
    } refused[] = {
        {input, "is the input file"},
        {folder.path("alias"), "is the input file"},
        {folder.path("hard"), "is the input file"},
        {folder.path("dangling"), "symbolic link to a missing file"},
        {folder.path("dir"), "is a directory"},
        {folder.path("missing/out.txt"), "No such file or directory"},
        {folder.path("in.txt/out.txt"), "Not a directory"},
        {folder.path("into-proc"), "cannot create"},
        {folder.path("chain"), "cannot create"},
        {folder.path("through-file"), "Not a directory"},
        {folder.path("into-missing"), "symbolic link to a missing file"},
    };
    for (const auto& r : refused) {
        std::string checked, opened;
        EXPECT_FALSE(files::checkOutput(r.path, {input}, &checked)) << r.path;
        EXPECT_FALSE(writeAll(r.path, "x", {input}, &opened)) << r.path;
        EXPECT_NE(checked.find(r.reason), std::string::npos) << checked;
        EXPECT_NE(opened.find(r.reason), std::string::npos) << opened;
        EXPECT_NE(opened.find(r.path), std::string::npos) << opened;
    }
    EXPECT_EQ(readText(input), "keep me");
    EXPECT_FALSE(isLink(folder.path("dir")));
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"alias", "chain", "dangling", "dir", "hard", "in.txt",
                                        "into-missing", "into-proc", "through-file"}));
}

// A writer stopped by a signal leaves the final name as it was and no temporary file.
TEST(OutputFile, AStoppedWriterLeavesNothingBehind) {
    for (int signal : {SIGINT, SIGTERM}) {
        ScratchFolder folder;
        const std::string target = folder.path("out.bin");
        writeText(target, "previous");
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            files::OutputFile out;
            std::string error;
            if (!out.open(target, {}, &error)) {
                _exit(3);
            }
            std::fputs("partial", out.stream());
            std::fflush(out.stream());
            (void)!write(ready[1], "r", 1);
            for (;;) {
                pause();
            }
        }
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        EXPECT_EQ(folder.entries().size(), 2u) << "the temporary file exists while writing";
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.bin"}) << signal;
        EXPECT_EQ(readText(target), "previous");
    }
}

} // namespace
