// Tests of reading a service's program out of its registered command line.
#include "core/service_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Candidates(const char* command) {
    std::vector<std::string> out;
    char program[260];
    for (int i = 0; ServiceProgramCandidate(command, i, program, sizeof program); ++i) out.push_back(program);
    return out;
}

std::string Resolved(const char* command) {
    char out[260];
    return ResolveServiceCommand(command, "C:\\WINDOWS", out, sizeof out) ? out : "<none>";
}

std::vector<std::string> Locations(const char* program) {
    std::vector<std::string> out;
    char located[260];
    for (int i = 0; ServiceProgramLocation(program, "C:\\WINDOWS\\system32", "C:\\WINDOWS", i, located, sizeof located); ++i)
        out.push_back(located);
    return out;
}

}  // namespace

TEST(ServiceCommand, SystemPrefixesResolveToPlainPaths) {
    EXPECT_EQ(Resolved("\\SystemRoot\\System32\\drivers\\x.sys"), "C:\\WINDOWS\\System32\\drivers\\x.sys");
    EXPECT_EQ(Resolved("\\systemroot\\vx.exe -k"), "C:\\WINDOWS\\vx.exe -k");
    EXPECT_EQ(Resolved("\\??\\C:\\Temp\\vx.exe"), "C:\\Temp\\vx.exe");
    EXPECT_EQ(Resolved("  \"C:\\Temp\\vx.exe\" /s"), "\"C:\\Temp\\vx.exe\" /s");
    EXPECT_EQ(Resolved("C:\\SystemRoot\\vx.exe"), "C:\\SystemRoot\\vx.exe");
    char small[12];
    EXPECT_FALSE(ResolveServiceCommand("\\SystemRoot\\vx.exe", "C:\\WINDOWS", small, sizeof small));
    EXPECT_STREQ(small, "");
}

TEST(ServiceCommand, ProgramCandidatesDropQuotesAndArgumentsAsTheSystemWould) {
    EXPECT_EQ(Candidates("\"C:\\Program Files\\Vx\\svc.exe\" -k net"),
              (std::vector<std::string>{"C:\\Program Files\\Vx\\svc.exe"}));
    EXPECT_EQ(Candidates("\"C:\\Vx\\svc.exe"), (std::vector<std::string>{"C:\\Vx\\svc.exe"}));
    EXPECT_EQ(Candidates("C:\\Program Files\\Vx\\svc.exe  -k\tnet "),
              (std::vector<std::string>{"C:\\Program", "C:\\Program Files\\Vx\\svc.exe",
                                        "C:\\Program Files\\Vx\\svc.exe  -k", "C:\\Program Files\\Vx\\svc.exe  -k\tnet"}));
    EXPECT_EQ(Candidates("C:\\Vx\\svc.exe"), (std::vector<std::string>{"C:\\Vx\\svc.exe"}));
    EXPECT_EQ(Candidates(""), std::vector<std::string>{});
    EXPECT_EQ(Candidates("\"\" x"), std::vector<std::string>{});
    EXPECT_EQ(Candidates(std::string(300, 'x').c_str()), std::vector<std::string>{});
}

TEST(ServiceCommand, RelativeProgramsAreLookedForWhereTheSystemStartsThem) {
    EXPECT_EQ(Locations("vx.exe"), (std::vector<std::string>{"C:\\WINDOWS\\system32\\vx.exe", "C:\\WINDOWS\\vx.exe"}));
    EXPECT_EQ(Locations("system32\\vx.exe"),
              (std::vector<std::string>{"C:\\WINDOWS\\system32\\system32\\vx.exe", "C:\\WINDOWS\\system32\\vx.exe"}));
    EXPECT_EQ(Locations("vx"), (std::vector<std::string>{"C:\\WINDOWS\\system32\\vx.exe", "C:\\WINDOWS\\system32\\vx",
                                                         "C:\\WINDOWS\\vx.exe", "C:\\WINDOWS\\vx"}));
    // Anchored paths are taken as they are.
    EXPECT_EQ(Locations("D:\\Vx\\svc.exe"), std::vector<std::string>{"D:\\Vx\\svc.exe"});
    EXPECT_EQ(Locations("\\Vx\\svc.exe"), std::vector<std::string>{"\\Vx\\svc.exe"});
    EXPECT_EQ(Locations("\\\\server\\share\\svc.exe"), std::vector<std::string>{"\\\\server\\share\\svc.exe"});
    EXPECT_EQ(Locations(""), std::vector<std::string>{});
    EXPECT_EQ(Locations(std::string(300, 'x').c_str()), std::vector<std::string>{});
}
