#pragma once

#include "midi_manager_command_controller.h"
#include "qml_controller.h"

#include <memory>
#include <vector>

class QQmlEngine;

namespace brix {
class AppSettings;
class ShowManager;
}  // namespace brix

namespace brix::qt {

// MidiManagerController: the "MIDI Manager" window, which chooses the MIDI input source of the engine's
// remote control and shows one row per remote-control command with the message learned for it. The
// engine's learn results come in through MidiLearned and MidiUnlearned. Every engine call goes to the
// engine the show manager holds at that moment. A failed change of source is emitted as `error` (and
// written to the standard output); the source light then shows whether a source is open.
// Owner: the main window controller, from the window's opening until it opens another or closes; the
// rows go with it.
// Thread: GUI thread only.
class MidiManagerController : public QmlController {
    Q_OBJECT

public:
    MidiManagerController(QObject* parent, QQmlEngine* engine, std::shared_ptr<brix::ShowManager> showManager,
                          std::shared_ptr<brix::AppSettings> settings);
    ~MidiManagerController() override;

    // The rows in ascending command id.
    const std::vector<std::unique_ptr<MidiManagerCommandController>>& GetRows() const { return rows_; }

public slots:
    // The row of the command shows the learned message; commands without a row are ignored.
    void MidiLearned(int commandId, int midiStatus, int channel, int note);
    // The row of the command is cleared; commands without a row are ignored.
    void MidiUnlearned(int commandId);
    void onSourceSelected_(int index);

private:
    MidiManagerCommandController* Row(int commandId) const;
    void FillSources();
    // Shows whether a source is open, and which.
    void ShowSourceState();

    std::shared_ptr<brix::ShowManager> showManager_;
    std::shared_ptr<brix::AppSettings> settings_;
    std::vector<std::unique_ptr<MidiManagerCommandController>> rows_;
};

}  // namespace brix::qt
