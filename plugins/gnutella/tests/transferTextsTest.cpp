// The texts of transfer rows and the speed measurement of a transfer.
#include <gtest/gtest.h>

#include <atomic>

#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/rateTexts.h"

namespace vesk::gnutella::test {
namespace {

TEST(TransferTexts, SizesStepUpOnlyAbove1024) {
    struct row {
        unsigned long long bytes;
        const char* text;
    } rows[] = {
        {0, "0.00 Bytes"},
        {1024, "1024.00 Bytes"},
        {1536, "1.50 KB"},
        {1048576, "1024.00 KB"},
        {1048577, "1.00 MB"},
        {5ull * 1024 * 1024 * 1024, "5.00 GB"},
        {3ull * 1024 * 1024 * 1024 * 1024, "3072.00 GB"},  // past 4 GiB: printed whole
    };
    for (const row& r : rows)
        EXPECT_EQ(SizeText(r.bytes), r.text) << r.bytes;
}

TEST(TransferTexts, SpeedsStepUpTheSameWay) {
    EXPECT_EQ(SpeedText(2048), "2.00 KB/Sec");
    EXPECT_EQ(SpeedText(1024), "1024.00 Bytes/Sec");
    EXPECT_EQ(SpeedText(3.5 * 1024 * 1024), "3.50 MB/Sec");
}

TEST(TransferTexts, TimeLeftInSecondsMinutesOrHours) {
    struct row {
        unsigned long long seconds;
        const char* text;
    } rows[] = {
        {0, "0 sec"},
        {60, "60 sec"},
        {100, "1 min, 40 sec"},
        {3600, "60 min, 0 sec"},
        {3661, "1 hours, 1 min, 1 sec"},
        {10000000000ull, "2777777 hours, 46 min, 40 sec"},
    };
    for (const row& r : rows)
        EXPECT_EQ(TimeLeftText(r.seconds), r.text) << r.seconds;
}

TEST(TransferTexts, CountdownShowsOnlyTheUnitsItHas) {
    EXPECT_EQ(CountdownText(3725), "1h 2m 5s ");
    EXPECT_EQ(CountdownText(3723), "1h 2m 3s ");
    EXPECT_EQ(CountdownText(65), "1m 5s ");
    EXPECT_EQ(CountdownText(5), "5s ");
    EXPECT_EQ(CountdownText(0), "0s ");
    EXPECT_EQ(CountdownText(3600), "1h 0s ");
}

TEST(TransferTexts, ProgressAndCompletion) {
    EXPECT_EQ(ProgressText("Transferring", 1536, 1048576), "Transferring (1.50 KB of 1024.00 KB)");
    EXPECT_EQ(CompletionText("Complete", 1024), "Complete (1024.00 Bytes)");
}

std::atomic<unsigned long> fakeNow{100000};
unsigned long fakeTicks() {
    return fakeNow;
}

class TransferStats : public ::testing::Test {
protected:
    void SetUp() override {
        fakeNow = 100000;
        SetTickSource(&fakeTicks);
    }
    void TearDown() override { SetTickSource(nullptr); }
};

TEST_F(TransferStats, PercentIsCutTowardZero) {
    CGnutellaTransfer transfer;
    transfer.fileSize = 3;
    transfer.bytesDone = 1;
    transfer.UpdateStats();
    EXPECT_EQ(transfer.percent, 33u);
}

TEST_F(TransferStats, SpeedOfTheWindowAtMostEvery500Milliseconds) {
    CGnutellaTransfer transfer;
    transfer.fileSize = 1000000;
    fakeNow += 1000;
    transfer.windowBytes = 2048;
    transfer.UpdateStats();
    EXPECT_EQ(transfer.bytesPerSecond, 2048u);
    fakeNow += 300;
    transfer.windowBytes += 100000;
    transfer.UpdateStats();
    EXPECT_EQ(transfer.bytesPerSecond, 2048u) << "300 ms after the last one";
    fakeNow += 200;
    transfer.UpdateStats();
    EXPECT_EQ(transfer.bytesPerSecond, (2048u + 100000u) * 1000 / 1500);
}

TEST_F(TransferStats, TheWindowStartsAgainAfterFiveSeconds) {
    CGnutellaTransfer transfer;
    transfer.windowBytes = 5000;
    fakeNow += 5001;
    transfer.UpdateStats();
    EXPECT_EQ(transfer.windowBytes, 0u);
    EXPECT_EQ(transfer.windowStart, 105001u);
    transfer.windowBytes = 10;
    transfer.ResetStats();
    EXPECT_EQ(transfer.windowBytes, 0u);
}

}  // namespace
}  // namespace vesk::gnutella::test
