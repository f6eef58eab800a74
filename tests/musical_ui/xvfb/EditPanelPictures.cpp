// The edit panel with the timeline above it on a real display (Xvfb in ctest), with an event selected
// and edits to undo and save, and with OSC off; saved in the pictures folder for a person to check.

#include "EditFixture.h"
#include "WindowPicture.h"

#include <QVariant>

namespace musical_test {
namespace {

class EditPanelPictures : public EditTest {};

TEST_F(EditPanelPictures, EditPanelWithASelectionAndUnsavedEdits)
{
    CreatePanel(true, true, 1280, 640);
    controller_->onBrixMakeEvent(CL::Osc(5 * TimelineSong::kBar, "", CL::OscProperties("/brix/sfx/Thunder/play", "n")));
    controller_->onBrixEditEventFloatValues(Stored("F1"), 1.25);
    controller_->RefreshAfterEdit({}, false);
    Find("eventList")->setProperty("currentIndex", 3);
    Find("markerList")->setProperty("passedIndex", 1);
    ASSERT_NE(editModel_->GetSelectedEvent(), nullptr);
    SaveWindowPicture(host_.get(), QStringLiteral(PICTURES_DIR), QStringLiteral("edit_panel"));
}

TEST_F(EditPanelPictures, EditPanelWithOscOffAndNothingSelected)
{
    CreatePanel(true, false, 1024, 560);
    SaveWindowPicture(host_.get(), QStringLiteral(PICTURES_DIR), QStringLiteral("edit_panel_osc_off"));
}

}  // namespace
}  // namespace musical_test
