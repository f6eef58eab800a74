#include "AlsaMidiBackend.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace winmm_impl {
namespace {

constexpr const char* kClientName = "tarnwick2";
constexpr const char* kOutputPortName = "MIDI out";
constexpr const char* kInputPortName = "MIDI in";
// Names the port that the output port connects to at start, e.g. a software
// synthesizer's "FLUID Synth" or "128:0".
constexpr const char* kConnectVariable = "TARNWICK_MIDI_OUT";

// Bytes of the short message that starts with status; 0 when status does not
// start one (a data byte, SysEx or its end).
std::size_t ShortMessageLength(BYTE status)
{
    if (status < 0x80 || status == 0xF0 || status == 0xF7) {
        return 0;
    }
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0xF0:
        return status == 0xF2 ? 3 : (status == 0xF1 || status == 0xF3) ? 2 : 1;
    default:
        return 3;
    }
}

std::u16string FromUtf8(const std::string& text)
{
    std::u16string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 4;
        char32_t code = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return result;
}

struct AlsaPort {
    snd_seq_addr_t address;
    std::string name;
};

// The program's own sequencer client and its output port, made once and kept
// for the life of the process so that a user can connect the port at any
// time. Threads: any; mutex_ serialises every use of the client.
class AlsaSequencer {
public:
    // Null, after one line on standard error, when the sequencer cannot be
    // opened.
    static AlsaSequencer* Instance()
    {
        static AlsaSequencer* instance = Open();
        return instance;
    }

    void Send(DWORD message)
    {
        const BYTE bytes[3] = {static_cast<BYTE>(message & 0xFF), static_cast<BYTE>((message >> 8) & 0xFF),
                               static_cast<BYTE>((message >> 16) & 0xFF)};
        const std::size_t length = ShortMessageLength(bytes[0]);
        if (length == 0) {
            return;
        }
        std::lock_guard lock(mutex_);
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        snd_midi_event_reset_encode(encoder_);
        if (snd_midi_event_encode(encoder_, bytes, static_cast<long>(length), &event) <= 0 ||
            event.type == SND_SEQ_EVENT_NONE) {
            return;
        }
        snd_seq_ev_set_source(&event, port_);
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        snd_seq_event_output_direct(seq_, &event);
    }

    // The readable ports of the other clients, the system client excepted.
    std::vector<AlsaPort> ReadablePorts()
    {
        std::vector<AlsaPort> ports;
        std::lock_guard lock(mutex_);
        snd_seq_client_info_t* client;
        snd_seq_port_info_t* port;
        snd_seq_client_info_alloca(&client);
        snd_seq_port_info_alloca(&port);
        snd_seq_client_info_set_client(client, -1);
        while (snd_seq_query_next_client(seq_, client) >= 0) {
            const int id = snd_seq_client_info_get_client(client);
            if (id == SND_SEQ_CLIENT_SYSTEM || id == ownClient_) {
                continue;
            }
            snd_seq_port_info_set_client(port, id);
            snd_seq_port_info_set_port(port, -1);
            while (snd_seq_query_next_port(seq_, port) >= 0) {
                const unsigned int caps = snd_seq_port_info_get_capability(port);
                const unsigned int wanted = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
                if ((caps & wanted) == wanted && (caps & SND_SEQ_PORT_CAP_NO_EXPORT) == 0) {
                    ports.push_back({*snd_seq_port_info_get_addr(port), snd_seq_port_info_get_name(port)});
                }
            }
        }
        return ports;
    }

private:
    AlsaSequencer(snd_seq_t* seq, int port, snd_midi_event_t* encoder)
        : seq_(seq), port_(port), ownClient_(snd_seq_client_id(seq)), encoder_(encoder)
    {
    }

    static AlsaSequencer* Open()
    {
        snd_seq_t* seq = nullptr;
        int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0);
        if (result < 0) {
            std::fprintf(stderr, "ALSA sequencer: cannot open it: %s\n", snd_strerror(result));
            return nullptr;
        }
        snd_seq_set_client_name(seq, kClientName);
        const int port = snd_seq_create_simple_port(seq, kOutputPortName,
                                                    SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                                    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        snd_midi_event_t* encoder = nullptr;
        if (port < 0 || snd_midi_event_new(16, &encoder) < 0) {
            std::fprintf(stderr, "ALSA sequencer: cannot create the output port: %s\n", snd_strerror(port));
            snd_seq_close(seq);
            return nullptr;
        }
        ConnectFromVariable(seq, port);
        // Lives for the process: the port must outlast every stream.
        return new AlsaSequencer(seq, port, encoder);
    }

    static void ConnectFromVariable(snd_seq_t* seq, int port)
    {
        const char* target = std::getenv(kConnectVariable);
        if (target == nullptr || *target == '\0') {
            return;
        }
        snd_seq_addr_t address;
        int result = snd_seq_parse_address(seq, &address, target);
        if (result >= 0) {
            result = snd_seq_connect_to(seq, port, address.client, address.port);
        }
        if (result < 0) {
            std::fprintf(stderr, "ALSA sequencer: cannot connect to %s=%s: %s\n", kConnectVariable, target,
                         snd_strerror(result));
        }
    }

    std::mutex mutex_;
    snd_seq_t* const seq_;
    const int port_;
    const int ownClient_;
    snd_midi_event_t* const encoder_;
};

class AlsaMidiOutConnection final : public MidiOutConnection {
public:
    explicit AlsaMidiOutConnection(AlsaSequencer& sequencer) : sequencer_(sequencer) {}
    void Send(DWORD message) override { sequencer_.Send(message); }

private:
    AlsaSequencer& sequencer_;
};

class AlsaMidiOutPort final : public MidiOutDevice {
public:
    MIDIOUTCAPSW GetCaps() const override
    {
        MIDIOUTCAPSW caps{};
        caps.vDriverVersion = 0x0100;
        CopyDeviceName(FromUtf8(std::string(kClientName) + " " + kOutputPortName), caps.szPname);
        caps.wTechnology = MOD_MIDIPORT;
        caps.wChannelMask = 0xFFFF;
        return caps;
    }

    std::unique_ptr<MidiOutConnection> Open() override
    {
        AlsaSequencer* sequencer = AlsaSequencer::Instance();
        return sequencer ? std::make_unique<AlsaMidiOutConnection>(*sequencer) : nullptr;
    }
};

// A client of its own subscribed to one source port. Threads: a reader
// thread decodes the source's events and hands short messages to the sink;
// the destructor wakes it through an eventfd and joins it.
class AlsaMidiInConnection final : public MidiInConnection {
public:
    static std::unique_ptr<AlsaMidiInConnection> Open(const snd_seq_addr_t& source, MidiInSink sink)
    {
        snd_seq_t* seq = nullptr;
        if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) {
            return nullptr;
        }
        snd_seq_set_client_name(seq, kClientName);
        const int port = snd_seq_create_simple_port(seq, kInputPortName,
                                                    SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                                    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        snd_midi_event_t* decoder = nullptr;
        const int stop = eventfd(0, EFD_CLOEXEC);
        if (port < 0 || snd_seq_connect_from(seq, port, source.client, source.port) < 0 ||
            snd_midi_event_new(16, &decoder) < 0 || stop < 0) {
            if (decoder != nullptr) {
                snd_midi_event_free(decoder);
            }
            if (stop >= 0) {
                close(stop);
            }
            snd_seq_close(seq);
            return nullptr;
        }
        snd_midi_event_no_status(decoder, 1);
        return std::unique_ptr<AlsaMidiInConnection>(new AlsaMidiInConnection(seq, decoder, stop, std::move(sink)));
    }

    ~AlsaMidiInConnection() override
    {
        const std::uint64_t one = 1;
        if (write(stop_, &one, sizeof one) != sizeof one) {
            std::fprintf(stderr, "ALSA MIDI input: cannot wake the reader thread\n");
        }
        reader_.join();
        snd_midi_event_free(decoder_);
        snd_seq_close(seq_);
        close(stop_);
    }

private:
    AlsaMidiInConnection(snd_seq_t* seq, snd_midi_event_t* decoder, int stop, MidiInSink sink)
        : seq_(seq), decoder_(decoder), stop_(stop), sink_(std::move(sink)), reader_([this] { Read(); })
    {
    }

    void Read()
    {
        pthread_setname_np(pthread_self(), "alsa_midi_in");
        const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
        std::vector<pollfd> fds(static_cast<std::size_t>(count) + 1);
        snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned int>(count), POLLIN);
        fds.back() = {stop_, POLLIN, 0};
        for (;;) {
            if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
                return;
            }
            if (fds.back().revents != 0) {
                return;
            }
            DrainEvents();
        }
    }

    void DrainEvents()
    {
        for (;;) {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input(seq_, &event);
            if (result == -ENOSPC) {
                continue;  // events were lost to an overrun; read on
            }
            if (result < 0 || event == nullptr) {
                return;
            }
            unsigned char bytes[16];
            const long length = snd_midi_event_decode(decoder_, bytes, sizeof bytes, event);
            if (length >= 1 && length <= 3 && ShortMessageLength(bytes[0]) == static_cast<std::size_t>(length)) {
                DWORD message = 0;
                for (long i = 0; i < length; ++i) {
                    message |= DWORD{bytes[i]} << (8 * i);
                }
                sink_(message);
            }
        }
    }

    snd_seq_t* const seq_;
    snd_midi_event_t* const decoder_;
    const int stop_;
    const MidiInSink sink_;
    std::thread reader_;  // last: starts once the members above exist
};

class AlsaMidiInPort final : public MidiInDevice {
public:
    explicit AlsaMidiInPort(AlsaPort port) : port_(std::move(port)) {}

    MIDIINCAPSW GetCaps() const override
    {
        MIDIINCAPSW caps{};
        caps.vDriverVersion = 0x0100;
        CopyDeviceName(FromUtf8(port_.name), caps.szPname);
        return caps;
    }

    std::unique_ptr<MidiInConnection> Open(MidiInSink sink) override
    {
        return AlsaMidiInConnection::Open(port_.address, std::move(sink));
    }

private:
    const AlsaPort port_;
};

}  // namespace

std::vector<std::shared_ptr<MidiOutDevice>> AlsaOutputDevices()
{
    if (AlsaSequencer::Instance() == nullptr) {
        return {};
    }
    static const auto port = std::make_shared<AlsaMidiOutPort>();
    return {port};
}

std::vector<std::shared_ptr<MidiInDevice>> AlsaInputDevices()
{
    std::vector<std::shared_ptr<MidiInDevice>> devices;
    if (AlsaSequencer* sequencer = AlsaSequencer::Instance()) {
        for (auto& port : sequencer->ReadablePorts()) {
            devices.push_back(std::make_shared<AlsaMidiInPort>(std::move(port)));
        }
    }
    return devices;
}

}  // namespace winmm_impl
