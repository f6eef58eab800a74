#pragma once

#include <string>
#include <utility>
#include <vector>

namespace CL {

// An OSC network destination of the show: a display name, the network id by which OSC cues name it
// (CL::OscProperties::NetworkId), an IP address text, a port, and whether it is reached over TCP
// (else UDP). Stored as given: the address and port are not checked.
class NetworkPath {
public:
    NetworkPath() = default;
    NetworkPath(std::string name, std::string networkId, std::string ipAddress, int port, bool tcp)
        : name_(std::move(name)),
          networkId_(std::move(networkId)),
          ipAddress_(std::move(ipAddress)),
          port_(port),
          tcp_(tcp) {}

    const std::string& Name() const { return name_; }
    const std::string& NetworkId() const { return networkId_; }
    const std::string& IpAddress() const { return ipAddress_; }
    int Port() const { return port_; }
    bool IsTcp() const { return tcp_; }

    friend bool operator==(const NetworkPath&, const NetworkPath&) = default;

private:
    std::string name_;
    std::string networkId_;
    std::string ipAddress_;
    int port_ = 0;
    bool tcp_ = false;
};

using NetworkPathVectorT = std::vector<NetworkPath>;

}  // namespace CL
