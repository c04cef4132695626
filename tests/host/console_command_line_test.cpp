// The console program's switches: what each gives, and every way a command line is refused.
#include "console/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    ConsoleOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> switches) {
    switches.insert(switches.begin(), "PurgixCmd.exe");
    Parsed parsed;
    char error[kCommandLineErrorSize];
    parsed.ok = ParseCommandLine(static_cast<int>(switches.size()), switches.data(), &parsed.options, error, sizeof error);
    parsed.error = error;
    return parsed;
}

}  // namespace

TEST(ConsoleSwitches, NoSwitchIsTheWholeCleaningScanWithoutReportsOrRestart) {
    const Parsed p = Parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(p.options.detectOnly);
    EXPECT_FALSE(p.options.restartNow);
    EXPECT_FALSE(p.options.quiet);
    EXPECT_FALSE(p.options.usage);
    EXPECT_STREQ(p.options.logPath, "");
    EXPECT_STREQ(p.options.jsonPath, "");
}

TEST(ConsoleSwitches, EverySwitchInEitherFormAndAnyCase) {
    const Parsed p = Parse({"-DETECT", "/Restart:NOW", "-quiet", "/LOG:C:\\logs\\run one.log", "-Json:d:\\r.json"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.detectOnly);
    EXPECT_TRUE(p.options.restartNow);
    EXPECT_TRUE(p.options.quiet);
    EXPECT_STREQ(p.options.logPath, "C:\\logs\\run one.log");
    EXPECT_STREQ(p.options.jsonPath, "d:\\r.json");  // only the part after the first ':' is the value
    EXPECT_FALSE(Parse({"/restart:never"}).options.restartNow);
    EXPECT_TRUE(Parse({"-?"}).options.usage);
}

TEST(ConsoleSwitches, BadCommandLinesAreRefusedWithTheirReason) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> bad = {
        {{"/scan"}, "unknown switch: /scan"},
        {{"detect"}, "unexpected argument: detect"},
        {{"/"}, "unexpected argument: /"},
        {{"/detect:yes"}, "/detect:yes takes no value"},
        {{"/detect", "-Detect"}, "switch given twice: -Detect"},
        {{"/restart"}, "/restart: say /restart:now or /restart:never"},
        {{"/restart:later"}, "/restart:later: say /restart:now or /restart:never"},
        {{"/restart:now", "/restart:never"}, "switch given twice: /restart:never"},
        {{"/log"}, "/log needs a file name"},
        {{"/json:"}, "/json: needs a file name"},
        {{"/log:a", "/log:b"}, "switch given twice: /log:b"},
        {{"/log:Same.TXT", "/json:same.txt"}, "the log and the JSON report cannot be the same file"},
        {{"/?", "/bogus"}, "unknown switch: /bogus"},
        {{"/averyveryverylongswitchname"}, "unknown switch"},
    };
    for (const auto& [switches, reason] : bad) {
        const Parsed p = Parse(switches);
        EXPECT_FALSE(p.ok) << switches[0];
        EXPECT_NE(p.error.find(reason), std::string::npos) << p.error;
    }
}

TEST(ConsoleSwitches, AFileNameThatCannotFitIsRefusedNotCut) {
    const std::string longest = "/log:" + std::string(kReportPathSize - 1, 'a');
    EXPECT_TRUE(Parse({longest.c_str()}).ok);
    const std::string tooLong = longest + "a";
    const Parsed p = Parse({tooLong.c_str()});
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find("file name too long"), std::string::npos);
    // An error too long for its buffer is cut, and terminated.
    char error[8];
    ConsoleOptions options;
    const char* argv[] = {"x", tooLong.c_str()};
    EXPECT_FALSE(ParseCommandLine(2, argv, &options, error, sizeof error));
    EXPECT_EQ(std::string(error), "file na");
}
