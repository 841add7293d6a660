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
  TransmitQueue& queue = core.queue;
  TxRing& ring = core.state.tx;
};

TEST_F(TransmitQueueTest, RecordIntoEmptyQueueWithReadyModuleLeavesAtOnceAndNextWaitsForXon) {
  core.state.linkUp = true;
  ring.moduleReady = true;
  queue.QueueRecord(":00000113EC");
  EXPECT_EQ(port.take(), ":00000113EC");
  EXPECT_TRUE(queue.QueueIsEmpty());
  EXPECT_FALSE(ring.moduleReady);
  EXPECT_EQ(ring.lastSentRecord, ":00000113EC");

  queue.QueueRecord(":00000015EB");
  EXPECT_EQ(port.take(), "");
  EXPECT_FALSE(queue.QueueIsEmpty());

  queue.onXon();
  EXPECT_EQ(port.take(), ":00000015EB");
  EXPECT_TRUE(queue.QueueIsEmpty());
}

TEST_F(TransmitQueueTest, RecordWaitsWhileModuleNotReady) {
  queue.QueueRecord(":00000113EC");
  EXPECT_EQ(port.take(), "");
  EXPECT_EQ(ring.txWriteIndex, 1);
  EXPECT_EQ(ring.txReadIndex, 0);
}

TEST_F(TransmitQueueTest, XonSendsOnlyWhenLinkUpOrFirmwareLoading) {
  queue.QueueRecord(":00000113EC");
  queue.onXon();  // no module connected, no firmware update: stays queued
  EXPECT_EQ(port.take(), "");
  EXPECT_TRUE(ring.moduleReady);

  core.state.firmwareLoading = true;
  queue.onXon();
  EXPECT_EQ(port.take(), ":00000113EC");
}

TEST_F(TransmitQueueTest, XonWithEmptyQueueOnlySetsReady) {
  core.state.linkUp = true;
  queue.onXon();
  EXPECT_TRUE(ring.moduleReady);
  EXPECT_EQ(port.take(), "");
  queue.onXoff();
  EXPECT_FALSE(ring.moduleReady);
}

TEST_F(TransmitQueueTest, IndicesWrapAfterSlot200AndTheRecord202LandsInSlot0) {
  core.state.linkUp = true;
  for (int n = 1; n <= 201; ++n) {
    queue.QueueRecord(numbered(n));
    queue.onXon();  // the module takes each record
  }
  EXPECT_EQ(ring.txWriteIndex, 0);
  EXPECT_EQ(ring.txReadIndex, 0);
  EXPECT_EQ(ring.txQueue[200], numbered(201));
  queue.QueueRecord(numbered(202));
  EXPECT_EQ(ring.txQueue[0], numbered(202));
  EXPECT_EQ(ring.txWriteIndex, 1);
}

TEST_F(TransmitQueueTest, ChecksumErrorAndOverrunResendTheRejectedRecord) {
  core.state.linkUp = true;
  ring.moduleReady = true;
  queue.QueueRecord(":A");
  queue.QueueRecord(":B");
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

TEST_F(TransmitQueueTest, StepBackFromSlot0GoesToSlot200) {
  queue.onChecksumError();
  EXPECT_EQ(ring.txReadIndex, 200);
  ring.txReadIndex = 0;
  queue.onOverrun();
  EXPECT_EQ(ring.txReadIndex, 200);
}

TEST_F(TransmitQueueTest, FailedWriteKeepsRecordAtHeadAndReportsOnce) {
  core.state.linkUp = true;
  port.failWrites = true;
  queue.QueueRecord(":A");
  queue.onXon();
  queue.onXon();
  queue.SendXon();
  EXPECT_EQ(ring.txReadIndex, 0);
  EXPECT_EQ(ring.lastSentRecord, ":A");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "COM port disconnected");
  EXPECT_EQ(dialogs.messages[0].title, "USB ERROR");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);

  port.failWrites = false;
  queue.onXon();
  EXPECT_EQ(port.take(), ":A");
  EXPECT_TRUE(queue.QueueIsEmpty());

  // After the port is opened again a new failure is reported again.
  queue.portOpened();
  port.failWrites = true;
  queue.SendXon();
  EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(TransmitQueueTest, WriteFailuresInsideTheOpenBoxDoNotStackBoxes) {
  core.state.linkUp = true;
  port.failWrites = true;
  dialogs.onMessage = [&] { queue.SendXon(); queue.onXon(); };
  queue.QueueRecord(":A");
  queue.onXon();
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(TransmitQueueTest, FullRingRefusesInsteadOfOverwritingWaitingRecords) {
  core.factory.visible = true;
  int accepted = 0;
  for (int n = 0; n < 250; ++n) accepted += queue.QueueRecord(numbered(n)) ? 1 : 0;
  EXPECT_EQ(accepted, TransmitQueue::kMaxWaiting);
  EXPECT_NE(core.factory.W_Log.find("Buffer full, record not queued : :199"), std::string::npos);
  // Nothing waiting was lost: the records leave in order.
  core.state.linkUp = true;
  for (int n = 0; n < accepted; ++n) {
    queue.onXon();
    ASSERT_EQ(port.take(), numbered(n));
  }
  EXPECT_TRUE(queue.QueueIsEmpty());
}

TEST_F(TransmitQueueTest, NearlyFullAbove195WaitingRecordsAndStoresTheLevel) {
  EXPECT_FALSE(queue.QueueNearlyFull());
  for (int n = 0; n < 196; ++n) queue.QueueRecord(numbered(n));
  EXPECT_TRUE(queue.QueueNearlyFull());
  EXPECT_EQ(ring.txLevel, 196);
  ring.txReadIndex = 190;
  ring.txWriteIndex = 5;  // wrapped: 16 waiting
  EXPECT_FALSE(queue.QueueNearlyFull());
  EXPECT_EQ(ring.txLevel, 16);
}

TEST_F(TransmitQueueTest, LogsAndDebugFieldsOnlyWhileFactoryWindowVisible) {
  core.state.linkUp = true;
  ring.moduleReady = true;
  queue.QueueRecord(":A");
  EXPECT_EQ(core.factory.W_Log, "Log window\r\n");
  EXPECT_EQ(core.factory.DEBUG_TX, "");

  core.factory.visible = true;
  queue.QueueRecord(":B");
  queue.QueueRecord(":C");
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
  EXPECT_TRUE(core.factory.Chksum);
  EXPECT_TRUE(core.factory.OverRun);

  core.state.logEnabled = false;
  queue.QueueRecord(":D");
  EXPECT_EQ(core.factory.W_Log.find(":D"), std::string::npos);
}

TEST_F(TransmitQueueTest, BufferLevelShowsStoredLevelInPercent) {
  core.factory.visible = true;
  for (int n = 0; n < 100; ++n) queue.QueueRecord(numbered(n));
  EXPECT_EQ(core.factory.BufferLevel, 0);  // the level is stored, not recomputed
  queue.QueueNearlyFull();
  queue.QueueRecord(":X");
  EXPECT_EQ(core.factory.BufferLevel, 50);
}

}  // namespace
}  // namespace oxalis
