#include <QCoreApplication>

#include <gtest/gtest.h>

// The OSC tests need an event loop for their sockets; each test runs it while it waits.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
