#include "MainWindowFixture.h"

#include <QDir>

namespace musical_test {

void MainWindowTest::SetUp()
{
    QmlTest::SetUp();
    ASSERT_TRUE(home_.isValid());
    previousHome_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home_.path().toUtf8());
}

void MainWindowTest::TearDown()
{
    controller_.reset();
    RunDeferredDeletes();
    factory_.reset();
    qputenv("XDG_DATA_HOME", previousHome_);
    QmlTest::TearDown();
}

void MainWindowTest::Create(brix::PlayerFactory::Product product, FakeEngineFactory::Prepare prepare)
{
    factory_ = std::make_unique<FakeEngineFactory>(std::move(product), std::move(prepare));
    QDir().mkpath(ShowFolder());
    controller_ = std::make_unique<brix::qt::MusicalMainController>(
        Engine(), factory_.get(),
        brix::qt::CurrentShow{ShowFolder(), QStringLiteral("Lanterns on the Quay"), QStringLiteral("Brix Demo Company")});
}

QString MainWindowTest::ShowFolder() const
{
    return QDir(home_.path()).filePath(QStringLiteral("shows/lanterns"));
}

QString MainWindowTest::DataFolder() const
{
    return QDir(home_.path()).filePath(QStringLiteral("tarnwick"));
}

}  // namespace musical_test
