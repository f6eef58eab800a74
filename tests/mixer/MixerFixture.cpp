#include "MixerFixture.h"

#include "DeviceWait.h"

#include <algorithm>

namespace mixer_test {

using musical_test::WaitFor;

void MixerFixture::SetUp()
{
    QmlTest::SetUp();
    StartEngine();
    host_ = CreateFromQml("import QtQuick\nimport \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
                          "Window { width: 900; height: 720; visible: true; color: \"#202020\"\n"
                          "  MixerView { objectName: \"mixer\"; anchors.fill: parent } }\n");
    ASSERT_NE(host_, nullptr);
    view_ = FindByName(host_.get(), QStringLiteral("mixer"));
    ASSERT_NE(view_, nullptr);
}

void MixerFixture::TearDown()
{
    controller_.reset();
    host_.reset();
    StopEngine();
    QmlTest::TearDown();
}

void MixerFixture::StartEngine()
{
    engine_ = std::make_shared<RecordingEngine>(show_.Folder().string(), show_.DataFolder().string());
}

void MixerFixture::StopEngine()
{
    if (engine_) {
        engine_->Shutdown();
        engine_.reset();
    }
}

void MixerFixture::LoadSong(const std::string& number)
{
    engine_->LoadSong(number);
    ASSERT_TRUE(WaitFor([&] { return engine_->GetCurrentSongNumber() == number; })) << number;
}

std::unique_ptr<brix::qt::MixerControllerTW> MixerFixture::MakeController(std::shared_ptr<brix::AppSettings> settings)
{
    return std::make_unique<brix::qt::MixerControllerTW>(view_, Engine(), engine_, std::move(settings));
}

brix::qt::MixerControllerTW& MixerFixture::Create(std::shared_ptr<brix::AppSettings> settings)
{
    controller_ = MakeController(std::move(settings));
    return *controller_;
}

brix::qt::MixerModel* MixerFixture::ViewModel() const
{
    return qobject_cast<brix::qt::MixerModel*>(view_->property("mixerModel").value<QObject*>());
}

brix::qt::MixerTracksModel* MixerFixture::Tracks(const QString& section) const
{
    const brix::qt::MixerModel* model = ViewModel();
    if (model == nullptr)
        return nullptr;
    for (const brix::qt::MixerSectionItem* item : model->Sections()) {
        if (item->name == section)
            return item->tracksModel;
    }
    return nullptr;
}

int MixerFixture::Row(const QString& section, int trackId) const
{
    const brix::qt::MixerTracksModel* tracks = Tracks(section);
    EXPECT_NE(tracks, nullptr) << section.toStdString();
    const int row = tracks == nullptr ? -1 : tracks->RowOfTrack(trackId);
    EXPECT_GE(row, 0) << section.toStdString() << " " << trackId;
    return row;
}

std::vector<Message> MixerFixture::MessagesSince(std::size_t from) const
{
    std::vector<Message> messages;
    const auto events = device_.GetEvents();
    for (std::size_t i = from; i < events.size(); ++i)
        messages.push_back({events[i].status, events[i].data1, events[i].data2});
    return messages;
}

bool MixerFixture::Receives(std::size_t from, const Message& message) const
{
    return engine_test::WaitForDevice(device_, [&](const engine_test::CapturedEvents& events) {
        for (std::size_t i = from; i < events.size(); ++i) {
            if (Message{events[i].status, events[i].data1, events[i].data2} == message)
                return true;
        }
        return false;
    });
}

bool MixerFixture::HasController(std::size_t from, int channel, int controller) const
{
    const auto messages = MessagesSince(from);
    return std::any_of(messages.begin(), messages.end(), [&](const Message& m) {
        return m.status == (0xB0 | channel) && m.data1 == controller;
    });
}

std::map<int, int> MixerFixture::PlayUntilHeard(const std::vector<int>& heard)
{
    const std::size_t from = DeviceCount();
    const auto notesOn = [from](const engine_test::CapturedEvents& events) {
        std::map<int, int> notes;
        for (std::size_t i = from; i < events.size(); ++i) {
            if ((events[i].status & 0xF0) == 0x90 && events[i].data2 > 0)
                ++notes[events[i].status & 0x0F];
        }
        return notes;
    };
    engine_->Play();
    const bool allHeard = engine_test::WaitForDevice(device_, [&](const engine_test::CapturedEvents& events) {
        const std::map<int, int> notes = notesOn(events);
        return std::all_of(heard.begin(), heard.end(), [&](int channel) {
            const auto found = notes.find(channel);
            return found != notes.end() && found->second >= 3;
        });
    });
    engine_->Stop();
    EXPECT_TRUE(allHeard) << "not every channel sounded";
    return notesOn(device_.GetEvents());
}

}  // namespace mixer_test
