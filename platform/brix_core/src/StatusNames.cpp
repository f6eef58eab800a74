#include <brix_core/StatusNames.h>

#include <stdexcept>

namespace std_midi::sb {

const std::map<int, std::string> status_names{
    {0x80, "Note Off"},       {0x90, "Note On"},        {0xA0, "Poly Aftertouch"},
    {0xB0, "Control Change"}, {0xC0, "Program Change"}, {0xD0, "Channel Aftertouch"},
    {0xE0, "Pitch Bend"},
};

const std::string& StatusName(int status) {
    const auto found = status_names.find(status);
    if (found == status_names.end()) {
        throw std::out_of_range("invalid map<K, T> key");
    }
    return found->second;
}

}  // namespace std_midi::sb
