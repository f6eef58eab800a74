#include "OscProcInterface.h"

#include <iostream>

namespace brix::osc {

void OscProcInterface::Stop(const std::string&, const std::string&) {}
void OscProcInterface::Play(const std::string&, const std::string&) {}
void OscProcInterface::FadeOut(const std::string&, const std::string&, float) {}
void OscProcInterface::FadeTo(const std::string&, const std::string&, float, float, bool) {}
void OscProcInterface::NextSong(const std::string&, const std::string&) {}
void OscProcInterface::PrevSong(const std::string&, const std::string&) {}
void OscProcInterface::PrevMarker(const std::string&, const std::string&) {}
void OscProcInterface::NextMarker(const std::string&, const std::string&) {}
void OscProcInterface::PrevBar(const std::string&, const std::string&) {}
void OscProcInterface::NextBar(const std::string&, const std::string&) {}
void OscProcInterface::PlayheadForward(const std::string&, const std::string&, std::uint32_t) {}
void OscProcInterface::PlayheadBack(const std::string&, const std::string&, std::uint32_t) {}
void OscProcInterface::SetVolume(float) {}
void OscProcInterface::StepVolume(const std::string&, const std::string&, float) {}
void OscProcInterface::Advance(const std::string&, const std::string&) {}
void OscProcInterface::PauseToggle(const std::string&, const std::string&) {}
void OscProcInterface::AdvanceEvent(const std::string&, const std::string&, const std::string&) {}
void OscProcInterface::SfxPlay(const std::string&, const std::string&) {}
void OscProcInterface::SfxStop(const std::string&, const std::string&) {}
void OscProcInterface::SfxStopAll(const std::string&) {}
void OscProcInterface::CommandReceived() {}
void OscProcInterface::SfxFadeTo(const std::string&, const std::string&, double, float) {}

void OscProcInterface::ReportError(const std::string& message, const std::string& title)
{
    std::cerr << title << ": " << message << std::endl;
}

}  // namespace brix::osc
