#pragma once

#include "qml_controller.h"

#include <QString>

#include <cstdint>
#include <memory>

class QQmlEngine;
class QQuickItem;

namespace brix {
class ShowManager;
}

namespace brix::qt {

// MidiManagerCommandController: one row of the "MIDI Manager" window, for one remote-control command
// of the engine: the MIDI message learned for it (status, channel, note; -1 each when not set), its
// "Learn" button and its light. Edits in the row send the whole command to the engine once status,
// channel and note are all set; values the controller puts into the row are never sent back.
// Owner: the MIDI manager controller; the row's item dies with it (or with the window).
// Thread: GUI thread only.
class MidiManagerCommandController : public QmlController {
    Q_OBJECT

public:
    MidiManagerCommandController(QQuickItem* parentItem, QQmlEngine* engine, std::shared_ptr<brix::ShowManager> showManager,
                                 std::uint8_t commandId, const QString& commandName, bool learned, bool learning,
                                 int status, int channel, int note);
    ~MidiManagerCommandController() override;

    std::uint8_t GetCommandId() const { return commandId_; }
    int GetStatus() const { return status_; }
    int GetChannel() const { return channel_; }
    int GetNote() const { return note_; }

    // Shows the values in the row without the row reporting them as edits.
    void SetValues(int status, int channel, int note, bool learned, bool learning, bool enabled);

private slots:
    void onLearnClicked_();
    void onMidiStatusChanged_(int status);
    void onChannelChanged_(int channel);
    void onNoteChanged_(int note);

private:
    // Sends the command when status, channel and note are all set.
    void Send();

    std::shared_ptr<brix::ShowManager> showManager_;
    std::uint8_t commandId_;
    int channel_ = -1;
    int note_ = -1;
    int status_ = -1;
};

// The name a window shows for a status byte of a learned command: the core library's name, or "0x"
// and two hexadecimal digits for a status it has no name for.
QString StatusDisplayName(int status);

}  // namespace brix::qt
