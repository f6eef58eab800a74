#include "midi_manager_command_controller.h"

#include "ShowManager.h"
#include "StringValueListModel.h"

#include <brix_core/StatusNames.h>

#include <QQuickItem>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace brix::qt {

namespace {

const QUrl kRowUrl(QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/MidiManagerCommand.qml"));

Interface& EngineOf(const std::shared_ptr<brix::ShowManager>& showManager)
{
    std::shared_ptr<Interface> engine = showManager ? showManager->GetInterface() : nullptr;
    if (!engine)
        throw std::runtime_error("No show is loaded.");
    return *engine;
}

}  // namespace

QString StatusDisplayName(int status)
{
    try {
        return QString::fromStdString(std_midi::sb::StatusName(status));
    } catch (const std::out_of_range&) {
        return QStringLiteral("0x") + QString::number(status, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
}

MidiManagerCommandController::MidiManagerCommandController(QQuickItem* parentItem, QQmlEngine* engine,
                                                           std::shared_ptr<brix::ShowManager> showManager,
                                                           std::uint8_t commandId, const QString& commandName,
                                                           bool learned, bool learning, int status, int channel,
                                                           int note)
    : QmlController(engine, kRowUrl, parentItem, true), showManager_(std::move(showManager)), commandId_(commandId)
{
    QObject* row = GetQmlObject();
    if (row == nullptr)
        return;
    row->setProperty("commandName", commandName);
    // The row's item owns the model, so the model lasts as long as anything shows it.
    auto* statuses = new StringValueListModel(row);
    for (const int allowed : EngineOf(showManager_).GetAllowedCommandStatuses())
        statuses->AddItem(StatusDisplayName(allowed), allowed);
    row->setProperty("midiStatusModel", QVariant::fromValue(static_cast<QObject*>(statuses)));
    SetValues(status, channel, note, learned, learning, true);

    connect(row, SIGNAL(learnClicked()), this, SLOT(onLearnClicked_()));
    connect(row, SIGNAL(midiStatusChanged(int)), this, SLOT(onMidiStatusChanged_(int)));
    connect(row, SIGNAL(noteChanged(int)), this, SLOT(onNoteChanged_(int)));
    connect(row, SIGNAL(channelChanged(int)), this, SLOT(onChannelChanged_(int)));
}

MidiManagerCommandController::~MidiManagerCommandController() = default;

void MidiManagerCommandController::SetValues(int status, int channel, int note, bool learned, bool learning,
                                             bool enabled)
{
    channel_ = channel;
    note_ = note;
    status_ = status;
    QObject* row = GetQmlObject();
    if (row == nullptr)
        return;
    row->setProperty("initializing", true);
    row->setProperty("channelIndex", channel);
    row->setProperty("midiNoteIndex", note);
    row->setProperty("learnedCommand", learned);
    row->setProperty("enabledCommand", enabled);
    row->setProperty("enabledCommand", !learning);
    row->setProperty("learningCommand", learning);
    const std::vector<int> allowed = EngineOf(showManager_).GetAllowedCommandStatuses();
    const auto position = std::find(allowed.begin(), allowed.end(), status) - allowed.begin();
    row->setProperty("midiStatusIndex", static_cast<int>(position));
    row->setProperty("initializing", false);
}

void MidiManagerCommandController::onLearnClicked_()
{
    Guarded("Error Learning MIDI Command", [this] {
        if (QObject* row = GetQmlObject()) {
            row->setProperty("learningCommand", true);
            row->setProperty("enabledCommand", false);
        }
        EngineOf(showManager_).LearnMidiCommand(commandId_);
    });
}

void MidiManagerCommandController::onMidiStatusChanged_(int status)
{
    status_ = status;
    Send();
}

void MidiManagerCommandController::onChannelChanged_(int channel)
{
    channel_ = channel;
    Send();
}

void MidiManagerCommandController::onNoteChanged_(int note)
{
    note_ = note;
    Send();
}

void MidiManagerCommandController::Send()
{
    if (status_ < 0 || channel_ < 0 || note_ < 0)
        return;
    Guarded("Error Setting MIDI Command", [this] {
        EngineOf(showManager_).SetMidiCommand(commandId_, static_cast<std::uint8_t>(status_),
                                              static_cast<std::uint8_t>(channel_), static_cast<std::uint8_t>(note_));
    });
}

}  // namespace brix::qt
