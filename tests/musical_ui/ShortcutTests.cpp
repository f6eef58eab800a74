#include "QmlTest.h"

#include <QKeySequence>
#include <QMetaObject>
#include <QVariant>

namespace {

using musical_test::QmlTest;

class ShortcutTest : public QmlTest {
protected:
    QString Convert(const QString& shortcut, const QString& os)
    {
        if (!converter_) {
            converter_ = CreateFromQml(
                "import QtQuick\n"
                "import \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/Shortcuts.js\" as Shortcuts\n"
                "QtObject {\n"
                "  function forOs(shortcut, os) { return Shortcuts.convertShortCutForOs(shortcut, os) }\n"
                "  function forThisPlatform(shortcut) { return Shortcuts.convertShortCutForPlatform(shortcut) }\n"
                "}\n");
        }
        QVariant result;
        if (os.isNull())
            QMetaObject::invokeMethod(converter_.get(), "forThisPlatform", Q_RETURN_ARG(QVariant, result),
                                      Q_ARG(QVariant, shortcut));
        else
            QMetaObject::invokeMethod(converter_.get(), "forOs", Q_RETURN_ARG(QVariant, result),
                                      Q_ARG(QVariant, shortcut), Q_ARG(QVariant, os));
        return result.toString();
    }

    void TearDown() override
    {
        converter_.reset();
        QmlTest::TearDown();
    }

    std::unique_ptr<QObject> converter_;
};

TEST_F(ShortcutTest, CmdBecomesCtrlOnEveryPlatformButMacOs)
{
    struct Case {
        const char* shortcut;
        const char* os;
        const char* expected;
    };
    for (const Case& c : {Case{"Cmd+S", "linux", "Ctrl+S"}, Case{"cmd+shift+z", "windows", "Ctrl+shift+z"},
                          Case{"Shift+Cmd+G", "linux", "Shift+Ctrl+G"}, Case{"CMD+b", "unix", "Ctrl+b"},
                          Case{"Space", "linux", "Space"}, Case{"Cmd+S", "osx", "Cmd+S"},
                          Case{"cmd+z", "macos", "cmd+z"}}) {
        EXPECT_EQ(Convert(c.shortcut, c.os), c.expected) << c.shortcut << " on " << c.os;
    }
}

TEST_F(ShortcutTest, OnThisMachineTheConvertedShortcutIsOneQtReads)
{
    EXPECT_NE(QKeySequence(QStringLiteral("Shift+Cmd+M"), QKeySequence::PortableText),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    const QKeySequence sequence(Convert(QStringLiteral("Shift+Cmd+M"), QString()), QKeySequence::PortableText);
    EXPECT_EQ(sequence, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
}

}  // namespace
