// The status read and its condensing, over a scripted device.
#include "driver/status_stream.h"

#include <gtest/gtest.h>
#include <cstdint>

#include "driver/processor_status_table.h"
#include "tests/driver/scripted_device_port.h"

namespace {

using namespace driver;
using drivertest::MakeStream;
using drivertest::ScriptedDevicePort;

const ProcessorStatusTable kEarlier = {{7, 1}, {8, 1}, {9, 0x20000000}, {10, 1}};

void ExpectEarlierTable(const ProcessorStatusTable& table) {
    ASSERT_EQ(table.size(), kEarlier.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].Id, kEarlier[i].Id);
        EXPECT_EQ(table[i].Status, kEarlier[i].Status);
    }
}

TEST(StatusRead, TakesTheLowHalvesOfEveryRecordAndAsksForTheWholeStream) {
    ScriptedDevicePort port;
    port.stream = MakeStream({1, 0xF0000001, 0x10000000, 0});
    ProcessorStatusTable table;
    EXPECT_EQ(ReadStatusTable(port, table), kStatusRead);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0].Id, 100u);
    EXPECT_EQ(table[3].Id, 103u);
    EXPECT_EQ(table[1].Status, 0xF0000001u);
    EXPECT_EQ(table[3].Status, 0u);
    EXPECT_EQ(port.readLengths, (std::vector<std::uint32_t>{16, 80}));
    EXPECT_EQ(port.opens, 1);
    EXPECT_EQ(port.closes, 1);
}

TEST(StatusRead, FailuresKeepTheTableAndCloseTheDevice) {
    struct Case {
        const char* name;
        void (*script)(ScriptedDevicePort&);
        DriverResult result;
        std::vector<std::uint32_t> reads;
    };
    const Case cases[] = {
        {"device absent",
         [](ScriptedDevicePort& p) { p.openSucceeds = false; },
         kDeviceNotOpened,
         {}},
        {"first read fails",
         [](ScriptedDevicePort& p) { p.firstReadFails = true; },
         kReadFailed,
         {16}},
        {"second read fails",
         [](ScriptedDevicePort& p) { p.secondReadFails = true; },
         kReadFailed,
         {16, 48}},
        {"Count -1",
         [](ScriptedDevicePort& p) {
             p.stream = MakeStream(-1, {1, 1});
         },
         kDriverError,
         {16}},
        {"second Count 0", [](ScriptedDevicePort& p) { p.laterCount = 0; }, kDriverError, {16, 48}},
        {"second Count larger",
         [](ScriptedDevicePort& p) { p.laterCount = 3; },
         kDriverError,
         {16, 48}},
        {"second Count -1",
         [](ScriptedDevicePort& p) { p.laterCount = -1; },
         kDriverError,
         {16, 48}},
        {"low half negative",
         [](ScriptedDevicePort& p) { p.stream = MakeStream(0x80000000, {}); },
         kDriverError,
         {16}},
        {"low half zero, value not",
         [](ScriptedDevicePort& p) { p.stream = MakeStream(0x100000000, {1}); },
         kDriverError,
         {16}},
        {"stream beyond 32 bits",
         [](ScriptedDevicePort& p) { p.stream = MakeStream(0x0FFFFFFF, {}); },
         kDriverError,
         {16}},
        {"first Count 0",
         [](ScriptedDevicePort& p) { p.stream = MakeStream(0, {}); },
         kDriverError,
         {16, 16}},
        {"first Count 0x0FFFFFFE",
         [](ScriptedDevicePort& p) { p.stream = MakeStream(0x0FFFFFFE, {1}); },
         kDriverError,
         {16}},
        {"first Count one above the bound",
         [](ScriptedDevicePort& p) { p.stream = MakeStream(kMaxRecords + 1, {1}); },
         kDriverError,
         {16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDevicePort port;
        port.stream = MakeStream({1, 0});
        c.script(port);
        ProcessorStatusTable table = kEarlier;
        EXPECT_EQ(ReadStatusTable(port, table), c.result);
        ExpectEarlierTable(table);
        EXPECT_EQ(port.readLengths, c.reads);
        EXPECT_EQ(port.closes, port.opens);
        EXPECT_FALSE(port.isOpen);
    }
}

TEST(StatusRead, SecondCountSmallerThanTheFirstTakesOnlyItsRecords) {
    ScriptedDevicePort port;
    port.stream = MakeStream({1, 1, 0});
    port.laterCount = 2;
    ProcessorStatusTable table;
    EXPECT_EQ(ReadStatusTable(port, table), kStatusRead);
    EXPECT_EQ(table.size(), 2u);
}

TEST(StatusRead, ShortReadLeavesZerosBeyondWhatWasDelivered) {
    ScriptedDevicePort port;
    port.stream = MakeStream({1, 1, 1});
    port.laterReadDeliversAtMost = 16 + 12;  // header, the first Id and half a Status value
    ProcessorStatusTable table;
    EXPECT_EQ(ReadStatusTable(port, table), kStatusRead);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].Id, 100u);
    EXPECT_EQ(table[0].Status, 1u);
    EXPECT_EQ(table[1].Status, 0u);
    EXPECT_EQ(table[2].Status, 0u);
}

TEST(StatusRead, EmptySecondReadKeepsTheFirstReadsHeader) {
    ScriptedDevicePort port;
    port.stream = MakeStream({1, 1});
    port.laterReadDeliversAtMost = 0;
    ProcessorStatusTable table;
    EXPECT_EQ(ReadStatusTable(port, table), kStatusRead);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].Status, 0u);
    EXPECT_EQ(table[1].Id, 0u);
}

TEST(StatusRead, ACountAtTheBoundIsReadWithOneMegabyte) {
    ScriptedDevicePort port;
    port.stream = MakeStream(kMaxRecords, {1, 1});  // the rest of the table stays zero
    ProcessorStatusTable table;
    EXPECT_EQ(ReadStatusTable(port, table), kStatusRead);
    EXPECT_EQ(port.readLengths, (std::vector<std::uint32_t>{16, (kMaxRecords + 1) * 16}));
    ASSERT_EQ(table.size(), kMaxRecords);
    EXPECT_EQ(table[1].Status, 1u);
    EXPECT_EQ(table[2].Status, 0u);
}

TEST(StatusRead, CountsAreJudgedAtTheirLimits) {
    EXPECT_EQ(RecordsAnnounced(0), 0u);
    EXPECT_EQ(RecordsAnnounced(65536), 65536u);  // far more processors than Windows runs
    EXPECT_FALSE(RecordsAnnounced(65537));
    EXPECT_FALSE(RecordsAnnounced(0x0FFFFFFE));  // 4 GB of stream: refused, not read
    EXPECT_FALSE(RecordsAnnounced(0x0FFFFFFF));
    EXPECT_FALSE(RecordsAnnounced(0x7FFFFFFF));
    EXPECT_FALSE(RecordsAnnounced(-1));
    EXPECT_FALSE(RecordsAnnounced(0xFFFFFFFF));    // low half -1, high half 0
    EXPECT_EQ(RecordsAnnounced(0x700000004), 4u);  // the high half plays no part
}

TEST(Condensing, HypervisorStateFollowsBitZeroOnly) {
    EXPECT_EQ(HypervisorStateOf({{0, 1}, {1, 0xFFFFFFFF}}), kEnabledEverywhere);
    EXPECT_EQ(HypervisorStateOf({{0, 0}, {1, 0xFFFFFFFE}}), kEnabledNowhere);
    EXPECT_EQ(HypervisorStateOf({{0, 1}, {1, 0}, {2, 1}}), kEnabledPartly);
    EXPECT_EQ(HypervisorStateOf({}), kEnabledNowhere);
}

TEST(Condensing, EveryProblemCodeRaisesItsFlagOrNone) {
    const ProblemFlags expected[16] = {0, 0x01, 0x02, 0x04, 0x08, 0x10, 0, 0,
                                       0, 0,    0,    0,    0,    0,    0, 0x20};
    for (std::uint32_t code = 0; code < 16; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(ProblemFlagsOf({{0, (code << 28) | 1}}), expected[code]);
        EXPECT_EQ(ProblemFlagsOf({{0, (code << 28) | 0x0FFFFFFE}}), expected[code]);
    }
    EXPECT_EQ(ProblemFlagsOf({{0, 0x50000000}, {1, 0xF0000000}}), 0x30);
    EXPECT_EQ(ProblemFlagsOf({{0, 0x10000000}, {1, 0x30000000}, {2, 0x40000001}}), 0x0D);
}

TEST(Condensing, HighHalvesOfTheStreamRaiseNothing) {
    // A record whose second value has only bit 32 set has Status 0.
    ScriptedDevicePort port;
    port.stream = MakeStream({0});
    port.stream[24 + 4] = std::byte{1};
    ProcessorStatusTable table;
    ASSERT_EQ(ReadStatusTable(port, table), kStatusRead);
    EXPECT_EQ(table[0].Status, 0u);
    EXPECT_EQ(HypervisorStateOf(table), kEnabledNowhere);
    EXPECT_EQ(ProblemFlagsOf(table), 0);
}

TEST(Condensing, Code15EnabledAndCode8DisabledCountAsTheirBitZero) {
    EXPECT_EQ(HypervisorStateOf({{0, 0xF0000001}}), kEnabledEverywhere);
    EXPECT_EQ(ProblemFlagsOf({{0, 0xF0000001}}), 0x20);
    EXPECT_EQ(HypervisorStateOf({{0, 0x80000000}}), kEnabledNowhere);
    EXPECT_EQ(ProblemFlagsOf({{0, 0x80000000}}), 0);
}

TEST(ProcessStatusTable, AggregationsReportTheLastSuccessfulRead) {
    ReleaseProcessorStatusTable();
    EXPECT_TRUE(CurrentProcessorStatusTable().empty());
    ScriptedDevicePort good;
    good.stream = MakeStream({1, 0x10000001, 0, 0x50000001});
    ASSERT_EQ(ReadDriverStatusFrom(good), kStatusRead);
    ScriptedDevicePort failing;
    failing.secondReadFails = true;
    failing.stream = MakeStream({1});
    EXPECT_EQ(ReadDriverStatusFrom(failing), kReadFailed);
    EXPECT_EQ(CurrentProcessorStatusTable().size(), 4u);
    EXPECT_EQ(GetHypervisorState(), kEnabledPartly);
    EXPECT_EQ(GetProblemFlags(), 0x11);
    ReleaseProcessorStatusTable();
    EXPECT_TRUE(CurrentProcessorStatusTable().empty());
}

}  // namespace
