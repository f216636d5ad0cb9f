#include "params/sync_editor_client.h"

#include <cstdio>
#include <thread>
#include <utility>

#include "params/editor_protocol.h"
#include "platform/winsock.h"

namespace {

constexpr std::size_t kReadChunk = 4096;
// Bytes read in one poll at most, so that a flood from the editor cannot stall a frame.
constexpr std::size_t kReadPerPoll = 1 << 16;
// Output the editor has not taken yet; more means it stopped reading.
constexpr std::size_t kMaxPendingOutput = 1 << 20;
constexpr std::chrono::seconds kConnectTimeout{3};

SOCKET asSocket(std::uintptr_t s) {
    return static_cast<SOCKET>(s);
}

bool socketServicesStarted() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

} // namespace

SyncEditorClient::SyncEditorClient(SyncTimeline& timeline, std::vector<std::string> trackNames,
                                   Log log)
    : timeline_(timeline), names_(std::move(trackNames)), log_(std::move(log)),
      stream_(timeline, names_.size()) {
    if (!log_)
        log_ = [](const std::string& text) { std::fprintf(stderr, "editor: %s\n", text.c_str()); };
    if (timeline_.tracks.size() < names_.size())
        timeline_.resizeTracks(names_.size());
}

SyncEditorClient::~SyncEditorClient() {
    if (socketOpen_)
        closesocket(asSocket(socket_));
}

void SyncEditorClient::start(std::string host, std::uint16_t port) {
    host_ = std::move(host);
    port_ = port;
    state_ = State::Waiting;
    nextAttempt_ = Clock::now();
}

void SyncEditorClient::beginConnect() {
    nextAttempt_ = Clock::now() + retryInterval_;
    if (!socketServicesStarted()) {
        log_("socket services are not available");
        return;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(port_);
    if (getaddrinfo(host_.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        log_("cannot resolve " + host_);
        return;
    }
    SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (s == INVALID_SOCKET) {
        freeaddrinfo(found);
        log_("cannot create a socket");
        return;
    }
    ULONG nonBlocking = 1;
    int noDelay = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    const int result = connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen));
    freeaddrinfo(found);
    socket_ = static_cast<std::uintptr_t>(s);
    socketOpen_ = true;
    stream_.reset();
    out_.clear();
    lastReportedRow_.reset();
    if (result == 0) {
        onConnected();
    } else if (WSAGetLastError() == WSAEWOULDBLOCK) {
        state_ = State::Connecting;
        connectStarted_ = Clock::now();
    } else {
        closesocket(s);
        socketOpen_ = false;
    }
}

void SyncEditorClient::onConnected() {
    state_ = State::Greeting;
    connectStarted_ = Clock::now();
    out_.append(editor::kClientGreeting, editor::kClientGreetingSize);
}

void SyncEditorClient::closeConnection(const std::string& why, EditorEvents& events) {
    if (socketOpen_)
        closesocket(asSocket(socket_));
    socketOpen_ = false;
    const bool wasUp = state_ == State::Greeting || state_ == State::Live;
    state_ = State::Waiting;
    nextAttempt_ = Clock::now() + retryInterval_;
    stream_.reset();
    out_.clear();
    if (wasUp) {
        events.disconnected = true;
        log_(why + "; keeping the current keys and trying again");
    }
}

bool SyncEditorClient::flushOutput(EditorEvents& events) {
    while (!out_.empty()) {
        const int sent = send(asSocket(socket_), out_.data(), static_cast<int>(out_.size()), 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAEWOULDBLOCK)
                break;
            closeConnection("the editor went away", events);
            return false;
        }
        out_.erase(0, static_cast<std::size_t>(sent));
    }
    if (out_.size() > kMaxPendingOutput) {
        closeConnection("the editor stopped reading", events);
        return false;
    }
    return true;
}

bool SyncEditorClient::readInput(EditorEvents& events) {
    char chunk[kReadChunk];
    std::size_t total = 0;
    while (total < kReadPerPoll) {
        const int got = recv(asSocket(socket_), chunk, static_cast<int>(sizeof chunk), 0);
        if (got == 0) {
            closeConnection("the editor closed the connection", events);
            return false;
        }
        if (got == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAEWOULDBLOCK)
                break;
            closeConnection("the connection to the editor failed", events);
            return false;
        }
        total += static_cast<std::size_t>(got);
        events.bytesReceived += static_cast<std::size_t>(got);
        if (!applyInput(chunk, static_cast<std::size_t>(got), events))
            return false;
    }
    return true;
}

bool SyncEditorClient::applyInput(const char* data, std::size_t size, EditorEvents& events) {
    std::string why;
    const EditorStream::Status status = stream_.feed(data, size, events, why);
    if (events.connected && state_ == State::Greeting)
        requestTracks();
    if (status == EditorStream::Status::NotAnEditor) {
        closeConnection("the peer at " + host_ + ":" + std::to_string(port_) + " " + why, events);
        return false;
    }
    if (status == EditorStream::Status::Malformed) {
        closeConnection("the editor " + why + "; connection closed", events);
        return false;
    }
    return true;
}

// The stream has dropped the named tracks' keys: from now on the editor owns them and sends
// every key it holds for each track asked.
void SyncEditorClient::requestTracks() {
    for (const std::string& name : names_) {
        out_.push_back(static_cast<char>(editor::GetTrack));
        editor::putU32(out_, static_cast<std::uint32_t>(name.size()));
        out_ += name;
    }
    state_ = State::Live;
    log_("connected to the editor at " + host_ + ":" + std::to_string(port_));
}

EditorEvents SyncEditorClient::poll() {
    EditorEvents events;
    if (state_ == State::Idle)
        return events;
    if (state_ == State::Waiting) {
        if (Clock::now() < nextAttempt_)
            return events;
        beginConnect();
        if (state_ == State::Waiting)
            return events;
    }
    if (state_ == State::Connecting) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(asSocket(socket_), &writable);
        timeval noWait{0, 0};
        if (select(static_cast<int>(asSocket(socket_) + 1), nullptr, &writable, nullptr, &noWait) <=
            0) {
            if (Clock::now() - connectStarted_ > kConnectTimeout)
                closeConnection("no answer from the editor", events);
            return events;
        }
        int error = 0;
        socklen_t length = sizeof error;
        getsockopt(asSocket(socket_), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                   &length);
        if (error != 0) {
            closeConnection("cannot reach the editor", events);
            return events;
        }
        onConnected();
    }
    if (!flushOutput(events) || !readInput(events))
        return events;
    if (state_ == State::Greeting && Clock::now() - connectStarted_ > kConnectTimeout) {
        closeConnection("the peer does not answer like a sync editor", events);
        return events;
    }
    flushOutput(events);
    return events;
}

void SyncEditorClient::reportRow(std::uint32_t row) {
    if (state_ != State::Live || lastReportedRow_ == row)
        return;
    lastReportedRow_ = row;
    out_.push_back(static_cast<char>(editor::SetRow));
    editor::putU32(out_, row);
}

bool parseEditorAddress(const std::string& text, std::string& host, std::uint16_t& port,
                        std::string& error) {
    const std::size_t colon = text.rfind(':');
    host = text.substr(0, colon);
    if (host.empty())
        host = "localhost";
    port = editor::kDefaultPort;
    if (colon == std::string::npos)
        return true;
    const std::string digits = text.substr(colon + 1);
    unsigned long value = 0;
    bool ok = !digits.empty() && digits.size() <= 5;
    for (char c : digits)
        ok = ok && c >= '0' && c <= '9';
    if (ok)
        value = std::stoul(digits);
    if (!ok || value < 1 || value > 65535) {
        error = "the editor's port must be a number from 1 to 65535, not '" + digits + "'";
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

bool fetchEditorKeys(SyncTimeline& timeline, const std::vector<std::string>& trackNames,
                     const std::string& host, std::uint16_t port, std::string& error,
                     std::chrono::milliseconds quiet, std::chrono::milliseconds patience) {
    using Clock = std::chrono::steady_clock;
    std::string lastMessage;
    SyncEditorClient client(timeline, trackNames,
                            [&](const std::string& text) { lastMessage = text; });
    client.start(host, port);
    const auto giveUp = Clock::now() + patience;
    auto lastHeard = Clock::now();
    bool connected = false;
    for (;;) {
        const EditorEvents events = client.poll();
        if (events.disconnected) {
            error = lastMessage;
            return false;
        }
        if (events.connected) {
            connected = true;
            lastHeard = Clock::now();
        }
        if (events.bytesReceived > 0)
            lastHeard = Clock::now();
        if (connected && Clock::now() - lastHeard >= quiet)
            return true;
        if (!connected && Clock::now() > giveUp) {
            error = "no sync editor answers at " + host + ":" + std::to_string(port);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
