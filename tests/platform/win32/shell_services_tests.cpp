// The command line, text conversion, focus, monitors, power requests and the performance
// counter of the Win32 layer, against the rules Windows documents for them.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/linux/win32/command_line.h"
#include "platform/win32/test_window.h"

namespace quavel::test {
namespace {

std::vector<std::wstring> split(const wchar_t* line) {
    int count = -1;
    LPWSTR* table = CommandLineToArgvW(line, &count);
    std::vector<std::wstring> out;
    if (table == nullptr)
        return out;
    for (int i = 0; i < count; ++i)
        out.push_back(table[i]);
    EXPECT_EQ(table[count], nullptr) << "the table ends with a null pointer";
    EXPECT_EQ(LocalFree(table), nullptr);
    return out;
}

// The examples of the C runtime's and CommandLineToArgvW's documentation, and the program's
// name, which is split on its own rule (backslashes mean nothing in it).
TEST(Win32CommandLine, SplitsAsTheDocumentedExamples) {
    const struct {
        const wchar_t* line;
        std::vector<std::wstring> arguments;
    } cases[] = {
        {L"p \"abc\" d e", {L"p", L"abc", L"d", L"e"}},
        {L"p a\\\\\\b d\"e f\"g h", {L"p", L"a\\\\\\b", L"de fg", L"h"}},
        {L"p a\\\\\\\"b c d", {L"p", L"a\\\"b", L"c", L"d"}},
        {L"p a\\\\\\\\\"b c\" d e", {L"p", L"a\\\\b c", L"d", L"e"}},
        {L"p --check \"C:\\My renders\"", {L"p", L"--check", L"C:\\My renders"}},
        {L"p --check \"C:\\My renders\\\\\"", {L"p", L"--check", L"C:\\My renders\\"}},
        {L"p \"\" x", {L"p", L"", L"x"}},
        {L"p\t a  \t b ", {L"p", L"a", L"b"}},
        {L"\"C:\\Program Files\\q\\quavel1.exe\" --edit",
         {L"C:\\Program Files\\q\\quavel1.exe", L"--edit"}},
        {L"C:\\dir\\quavel1.exe\" x", {L"C:\\dir\\quavel1.exe\"", L"x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(split(c.line), c.arguments) << std::string(c.line, c.line + std::wcslen(c.line));
}

// What GetCommandLineW hands over, split again, gives every argument back whole: spaces,
// quotes, trailing backslashes, empty arguments and any character.
TEST(Win32CommandLine, QuotedArgumentsComeBackUnchanged) {
    const std::vector<std::string> arguments = {"/opt/q q/quavel1",
                                                "--check",
                                                "C:\\Users\\Zoë\\My renders",
                                                "a\"b",
                                                "trail\\",
                                                "\\\\server\\share\\",
                                                "",
                                                "tab\there",
                                                "日本語 ✓",
                                                "\\\"x\\\""};
    const std::wstring line = win32::windowsCommandLine(arguments);
    const std::vector<std::wstring> back = split(line.c_str());
    ASSERT_EQ(back.size(), arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        char utf8[128] = {};
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, back[i].c_str(), -1, utf8,
                                              int(sizeof utf8), nullptr, nullptr);
        EXPECT_EQ(bytes, int(arguments[i].size()) + 1) << "with the terminating null";
        EXPECT_EQ(std::string(utf8), arguments[i]);
    }
    // This process's own line is the same quoting of its arguments.
    int count = 0;
    LPWSTR* own = CommandLineToArgvW(GetCommandLineW(), &count);
    ASSERT_NE(own, nullptr);
    EXPECT_GE(count, 1);
    LocalFree(own);
}

TEST(Win32Text, WideCharToMultiByteCountsAndRefusesShortBuffers) {
    const wchar_t* text = L"Zoë ✓";
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), 9);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, 3, nullptr, 0, nullptr, nullptr), 4);
    char small[4];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text, -1, small, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, text, -1, nullptr, 0, nullptr, nullptr), 0)
        << "only UTF-8 is offered";
}

TEST(Win32Monitors, TheWindowsMonitorHoldsItsWorkArea) {
    TestWindow window(WS_POPUP | WS_VISIBLE, 200, 100);
    const HMONITOR monitor = MonitorFromWindow(window.handle(), MONITOR_DEFAULTTOPRIMARY);
    ASSERT_NE(monitor, nullptr);
    MONITORINFO info = {};
    EXPECT_FALSE(GetMonitorInfoW(monitor, &info)) << "cbSize must be set";
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
    RECT desktop = {};
    GetClientRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(info.rcMonitor.right - info.rcMonitor.left, desktop.right);
    EXPECT_EQ(info.rcMonitor.bottom - info.rcMonitor.top, desktop.bottom);
    EXPECT_GE(info.rcWork.left, info.rcMonitor.left);
    EXPECT_LE(info.rcWork.right, info.rcMonitor.right);
    EXPECT_GT(info.rcWork.bottom, info.rcWork.top);
    EXPECT_EQ(MonitorFromWindow(nullptr, MONITOR_DEFAULTTONULL), nullptr);
}

TEST(Win32Power, DisplayRequiredHoldsTheScreenSaverOffUntilReleased) {
    TestWindow window(WS_POPUP | WS_VISIBLE, 200, 100);
    SetThreadExecutionState(ES_CONTINUOUS);
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED), ES_CONTINUOUS);
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    EXPECT_EQ(SetThreadExecutionState(ES_DISPLAY_REQUIRED), ES_CONTINUOUS | ES_DISPLAY_REQUIRED)
        << "a one-off request leaves the continuous one";
    EXPECT_FALSE(SDL_IsScreenSaverEnabled());
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), ES_CONTINUOUS | ES_DISPLAY_REQUIRED);
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}

TEST(Win32Time, PerformanceCounterAdvancesAtItsFrequency) {
    LARGE_INTEGER frequency, before, after;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    const double seconds = double(after.QuadPart - before.QuadPart) / double(frequency.QuadPart);
    EXPECT_GE(seconds, 0.049);
    EXPECT_LT(seconds, 1.0);
}

} // namespace
} // namespace quavel::test
