#include "WindowPicture.h"

#include "QmlTest.h"

#include <QDir>
#include <QImage>
#include <QQuickWindow>
#include <QTest>

namespace musical_test {

void SaveWindowPicture(QObject* object, const QString& folder, const QString& name)
{
    auto* window = qobject_cast<QQuickWindow*>(object);
    ASSERT_NE(window, nullptr) << name.toStdString();
    ASSERT_TRUE(window->isVisible()) << name.toStdString();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 20000)) << name.toStdString();
    bool swapped = false;
    auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, [&swapped] { swapped = true; });
    window->update();
    EXPECT_TRUE(WaitFor([&swapped] { return swapped; }, std::chrono::seconds(20))) << name.toStdString();
    QObject::disconnect(connection);
    const QImage picture = window->grabWindow();
    ASSERT_FALSE(picture.isNull()) << name.toStdString();
    QDir().mkpath(folder);
    EXPECT_TRUE(picture.save(QDir(folder).filePath(name + QStringLiteral(".png"))));
}

}  // namespace musical_test
