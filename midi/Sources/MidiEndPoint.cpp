#include "MidiEndPoint.h"

#include "win32/MidiDeviceLists.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <string_view>

namespace {

bool IsBrixPortName(std::string_view name)
{
    return name.starts_with("BRIX") || name.starts_with("IAC Driver BRIX");
}

std::vector<MidiEndPoint> NonBrixEndPoints(const std::vector<std::shared_ptr<MidiPort>>& ports)
{
    std::vector<MidiEndPoint> endPoints;
    for (std::size_t number = 0; number < ports.size(); ++number) {
        std::string name = ports[number]->GetDisplayName();
        if (!IsBrixPortName(name)) {
            endPoints.emplace_back(static_cast<int>(number), std::move(name));
        }
    }
    return endPoints;
}

bool HasSourceIndex(const std::vector<MidiEndPoint>& endPoints, int index)
{
    return std::any_of(endPoints.begin(), endPoints.end(),
                       [index](const MidiEndPoint& endPoint) { return endPoint.GetSourceIndex() == index; });
}

}  // namespace

std::vector<std::string> GetMidiInputPortNames()
{
    std::vector<std::string> names;
    for (const auto& port : GetMidiInputPorts()) {
        names.push_back(port->GetDisplayName());
    }
    return names;
}

std::vector<MidiEndPoint> GetNonBrixMidiSources()
{
    return NonBrixEndPoints(GetMidiInputPorts());
}

std::vector<MidiEndPoint> GetNonBrixMidiDestinations()
{
    return NonBrixEndPoints(GetMidiOutputPorts());
}

bool IsValidNonBrixSourceIndex(int index)
{
    return HasSourceIndex(GetNonBrixMidiSources(), index);
}

bool IsValidNonBrixDestinationIndex(int index)
{
    return HasSourceIndex(GetNonBrixMidiDestinations(), index);
}

unsigned char GetIndexFromUniqueId(int uniqueId)
{
    for (const auto& port : GetMidiInputPorts()) {
        if (port->GetUniqueId() == uniqueId) {
            return port->GetPortIndex();
        }
    }
    std::cerr << "Unable to get index from unique id.\n";
    return 0;
}

int GetUniqueIdFromIndex(unsigned char index)
{
    for (const auto& port : GetMidiInputPorts()) {
        if (port->GetPortIndex() == index) {
            return port->GetUniqueId();
        }
    }
    std::cerr << "Unable to get unique midi id from index.\n";
    return 0;
}
