#include "schedule/ScheduledMessage.h"

#include "support/TempDevice.h"

#include <gtest/gtest.h>

TEST(ScheduledMessageRecord, ANewMessageIsDueTomorrowAtEightWithNothingOpen)
{
    testing_support::DeviceOptions options;
    options.start = "2008-12-31 23:59:00";
    testing_support::TempDevice device(options);
    ScheduledMessage message;
    SYSTEMTIME due = {};
    ASSERT_TRUE(message.Time().ToSystemTime(&due));
    EXPECT_EQ(due.wYear, 2009);
    EXPECT_EQ(due.wMonth, 1);
    EXPECT_EQ(due.wDay, 1);
    EXPECT_EQ(due.wHour, 8);
    EXPECT_EQ(due.wMinute, 0);
    EXPECT_EQ(due.wSecond, 0);
    EXPECT_EQ(*message.SendContactStore(), nullptr);
    EXPECT_EQ(message.MessageStore().GetFolder(kOutgoingFolder), nullptr);
    EXPECT_EQ(message.Text(), nullptr);
    EXPECT_FALSE(message.IsDirty());
}
