#pragma once

#include "edit_tool_controller.h"

#include <QString>

#include <vector>

namespace brix::qt {

// The tools that give a range a value: the tempo scale in percent (TempoTool.qml, CL::TempoScale of
// percent / 100, 50 to 200 %), the transposition in half steps (TransposeTool.qml, CL::Transpose,
// −6 to 6) and the click resolution (ClickTool.qml, CL::Click; the choices are the engine's click
// values for the chosen range). Created, opened and destroyed like the range tools.

class TempoToolController : public EditToolController {
    Q_OBJECT

public:
    TempoToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                        QObject* transientParent = nullptr);
    void ConnectSignals() override;

signals:
    void tempoToolClosing();

public slots:
    void onTempoButtonClicked(TL::BarsBeats startBarsBeats = {}, TL::BarsBeats endBarsBeats = {});
    void onTempoCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat, int percent);
    void onTempoEdit(cmn::BrixEvent* brixEvent);
    void onTempoChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int percent);
    void onTempoToolClosing();
};

class TransposeToolController : public EditToolController {
    Q_OBJECT

public:
    TransposeToolController(QQmlEngine* engine, EditController* editController,
                            std::shared_ptr<Interface> engineInterface, QObject* transientParent = nullptr);
    void ConnectSignals() override;

signals:
    void transposeToolClosing();

public slots:
    void onTransposeButtonClicked(TL::BarsBeats startBarsBeats = {}, TL::BarsBeats endBarsBeats = {});
    void onTransposeCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat, int halfSteps);
    void onTransposeEdit(cmn::BrixEvent* brixEvent);
    void onTransposeChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int halfSteps);
    void onTransposeToolClosing();
};

class ClickToolController : public EditToolController {
    Q_OBJECT

public:
    ClickToolController(QQmlEngine* engine, EditController* editController, std::shared_ptr<Interface> engineInterface,
                        QObject* transientParent = nullptr);
    void ConnectSignals() override;

    // The engine's click values for the range the pickers show.
    std::vector<int> GetClickValues() const;
    // Selects the value in the click choices when they offer it; otherwise the choice stays.
    void SelectClickValue(int value);

signals:
    void clickToolClosing();

public slots:
    void onClickButtonClicked(TL::BarsBeats startBarsBeats = {}, TL::BarsBeats endBarsBeats = {});
    void onClickCreationRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count);
    void updateClicksModel();
    void onClickEdit(cmn::BrixEvent* brixEvent);
    void onClickChangeRequest(QString startBar, int startBeat, QString endBar, int endBeat, int count);
    void onClickToolClosing();
};

}  // namespace brix::qt
