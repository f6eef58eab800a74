#include "EditToolFixture.h"

#include <QMetaObject>

namespace musical_test {

using ::testing::_;

void EditToolTest::SetUp()
{
    EditTest::SetUp();
    bars_ = song_.barsBeats;
    ON_CALL(*engine_, GetBarsBeats(_, _)).WillByDefault([this](const std::string&, bool) { return bars_; });
    ON_CALL(*engine_, GetCurrentStartTickIndex()).WillByDefault([this] { return startTick_; });
    ON_CALL(*engine_, GetBarBeatByTick(_)).WillByDefault([this](unsigned int tick) { return PositionAt(tick); });
    ON_CALL(*engine_, GetBarBeatByTick(_, _, _)).WillByDefault([this](unsigned int tick, bool, bool) {
        return PositionAt(tick);
    });
    ON_CALL(*engine_, GetBarBeatLeftByTick(_)).WillByDefault([this](unsigned int tick) { return PositionAt(tick); });
    ON_CALL(*engine_, GetAvailableShiftAfterBarBeat(_, _)).WillByDefault([this](unsigned int, bool) {
        return shiftRoom_;
    });
    ON_CALL(*engine_, GetNetworks()).WillByDefault([this] { return networks_; });
    CreatePanel();
}

void EditToolTest::TearDown()
{
    closing_.reset();
    updated_.reset();
    tool_.reset();
    EditTest::TearDown();
}

void EditToolTest::MakeTool(const ToolFactory& factory, const char* closingSignal, bool withEditController)
{
    tool_ = factory(Engine(), withEditController ? controller_.get() : nullptr, engine_);
    ASSERT_NE(Window(), nullptr);
    closing_ = std::make_unique<QSignalSpy>(tool_.get(), closingSignal);
    updated_ = std::make_unique<QSignalSpy>(tool_.get(), SIGNAL(valuesUpdated()));
}

QObject* EditToolTest::Child(const char* name) const
{
    QObject* child = FindByName(Window(), QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QString EditToolTest::Text(const char* combo) const
{
    QObject* child = Child(combo);
    return child == nullptr ? QString() : child->property("displayText").toString();
}

void EditToolTest::Choose(const char* combo, int index) const
{
    if (QObject* child = Child(combo))
        child->setProperty("currentIndex", index);
}

void EditToolTest::Press(const char* button) const
{
    if (QObject* child = Child(button))
        QMetaObject::invokeMethod(child, "clicked");
}

TL::BarsBeats EditToolTest::PositionAt(std::uint32_t tick) const
{
    TL::BarsBeats found = *bars_.begin();
    for (const TL::BarsBeats& record : bars_) {
        if (record.tick <= tick)
            found = record;
    }
    return found;
}

int EditToolTest::HistorySteps() const
{
    int steps = 0;
    while (editor_->CanUndo()) {
        editor_->Undo();
        ++steps;
    }
    for (int i = 0; i < steps; ++i)
        editor_->Redo();
    return steps;
}

}  // namespace musical_test
