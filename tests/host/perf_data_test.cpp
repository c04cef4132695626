// Performance-data reading: counter names, the process table, and which instances an infected file matches.
#include "core/perf_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Builds performance-data blocks in the published layout: one object with its counter definitions
// and instances whose counter block holds the process id at a chosen offset.
struct PerfInstance {
    std::u16string name;
    uint32_t processId;
};

class PerfBlock {
public:
    static constexpr uint32_t kObjectAt = 112;
    static constexpr uint32_t kObjectHeader = 64;
    static constexpr uint32_t kIdCounterIndex = 784;
    static constexpr uint32_t kIdOffset = 8;

    std::vector<uint32_t> counterIndexes = {6, 10, kIdCounterIndex, 12};
    int32_t declaredInstances = -1;  // -1: the number of instances given

    std::vector<uint8_t> Build(const std::vector<PerfInstance>& instances) {
        bytes.assign(kObjectAt, 0);
        const char16_t sig[4] = {u'P', u'E', u'R', u'F'};
        for (int i = 0; i < 4; ++i) Put16(2 * i, sig[i]);
        Put32(24, kObjectAt);
        uint32_t definitionLength = kObjectHeader + 40 * static_cast<uint32_t>(counterIndexes.size());
        bytes.resize(kObjectAt + definitionLength, 0);
        Put32(kObjectAt + 4, definitionLength);
        Put32(kObjectAt + 8, kObjectHeader);
        Put32(kObjectAt + 32, static_cast<uint32_t>(counterIndexes.size()));
        Put32(kObjectAt + 40, declaredInstances >= 0 ? static_cast<uint32_t>(declaredInstances)
                                                     : static_cast<uint32_t>(instances.size()));
        for (size_t i = 0; i < counterIndexes.size(); ++i) {
            size_t def = kObjectAt + kObjectHeader + 40 * i;
            Put32(def + 0, 17);  // a ByteLength that must not be used as the stride
            Put32(def + 4, counterIndexes[i]);
            Put32(def + 36, counterIndexes[i] == kIdCounterIndex ? kIdOffset : 4);
        }
        for (const PerfInstance& inst : instances) {
            size_t at = bytes.size();
            uint32_t nameBytes = static_cast<uint32_t>((inst.name.size() + 1) * 2);
            uint32_t byteLength = 24 + ((nameBytes + 7) & ~7u);
            bytes.resize(at + byteLength + 16, 0);
            Put32(at + 0, byteLength);
            Put32(at + 16, 24);
            Put32(at + 20, nameBytes);
            for (size_t i = 0; i < inst.name.size(); ++i) Put16(at + 24 + 2 * i, inst.name[i]);
            size_t block = at + byteLength;
            Put32(block + 0, 16);
            Put32(block + kIdOffset, inst.processId);
        }
        Put32(kObjectAt + 0, static_cast<uint32_t>(bytes.size() - kObjectAt));
        return bytes;
    }

    void Put16(size_t at, uint16_t v) {
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void Put32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

    std::vector<uint8_t> bytes;
};

// ASCII-only conversion; anything else fails, as a real conversion may.
bool AsciiConvert(const uint16_t* name, size_t units, char* out, size_t outSize, void* context) {
    if (context) ++*static_cast<int*>(context);
    if (units > outSize) return false;
    for (size_t i = 0; i < units; ++i) {
        if (name[i] > 0x7F) return false;
        out[i] = static_cast<char>(name[i]);
    }
    return true;
}

bool Parse(const std::vector<uint8_t>& data, ProcessTable* table, uint32_t idIndex = PerfBlock::kIdCounterIndex) {
    // An exact-size copy, so that any read past the end is caught by the address sanitizer.
    std::vector<uint8_t> exact(data);
    return ParsePerfProcessTable(exact.empty() ? nullptr : exact.data(), exact.size(), idIndex, AsciiConvert, nullptr, table);
}

std::vector<uint8_t> List(const std::vector<std::string>& strings, bool terminate = true) {
    std::vector<uint8_t> out;
    for (const std::string& s : strings) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    }
    if (terminate) out.push_back(0);
    return out;
}

std::vector<std::string> MatchingNames(const ProcessTable& table, const char* path) {
    std::vector<std::string> names;
    char target[260];
    if (!PerfTargetName(path, target, sizeof target)) return names;
    for (size_t i = 0; i < table.count; ++i)
        if (PerfEntryMatches(table.entries[i], target)) names.push_back(table.entries[i].name);
    return names;
}

}  // namespace

TEST(PerfCounterNames, FindsProcessObjectAndIdCounter) {
    std::vector<uint8_t> list = List({"1", "1847", "2", "System", "230", "Process", "784", "ID Process", "1000", "Other"});
    PerfCounterNames names;
    ASSERT_TRUE(ParsePerfCounterNames(list.data(), list.size(), &names));
    EXPECT_STREQ(names.objectIndexText, "230");
    EXPECT_EQ(names.idCounterIndex, 784u);
}

TEST(PerfCounterNames, LaterMatchReplacesEarlierAndCaseIsIgnored) {
    std::vector<uint8_t> list = List({"230", "process", "784", "id process", "232", "PROCESS", "786", "Id Process"});
    PerfCounterNames names;
    ASSERT_TRUE(ParsePerfCounterNames(list.data(), list.size(), &names));
    EXPECT_STREQ(names.objectIndexText, "232");
    EXPECT_EQ(names.idCounterIndex, 786u);
}

TEST(PerfCounterNames, MissingEntriesOrUnusableIndexesFail) {
    PerfCounterNames names;
    // Wine's list: two names and neither of the ones needed.
    std::vector<uint8_t> wine = List({"1", "1847", "6", "% Processor Time"});
    EXPECT_FALSE(ParsePerfCounterNames(wine.data(), wine.size(), &names));
    std::vector<uint8_t> noId = List({"230", "Process", "784", "ID Thread"});
    EXPECT_FALSE(ParsePerfCounterNames(noId.data(), noId.size(), &names));
    std::vector<uint8_t> noDigits = List({"x", "Process", "784", "ID Process"});
    EXPECT_FALSE(ParsePerfCounterNames(noDigits.data(), noDigits.size(), &names));
    std::vector<uint8_t> tooBig = List({"230", "Process", "99999999999", "ID Process"});
    EXPECT_FALSE(ParsePerfCounterNames(tooBig.data(), tooBig.size(), &names));
    // After the empty string nothing counts; an unterminated tail is not a string.
    std::vector<uint8_t> afterEnd = List({"230", "Process"});
    std::vector<uint8_t> more = List({"784", "ID Process"});
    afterEnd.insert(afterEnd.end(), more.begin(), more.end());
    EXPECT_FALSE(ParsePerfCounterNames(afterEnd.data(), afterEnd.size(), &names));
    std::vector<uint8_t> cut = List({"230", "Process", "784"}, false);
    const char tail[] = {'I', 'D', ' ', 'P', 'r', 'o', 'c', 'e', 's', 's'};
    cut.insert(cut.end(), tail, tail + sizeof tail);
    EXPECT_FALSE(ParsePerfCounterNames(cut.data(), cut.size(), &names));
    EXPECT_FALSE(ParsePerfCounterNames(nullptr, 0, &names));
}

TEST(PerfProcessTable, ReadsIdsAndNamesOfEveryInstance) {
    PerfBlock block;
    std::vector<uint8_t> data = block.Build({{u"Idle", 0}, {u"abc", 100}, {u"explorer", 2044}});
    ProcessTable table;
    ASSERT_TRUE(Parse(data, &table));
    ASSERT_EQ(table.count, 3u);
    EXPECT_EQ(table.entries[0].processId, kPerfIdZeroStandIn);
    EXPECT_STREQ(table.entries[0].name, "Idle");
    EXPECT_EQ(table.entries[1].processId, 100u);
    EXPECT_STREQ(table.entries[1].name, "abc");
    EXPECT_EQ(table.entries[2].processId, 2044u);
    EXPECT_STREQ(table.entries[2].name, "explorer");
}

TEST(PerfProcessTable, CounterDefinitionsAreSteppedByFortyBytes) {
    PerfBlock block;
    block.counterIndexes = {2, 4, 6, 8, 10, PerfBlock::kIdCounterIndex};
    ProcessTable table;
    ASSERT_TRUE(Parse(block.Build({{u"abc", 77}}), &table));
    EXPECT_EQ(table.entries[0].processId, 77u);
    block.counterIndexes = {2, 4};
    EXPECT_FALSE(Parse(block.Build({{u"abc", 77}}), &table));
    EXPECT_EQ(table.count, 0u);
}

TEST(PerfProcessTable, LongNamesAreEmptyAndFailedConversionsUnknown) {
    PerfBlock block;
    std::u16string longName(259, u'x');
    std::u16string tooLong(300, u'y');
    std::vector<uint8_t> data = block.Build({{u"sixteen_chars_ab", 1}, {u"seventeen_chars_a", 2}, {u"caf\u00e9", 3},
                                             {longName, 4}, {tooLong, 5}});
    ProcessTable table;
    ASSERT_TRUE(Parse(data, &table));
    ASSERT_EQ(table.count, 5u);
    EXPECT_STREQ(table.entries[0].name, "sixteen_chars_ab");
    EXPECT_STREQ(table.entries[1].name, "");
    EXPECT_STREQ(table.entries[2].name, "unknown");
    EXPECT_STREQ(table.entries[3].name, "");
    EXPECT_STREQ(table.entries[4].name, "unknown");
    EXPECT_EQ(table.entries[4].processId, 5u);
}

TEST(PerfProcessTable, KeepsOnlyTheFirst254Instances) {
    PerfBlock block;
    std::vector<PerfInstance> many;
    for (uint32_t i = 0; i < 300; ++i) many.push_back({u"p" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)), i + 1});
    ProcessTable table;
    ASSERT_TRUE(Parse(block.Build(many), &table));
    EXPECT_EQ(table.count, 254u);
    EXPECT_EQ(table.entries[253].processId, 254u);

    // A count that claims more instances than the buffer holds needs only the first 254 in it.
    many.resize(254);
    block.declaredInstances = 100000;
    ASSERT_TRUE(Parse(block.Build(many), &table));
    EXPECT_EQ(table.count, 254u);
}

TEST(PerfProcessTable, RejectsBlocksThatAreNotPerformanceData) {
    PerfBlock block;
    std::vector<uint8_t> data = block.Build({{u"abc", 1}});
    ProcessTable table;
    std::vector<uint8_t> bad = data;
    bad[2] = 'X';
    EXPECT_FALSE(Parse(bad, &table));
    EXPECT_FALSE(Parse({}, &table));
    EXPECT_FALSE(Parse(std::vector<uint8_t>(data.begin(), data.begin() + 6), &table));
}

TEST(PerfProcessTable, RejectsMalformedOffsetsAndCountsWithoutReadingOutside) {
    PerfBlock block;
    std::vector<uint8_t> good = block.Build({{u"abc", 1}, {u"def", 2}, {u"ghi", 3}});
    const size_t object = PerfBlock::kObjectAt;
    const size_t firstInstance = object + PerfBlock::kObjectHeader + 40 * block.counterIndexes.size();
    struct Damage {
        const char* what;
        size_t at;
        uint32_t value;
    } damages[] = {
        {"object past the end", 24, 0x7FFFFFF0u},
        {"object offset wrapping", 24, 0xFFFFFFFFu},
        {"counter definitions past the end", object + 8, 0x00FFFFFFu},
        {"instances past the end", object + 4, 0x7FFFFFFFu},
        {"more instances than the buffer holds", object + 40, 5},
        {"name offset past the end", firstInstance + 16, 0x10000000u},
        {"counter block past the end", firstInstance + 0, 0xFFFFFFF0u},
        {"counter offset past the block", object + PerfBlock::kObjectHeader + 2 * 40 + 36, 0x00100000u},
        {"next instance past the end", firstInstance + 32 + 0, 0xFFFFFFFFu},
    };
    ProcessTable table;
    ASSERT_TRUE(Parse(good, &table));
    for (const Damage& d : damages) {
        std::vector<uint8_t> data = good;
        block.bytes = data;
        block.Put32(d.at, d.value);
        EXPECT_FALSE(Parse(block.bytes, &table)) << d.what;
        EXPECT_EQ(table.count, 0u) << d.what;
    }
    // A counter count far beyond the buffer, without the id counter among those present.
    block.bytes = good;
    block.Put32(object + PerfBlock::kObjectHeader + 2 * 40 + 4, 999);
    block.Put32(object + 32, 0xFFFFFFFFu);
    EXPECT_FALSE(Parse(block.bytes, &table));
    // Every cut of a valid block is either rejected or, when only unused bytes were cut, read whole.
    for (size_t n = 0; n < good.size(); ++n) {
        if (Parse(std::vector<uint8_t>(good.begin(), good.begin() + n), &table)) {
            EXPECT_EQ(table.count, 3u) << n;
            EXPECT_EQ(table.entries[2].processId, 3u) << n;
        } else {
            EXPECT_EQ(table.count, 0u) << n;
        }
    }
    EXPECT_FALSE(Parse(std::vector<uint8_t>(good.begin(), good.end() - 5), &table));
}

TEST(PerfProcessTable, NameRunningToTheEndOfTheBufferIsRejected) {
    PerfBlock block;
    std::vector<uint8_t> data = block.Build({{u"abc", 1}});
    const size_t instance = PerfBlock::kObjectAt + PerfBlock::kObjectHeader + 40 * block.counterIndexes.size();
    block.bytes = data;
    block.Put32(instance + 16, static_cast<uint32_t>(data.size() - instance - 2));  // last two bytes, no terminator
    block.bytes[data.size() - 2] = 'z';
    ProcessTable table;
    EXPECT_FALSE(Parse(block.bytes, &table));
}

TEST(PerfTarget, WholeNameMatchOnTheNameWithoutExtension) {
    PerfBlock block;
    ProcessTable table;
    ASSERT_TRUE(Parse(block.Build({{u"abc", 1}, {u"abcd", 2}, {u"abc#1", 3}, {u"ABC", 4}, {u"ab", 5}, {u"xabc", 6},
                                   {u"abd", 7}, {u"abc_with_long_name", 8}, {u"abc#12", 9}, {u"abc#", 10},
                                   {u"abc#1x", 11}, {u"abc 2", 12}}),
                      &table));
    std::vector<std::string> expected = {"abc", "abc#1", "ABC", "abc#12"};
    EXPECT_EQ(MatchingNames(table, "C:\\Program Files\\Worm\\abc.exe"), expected);
    EXPECT_EQ(MatchingNames(table, "abc.exe"), expected);
    EXPECT_EQ(MatchingNames(table, "C:\\x\\ABC.EXE"), expected);
}

TEST(PerfTarget, ShortPathsAndEmptyNamesMatchNothing) {
    char target[260];
    EXPECT_FALSE(PerfTargetName("a.ex", target, sizeof target));
    EXPECT_FALSE(PerfTargetName("", target, sizeof target));
    EXPECT_FALSE(PerfTargetName("C:\\dir\\.exe", target, sizeof target));
    EXPECT_FALSE(PerfTargetName("\\abc", target, sizeof target));
    EXPECT_TRUE(PerfTargetName("x.exe", target, sizeof target));
    EXPECT_STREQ(target, "X");
    EXPECT_TRUE(PerfTargetName("C:\\a.b\\names", target, sizeof target));
    EXPECT_STREQ(target, "N");  // the last four characters go whatever they are
    EXPECT_FALSE(PerfTargetName("C:\\a.b\\name", target, sizeof target));
    EXPECT_TRUE(PerfTargetName("C:\\dir\\name.exe", target, sizeof target));
    EXPECT_STREQ(target, "NAME");

    // A one-letter worm must not take every process whose name begins with that letter.
    ASSERT_TRUE(PerfTargetName("C:\\temp\\s.exe", target, sizeof target));
    for (const char* name : {"svchost", "smss", "services", "spoolsv", "s#"}) {
        ProcessTableEntry other = {3, ""};
        std::strncpy(other.name, name, sizeof other.name - 1);
        EXPECT_FALSE(PerfEntryMatches(other, target)) << name;
    }

    ProcessTableEntry entry = {1, "abc"};
    EXPECT_FALSE(PerfEntryMatches(entry, ""));
    ProcessTableEntry emptyName = {2, ""};
    EXPECT_FALSE(PerfEntryMatches(emptyName, "A"));
}
