// The shared command line: both value spellings, strict numbers, one refusal naming the option.

#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace {

struct Values {
    bool pcm16 = false;
    unsigned rate = 44100;
    double seconds = -1;
    std::string output;
};

cli::Parsed parse(std::vector<const char*> args, Values* v) {
    cli::Parser parser;
    parser.flag("--pcm16", &v->pcm16);
    parser.whole("--rate", &v->rate, 1000, 768000);
    parser.number("--seconds", &v->seconds, 0, 86400);
    parser.text("--output", &v->output, "-o");
    args.insert(args.begin(), "tool");
    return parser.parse(static_cast<int>(args.size()), const_cast<char**>(args.data()));
}

TEST(CommandLine, AcceptsBothSpellingsAndKeepsPositionalArguments) {
    Values v;
    cli::Parsed p = parse(
        {"in.xm", "--rate=22050", "--seconds", "-0", "--pcm16", "-o", "-", "--", "--not-an-option"},
        &v);
    ASSERT_TRUE(p.ok()) << p.error;
    EXPECT_EQ(v.rate, 22050u);
    EXPECT_EQ(v.seconds, 0.0);
    EXPECT_TRUE(v.pcm16);
    EXPECT_EQ(v.output, "-");
    EXPECT_EQ(p.positional, (std::vector<std::string>{"in.xm", "--not-an-option"}));
    EXPECT_TRUE(p.has("--output"));
    EXPECT_FALSE(p.has("--help"));
    EXPECT_TRUE(parse({"-h", "--bogus"}, &v).help);
    EXPECT_TRUE(parse({"--help"}, &v).help);
}

TEST(CommandLine, RefusesWithTheOptionAndTheReason) {
    const struct {
        std::vector<const char*> args;
        const char* error;
    } cases[] = {
        {{"--rate", "44100.5"}, "--rate: '44100.5' is not a whole number"},
        {{"--rate=999"}, "--rate: '999' is outside the range from 1000 to 768000"},
        {{"--rate", "4e9"}, "--rate: '4e9' is outside the range from 1000 to 768000"},
        {{"--seconds", "1e30"}, "--seconds: '1e30' is outside the range from 0 to 86400"},
        {{"--seconds", "nan"}, "--seconds: 'nan' is not a number"},
        {{"--seconds", "inf"}, "--seconds: 'inf' is not a number"},
        {{"--seconds", "1e999"}, "--seconds: '1e999' is not a number"},
        {{"--seconds", "5s"}, "--seconds: '5s' is not a number"},
        {{"--seconds", " 5"}, "--seconds: ' 5' is not a number"},
        {{"--seconds="}, "--seconds: '' is not a number"},
        {{"--seconds"}, "--seconds needs a value"},
        {{"--pcm16=1"}, "--pcm16 takes no value"},
        {{"--bogus=1"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
    };
    for (const auto& c : cases) {
        Values v;
        EXPECT_EQ(parse(c.args, &v).error, c.error) << c.args[0];
        EXPECT_EQ(v.rate, 44100u) << "a refused value is not stored";
        EXPECT_EQ(v.seconds, -1.0) << "a refused value is not stored";
    }
}

} // namespace
