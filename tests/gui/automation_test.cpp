#include "gui/qt/dbus_automation.h"

#include "support/scratch_directory.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavex {
namespace {

TEST(Automation, APlainStartWritesTheEntryThroughWhichTheBusStartsTheProgram)
{
    test::ScratchDirectory scratch;
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(scratch.Path()));
    RefreshAutomationRegistration(QStringLiteral("/opt/tavex/bin/tavexdl"));
    QFile entry(QString::fromStdString(scratch.Path()) + "/dbus-1/services/TavexDL.Application.service");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_EQ(entry.readAll(),
              "[D-BUS Service]\nName=TavexDL.Application\nExec=/opt/tavex/bin/tavexdl -Automation\n");
    qputenv("XDG_DATA_HOME", previous);
}

TEST(Automation, GoesOnSilentlyWithoutASessionBus)
{
    const QByteArray previous = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    QObject owner;
    EXPECT_FALSE(RegisterAutomationObject(&owner));
    qputenv("DBUS_SESSION_BUS_ADDRESS", previous);
}

} // namespace
} // namespace tavex
