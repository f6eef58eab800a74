#pragma once

#include "edit_tool_controller.h"

#include <QString>
#include <QVariant>

namespace brix::qt {

// The tools that mark a range between an in and an out position: cut (CutTool.qml, CL::Cut), skip
// (SkipTool.qml, CL::Fermata), vamp (VampTool.qml, CL::Vamp with a count, 0 for endless) and repeat
// (RepeatTool.qml, CL::Repeat with a count of 1 or more). Each is created by the main window
// controller, opened by its button slot or its edit slot, and destroyed on its closing signal.

class CutToolController : public EditToolController {
    Q_OBJECT

public:
    CutToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                      QObject* transientParent = nullptr);
    void ConnectSignals() override;

signals:
    void cutToolClosing();

public slots:
    void onCutButtonClicked(TL::BarsBeats startBarsBeats = {}, TL::BarsBeats endBarsBeats = {});
    void onCutCreationRequest(QVariant startBar, QVariant startBeat, QVariant endBar, QVariant endBeat);
    void onCutEdit(cmn::BrixEvent* brixEvent);
    void onCutChangeRequest(QVariant startBar, QVariant startBeat, QVariant endBar, QVariant endBeat);
    void onCutToolClosing();
};

class SkipToolController : public EditToolController {
    Q_OBJECT

public:
    SkipToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                       QObject* transientParent = nullptr);
    void ConnectSignals() override;

signals:
    void skipToolClosing();

public slots:
    void onSkipButtonClicked(TL::BarsBeats startBarsBeats = {}, TL::BarsBeats endBarsBeats = {});
    void onSkipCreationRequest(QVariant startBar, QVariant startBeat, QVariant endBar, QVariant endBeat);
    void onSkipEdit(cmn::BrixEvent* brixEvent);
    void onSkipChangeRequest(QVariant startBar, QVariant startBeat, QVariant endBar, QVariant endBeat);
    void onSkipToolClosing();
};

class VampToolController : public EditToolController {
    Q_OBJECT

public:
    VampToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                       QObject* transientParent = nullptr);
    void ConnectSignals() override;

signals:
    void vampToolClosing();

public slots:
    void onVampButtonClicked(TL::BarsBeats startBarsBeats = {}, TL::BarsBeats endBarsBeats = {});
    void onVampCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count);
    void onVampEdit(cmn::BrixEvent* brixEvent);
    void onVampChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count);
    void onVampToolClosing();
};

class RepeatToolController : public EditToolController {
    Q_OBJECT

public:
    RepeatToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                         QObject* transientParent = nullptr);
    void ConnectSignals() override;

signals:
    void repeatToolClosing();

public slots:
    void onRepeatButtonClicked(TL::BarsBeats startBarsBeats = {}, TL::BarsBeats endBarsBeats = {});
    void onRepeatCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count);
    void onRepeatEdit(cmn::BrixEvent* brixEvent);
    void onRepeatChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count);
    void onRepeatToolClosing();
};

}  // namespace brix::qt
