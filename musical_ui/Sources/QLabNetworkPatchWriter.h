#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

class Interface;

namespace brix {

// QLabNetworkPatchWriter: the network patch definition that lets QLab send this program's OSC
// commands. The document is one indented JSON object (keys sorted): the patch's identity, one UDP
// network entry whose default port is the port the program listens on, the root parameters (the
// hidden command prefix "/brix" and the message menu) and one condition per message kind (song, event,
// sfx, general) whose templates give exactly the command lines the OSC dispatcher understands. The
// song number's default is the show's first song number.
// Reads the engine on the caller's thread (the GUI thread).
class QLabNetworkPatchWriter {
public:
    QLabNetworkPatchWriter(std::shared_ptr<Interface> engine, std::uint32_t listenPort);

    // "qlab_network_patch_definition.qlabnetwork"
    static std::string FileName();

    // Writes the document. Throws std::runtime_error "QLab File Writer has no data to write." without
    // an engine (nothing is written then).
    void Write(std::ostream& out) const;

private:
    std::shared_ptr<Interface> engine_;
    std::uint32_t listenPort_;
};

}  // namespace brix
