#include "midi_manager_controller.h"

#include "ShowManager.h"

#include <MidiEndPoint.h>
#include <LearnedCommand.h>

#include <QQuickItem>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <iostream>
#include <map>
#include <stdexcept>
#include <string>

namespace brix::qt {

namespace {

const QUrl kWindowUrl(QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/MidiManager.qml"));

}  // namespace

MidiManagerController::MidiManagerController(QObject* parent, QQmlEngine* engine,
                                             std::shared_ptr<brix::ShowManager> showManager,
                                             std::shared_ptr<brix::AppSettings> settings)
    : QmlController(engine, kWindowUrl, parent, true), showManager_(std::move(showManager)), settings_(std::move(settings))
{
    QObject* window = GetQmlObject();
    if (window == nullptr)
        return;
    std::shared_ptr<Interface> player = showManager_ ? showManager_->GetInterface() : nullptr;
    if (!player)
        throw std::runtime_error("No show is loaded.");

    const std::map<std::uint8_t, std::string> names = player->GetCommandNames();
    const std::map<std::uint8_t, midi_commands::LearnedCommand> learned = player->GetLearnedCommands();
    auto* column = window->property("commandColumnObject").value<QQuickItem*>();
    rows_.clear();
    for (const auto& [id, name] : names) {
        const auto found = learned.find(id);
        const bool isLearned = found != learned.end();
        rows_.push_back(std::make_unique<MidiManagerCommandController>(
            column, engine, showManager_, id, QString::fromStdString(name), isLearned, player->IsMidiCommandLearning(id),
            isLearned ? found->second.status : -1, isLearned ? found->second.channel : -1,
            isLearned ? found->second.data : -1));
        connect(rows_.back().get(), &QmlController::error, this, &QmlController::error);
    }
    connect(window, SIGNAL(sourceSelected(int)), this, SLOT(onSourceSelected_(int)));
    FillSources();
}

MidiManagerController::~MidiManagerController() = default;

void MidiManagerController::FillSources()
{
    std::shared_ptr<Interface> player = showManager_->GetInterface();
    QStringList sources;
    for (const MidiEndPoint& source : player->GetMidiSources())
        sources.append(QString::fromStdString(source.GetSourceName()));
    QObject* window = GetQmlObject();
    window->setProperty("sourceModel", sources);
    if (player->HasMidiSource()) {
        const int index = player->GetConnectedSourceIndex();
        std::cout << "The MIDI source is already open and is index: " << index << std::endl;
        window->setProperty("sourceIndex", index);
    } else if (!sources.isEmpty()) {
        window->setProperty("sourceIndex", 0);
        try {
            player->SetMidiSource(0);
        } catch (const std::exception& e) {
            std::cout << "Exception opening MIDI Source: " << e.what() << std::endl;
        }
    }
    window->setProperty("sourceStatus", player->HasMidiSource());
}

MidiManagerCommandController* MidiManagerController::Row(int commandId) const
{
    for (const auto& row : rows_) {
        if (row->GetCommandId() == commandId)
            return row.get();
    }
    return nullptr;
}

void MidiManagerController::MidiLearned(int commandId, int midiStatus, int channel, int note)
{
    Guarded("Error Showing MIDI Command", [&] {
        if (MidiManagerCommandController* row = Row(commandId))
            row->SetValues(midiStatus, channel, note, true, false, true);
    });
}

void MidiManagerController::MidiUnlearned(int commandId)
{
    Guarded("Error Showing MIDI Command", [&] {
        if (MidiManagerCommandController* row = Row(commandId))
            row->SetValues(-1, -1, -1, false, false, true);
    });
}

void MidiManagerController::onSourceSelected_(int index)
{
    Guarded("Error Opening MIDI Source", [&] {
        std::shared_ptr<Interface> player = showManager_->GetInterface();
        if (!player)
            throw std::runtime_error("No show is loaded.");
        try {
            if (player->HasMidiSource() && player->GetConnectedSourceIndex() == index) {
                std::cout << "MIDI source would have been set to " << index
                          << " but the MIDI source is already set to that value." << std::endl;
                return;
            }
            std::cout << "MIDI source is being set to: " << index << std::endl;
            player->SetMidiSource(index);
        } catch (const std::exception& e) {
            std::cout << "Exception opening MIDI Source: " << e.what() << std::endl;
            ShowSourceState();
            throw;
        }
        ShowSourceState();
    });
}

void MidiManagerController::ShowSourceState()
{
    std::shared_ptr<Interface> player = showManager_->GetInterface();
    QObject* window = GetQmlObject();
    if (!player || window == nullptr)
        return;
    const bool open = player->HasMidiSource();
    window->setProperty("sourceStatus", open);
    if (open)
        window->setProperty("sourceIndex", static_cast<int>(player->GetConnectedSourceIndex()));
}

}  // namespace brix::qt
