#include "link/TransmitQueue.h"

#include <gtest/gtest.h>

#include "CoreFixture.h"

namespace oxalis {
namespace {

using test::CoreFixture;

std::string numbered(int n) { return ":" + std::to_string(n); }

class TransmitQueueTest : public ::testing::Test, public CoreFixture {
 protected:
  void SetUp() override { port.open(1); }
  TransmitQueue& queue = core.link.queue;
  TxRing& ring = core.link.state.tx;
};

TEST_F(TransmitQueueTest, RecordIntoEmptyQueueWithReadyModuleLeavesAtOnceAndNextWaitsForXon) {
  core.link.state.linkUp = true;
  ring.moduleReady = true;
  EXPECT_TRUE(queue.queueRecord(":00000113EC"));
  EXPECT_EQ(port.take(), ":00000113EC");
  EXPECT_TRUE(queue.isEmpty());
  EXPECT_FALSE(ring.moduleReady);
  EXPECT_EQ(ring.lastSentRecord, ":00000113EC");

  EXPECT_TRUE(queue.queueRecord(":00000015EB"));
  EXPECT_EQ(port.take(), "");
  EXPECT_FALSE(queue.isEmpty());

  queue.onXon();
  EXPECT_EQ(port.take(), ":00000015EB");
  EXPECT_TRUE(queue.isEmpty());
}

TEST_F(TransmitQueueTest, RecordWaitsWhileModuleNotReady) {
  EXPECT_TRUE(queue.queueRecord(":00000113EC"));
  EXPECT_EQ(port.take(), "");
  EXPECT_EQ(ring.txWriteIndex, 1);
  EXPECT_EQ(ring.txReadIndex, 0);
}

// The module sends XON only after a record: an XON lost on a noisy line
// would hold both sides for ever (found by the fault soak: every setup write
// after it went unanswered). After a second of refresh ticks with records
// waiting, the next one goes out anyway.
TEST_F(TransmitQueueTest, AnXonLostOnTheLineHoldsTheQueueOnlyASecond) {
  core.link.state.linkUp = true;
  ring.moduleReady = true;
  ASSERT_TRUE(queue.queueRecord(numbered(1)));
  ASSERT_TRUE(queue.queueRecord(numbered(2)));
  EXPECT_EQ(port.take(), numbered(1));
  for (int tick = 1; tick < TransmitQueue::kXonLostTicks; ++tick) {
    queue.onRefreshTick();
    EXPECT_EQ(port.take(), "");
  }
  queue.onRefreshTick();
  EXPECT_EQ(port.take(), numbered(2));

  // An XON in time starts the wait afresh; with nothing waiting there is no wait.
  ASSERT_TRUE(queue.queueRecord(numbered(3)));
  queue.onRefreshTick();
  queue.onXon();
  EXPECT_EQ(port.take(), numbered(3));
  ASSERT_TRUE(queue.queueRecord(numbered(4)));
  queue.onRefreshTick();
  queue.onRefreshTick();
  EXPECT_EQ(port.take(), "");
  for (int tick = 0; tick < 5; ++tick) queue.onRefreshTick();
  EXPECT_EQ(port.take(), numbered(4));
  for (int tick = 0; tick < 5; ++tick) queue.onRefreshTick();
  EXPECT_EQ(port.take(), "");

  // An XON that came while the link was down left the module ready with a
  // record waiting: the next tick sends it.
  core.link.state.linkUp = false;
  ASSERT_TRUE(queue.queueRecord(numbered(5)));
  queue.onXon();
  core.link.state.linkUp = true;
  queue.onRefreshTick();
  EXPECT_EQ(port.take(), numbered(5));
}

TEST_F(TransmitQueueTest, XonSendsOnlyWhenLinkUpOrFirmwareLoading) {
  EXPECT_TRUE(queue.queueRecord(":00000113EC"));
  queue.onXon();  // no module connected, no firmware update: stays queued
  EXPECT_EQ(port.take(), "");
  EXPECT_TRUE(ring.moduleReady);

  core.link.state.firmwareLoading = true;
  queue.onXon();
  EXPECT_EQ(port.take(), ":00000113EC");
}

TEST_F(TransmitQueueTest, XonWithEmptyQueueOnlySetsReady) {
  core.link.state.linkUp = true;
  queue.onXon();
  EXPECT_TRUE(ring.moduleReady);
  EXPECT_EQ(port.take(), "");
  queue.onXoff();
  EXPECT_FALSE(ring.moduleReady);
}

TEST_F(TransmitQueueTest, IndicesWrapAfterSlot200AndTheRecord202LandsInSlot0) {
  core.link.state.linkUp = true;
  for (int n = 1; n <= 201; ++n) {
    EXPECT_TRUE(queue.queueRecord(numbered(n)));
    queue.onXon();  // the module takes each record
  }
  EXPECT_EQ(ring.txWriteIndex, 0);
  EXPECT_EQ(ring.txReadIndex, 0);
  EXPECT_EQ(ring.txQueue[200], numbered(201));
  EXPECT_TRUE(queue.queueRecord(numbered(202)));
  EXPECT_EQ(ring.txQueue[0], numbered(202));
  EXPECT_EQ(ring.txWriteIndex, 1);
}

TEST_F(TransmitQueueTest, ChecksumErrorAndOverrunResendTheRejectedRecord) {
  core.link.state.linkUp = true;
  ring.moduleReady = true;
  EXPECT_TRUE(queue.queueRecord(":A"));
  EXPECT_TRUE(queue.queueRecord(":B"));
  EXPECT_EQ(port.take(), ":A");

  queue.onChecksumError();  // the module rejected :A
  queue.onXon();
  EXPECT_EQ(port.take(), ":A");
  queue.onOverrun();
  queue.onXon();
  EXPECT_EQ(port.take(), ":A");
  queue.onXon();
  EXPECT_EQ(port.take(), ":B");
}

// A module that rejects a record every time, by checksum error or by
// overrun: the record is written five times in all, then given up, and the
// records behind it still leave.
class RejectedRecord : public TransmitQueueTest, public ::testing::WithParamInterface<bool> {
 protected:
  void reject() { GetParam() ? queue.onOverrun() : queue.onChecksumError(); }
  // Rejects the record just written `times` times, each followed by the XON
  // that lets the next write go; returns what was written.
  std::vector<std::string> rejectAndResume(int times) {
    std::vector<std::string> written;
    for (int n = 0; n < times; ++n) {
      reject();
      queue.onXon();
      written.push_back(port.take());
    }
    return written;
  }
  void SetUp() override {
    TransmitQueueTest::SetUp();
    core.link.state.linkUp = true;
    ring.moduleReady = true;
  }
};

TEST_P(RejectedRecord, IsGivenUpAfterFiveTriesAndTheNextOneLeaves) {
  core.factory.visible = true;
  int told = 0;
  const auto watch = core.mainWindow.changed.subscribe([&] { ++told; });
  EXPECT_TRUE(queue.queueRecord(":A"));
  EXPECT_TRUE(queue.queueRecord(":B"));
  EXPECT_EQ(port.take(), ":A");
  EXPECT_EQ(rejectAndResume(4), std::vector<std::string>(4, ":A"));
  EXPECT_EQ(core.mainWindow.statusMessage, "");

  EXPECT_EQ(rejectAndResume(1), std::vector<std::string>{":B"});  // the fifth rejection
  EXPECT_EQ(core.mainWindow.statusMessage, "Record :A refused 5 times by the module: skipped");
  EXPECT_EQ(told, 1);
  EXPECT_NE(core.factory.W_Log.find("Record abandoned after 5 tries : :A\r\n"), std::string::npos);
  queue.onXon();
  EXPECT_TRUE(queue.isEmpty());
}

TEST_P(RejectedRecord, TheCountStartsAgainWithEachRecord) {
  EXPECT_TRUE(queue.queueRecord(":A"));
  EXPECT_EQ(port.take(), ":A");
  EXPECT_EQ(rejectAndResume(3), std::vector<std::string>(3, ":A"));
  reject();  // the link is lost with :A due again
  queue.dropWaiting();
  EXPECT_TRUE(queue.queueRecord(":C"));
  queue.onXon();
  EXPECT_EQ(port.take(), ":C");
  EXPECT_EQ(rejectAndResume(4), std::vector<std::string>(4, ":C"));
  EXPECT_EQ(core.mainWindow.statusMessage, "");
}

INSTANTIATE_TEST_SUITE_P(ChecksumErrorAndOverrun, RejectedRecord, ::testing::Bool());

TEST_F(TransmitQueueTest, StepBackFromSlot0GoesToSlot200) {
  queue.onChecksumError();
  EXPECT_EQ(ring.txReadIndex, 200);
  ring.txReadIndex = 0;
  queue.onOverrun();
  EXPECT_EQ(ring.txReadIndex, 200);
}

// A failed write is said in the window's notice, once per open port, with
// no box: the link goes on and the record stays at the head.
TEST_F(TransmitQueueTest, FailedWriteKeepsRecordAtHeadAndReportsOnce) {
  core.link.state.linkUp = true;
  port.failWrites = true;
  EXPECT_TRUE(queue.queueRecord(":A"));
  queue.onXon();
  queue.onXon();
  queue.sendXon();
  EXPECT_EQ(ring.txReadIndex, 0);
  EXPECT_EQ(ring.lastSentRecord, ":A");
  EXPECT_TRUE(dialogs.messages.empty());
  const std::string notice = core.mainWindow.linkNotice.text;
  EXPECT_NE(notice.find("disconnected"), std::string::npos) << notice;
  core.dismissLinkNotice();
  queue.sendXon();
  EXPECT_TRUE(core.mainWindow.linkNotice.text.empty());  // once per open port

  port.failWrites = false;
  queue.onXon();
  EXPECT_EQ(port.take(), ":A");
  EXPECT_TRUE(queue.isEmpty());

  // After the port is opened again a new failure is reported again.
  queue.portOpened();
  port.failWrites = true;
  queue.sendXon();
  EXPECT_EQ(core.mainWindow.linkNotice.text, notice);
}

TEST_F(TransmitQueueTest, FullRingRefusesInsteadOfOverwritingWaitingRecords) {
  core.factory.visible = true;
  int accepted = 0;
  for (int n = 0; n < 250; ++n) accepted += queue.queueRecord(numbered(n)) ? 1 : 0;
  EXPECT_EQ(accepted, TransmitQueue::kMaxWaiting);
  EXPECT_NE(core.factory.W_Log.find("Buffer full, record not queued : :199"), std::string::npos);
  // The user hears of it once, not once per refused record.
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
  // Nothing waiting was lost: the records leave in order.
  core.link.state.linkUp = true;
  for (int n = 0; n < accepted; ++n) {
    queue.onXon();
    ASSERT_EQ(port.take(), numbered(n));
  }
  EXPECT_TRUE(queue.isEmpty());
}

TEST_F(TransmitQueueTest, SeriesLongerThanTheRingLeavesWholeAndInOrder) {
  core.link.state.linkUp = true;
  std::vector<std::string> series;
  for (int n = 0; n < 400; ++n) series.push_back(numbered(n));
  queue.queueSeries(series);
  EXPECT_FALSE(queue.nearlyFull());  // room stays for single requests
  EXPECT_TRUE(queue.queueRecord(":T"));
  std::vector<std::string> sent;
  while (!queue.isEmpty()) {
    queue.onXon();
    sent.push_back(port.take());
  }
  EXPECT_EQ(queue.seriesBacklog(), 0u);
  std::erase(sent, ":T");
  EXPECT_EQ(sent, series);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TransmitQueueTest, LinkLossDropsTheSeriesBacklogToo) {
  std::vector<std::string> series;
  for (int n = 0; n < 300; ++n) series.push_back(numbered(n));
  queue.queueSeries(series);
  EXPECT_GT(queue.seriesBacklog(), 0u);
  queue.dropWaiting();
  EXPECT_TRUE(queue.isEmpty());
  EXPECT_EQ(queue.seriesBacklog(), 0u);
}

TEST_F(TransmitQueueTest, NearlyFullAbove195WaitingRecordsAndStoresTheLevel) {
  EXPECT_FALSE(queue.nearlyFull());
  for (int n = 0; n < 196; ++n) ASSERT_TRUE(queue.queueRecord(numbered(n)));
  EXPECT_TRUE(queue.nearlyFull());
  EXPECT_EQ(ring.txLevel, 196);
  ring.txReadIndex = 190;
  ring.txWriteIndex = 5;  // wrapped: 16 waiting
  EXPECT_FALSE(queue.nearlyFull());
  EXPECT_EQ(ring.txLevel, 16);
}

TEST_F(TransmitQueueTest, LogsAndDebugFieldsOnlyWhileFactoryWindowVisible) {
  core.link.state.linkUp = true;
  ring.moduleReady = true;
  EXPECT_TRUE(queue.queueRecord(":A"));
  EXPECT_EQ(core.factory.W_Log, "Log window\r\n");
  EXPECT_EQ(core.factory.DEBUG_TX, "");

  core.factory.visible = true;
  EXPECT_TRUE(queue.queueRecord(":B"));
  EXPECT_TRUE(queue.queueRecord(":C"));
  queue.onXon("");
  queue.onXon(":0300");
  queue.onChecksumError();
  queue.onOverrun();
  EXPECT_EQ(core.factory.W_Log,
            "Log window\r\n"
            "Put in buffer VB6 :B\r\n"
            "Put in buffer VB6 :C\r\n"
            "TxON reçu\r\n"
            "Put in buffer PC :B\r\n"
            "Xon pendant trame : :0300\r\n"
            "TxON reçu\r\n"
            "Put in buffer PC :C\r\n"
            "Checksum error\r\n"
            "OverRun error\r\n");
  EXPECT_EQ(core.factory.DEBUG_TX, ":C");
  EXPECT_TRUE(core.factory.checksumError);
  EXPECT_TRUE(core.factory.overrun);

  core.factory.logRunning = false;
  EXPECT_TRUE(queue.queueRecord(":D"));
  EXPECT_EQ(core.factory.W_Log.find(":D"), std::string::npos);
}

TEST_F(TransmitQueueTest, BufferLevelShowsStoredLevelInPercent) {
  core.factory.visible = true;
  for (int n = 0; n < 100; ++n) ASSERT_TRUE(queue.queueRecord(numbered(n)));
  EXPECT_EQ(core.factory.BufferLevel, 0);  // the level is stored, not recomputed
  queue.nearlyFull();
  EXPECT_TRUE(queue.queueRecord(":X"));
  EXPECT_EQ(core.factory.BufferLevel, 50);
}

}  // namespace
}  // namespace oxalis
