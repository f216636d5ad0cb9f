#include "params/fake_editor.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include <cstring>

// The editor's side is written independently of the show's protocol header, so that a fault
// there (a byte order, a command number) cannot cancel out.
namespace {
const std::string kShowGreeting = "hello, synctracker!";
enum : char { SetKey = 0, DeleteKey = 1, GetTrack = 2, SetRow = 3, Pause = 4, SaveTracks = 5 };

void putU32(std::string& out, std::uint32_t v) {
    const std::uint32_t big = htonl(v);
    out.append(reinterpret_cast<const char*>(&big), 4);
}

std::uint32_t getU32(const unsigned char* p) {
    std::uint32_t big;
    std::memcpy(&big, p, 4);
    return ntohl(big);
}

std::uint32_t floatBits(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}
} // namespace

FakeEditor::FakeEditor(std::string greeting, std::uint32_t cursorRow)
    : greeting_(std::move(greeting)), cursorRow_(cursorRow) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 4) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("fake editor cannot listen");
    fcntl(listener_, F_SETFL, O_NONBLOCK);
    port_ = ntohs(address.sin_port);
}

FakeEditor::~FakeEditor() {
    dropClient();
    close(listener_);
}

void FakeEditor::dropClient() {
    if (client_ >= 0)
        close(client_);
    client_ = -1;
    in_.clear();
    greeted = false;
    requested.clear();
}

void FakeEditor::serve() {
    if (client_ < 0) {
        client_ = accept(listener_, nullptr, nullptr);
        if (client_ < 0)
            return;
        fcntl(client_, F_SETFL, O_NONBLOCK);
        ++connections;
    }
    char chunk[4096];
    ssize_t got;
    while ((got = recv(client_, chunk, sizeof chunk, 0)) > 0)
        in_.append(chunk, static_cast<std::size_t>(got));
    if (!greeted && in_.size() >= kShowGreeting.size()) {
        if (in_.compare(0, kShowGreeting.size(), kShowGreeting.c_str()) != 0)
            throw std::runtime_error("fake editor: wrong greeting from the show");
        in_.erase(0, kShowGreeting.size());
        greeted = true;
        sendRaw(greeting_);
        sendPause(true);
        sendRow(cursorRow_);
    }
    if (greeted)
        answerRequests();
}

void FakeEditor::answerRequests() {
    for (;;) {
        const auto* p = reinterpret_cast<const unsigned char*>(in_.data());
        if (in_.size() >= 5 && p[0] == SetRow) {
            reportedRows.push_back(getU32(p + 1));
            in_.erase(0, 5);
        } else if (in_.size() >= 5 && p[0] == GetTrack && in_.size() >= 5 + getU32(p + 1)) {
            const std::string name = in_.substr(5, getU32(p + 1));
            in_.erase(0, 5 + name.size());
            const auto index = static_cast<std::uint32_t>(requested.size());
            requested.push_back(name);
            for (const SyncKey& key : held_[name])
                sendKey(index, key.row, key.value, static_cast<std::uint8_t>(key.interpolation));
        } else {
            return;
        }
    }
}

void FakeEditor::sendRaw(const std::string& bytes) {
    if (client_ >= 0)
        send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void FakeEditor::sendKey(std::uint32_t track, std::uint32_t row, float value, std::uint8_t mode) {
    std::string b(1, char(SetKey));
    putU32(b, track);
    putU32(b, row);
    putU32(b, floatBits(value));
    b.push_back(static_cast<char>(mode));
    sendRaw(b);
}

void FakeEditor::sendDelete(std::uint32_t track, std::uint32_t row) {
    std::string b(1, char(DeleteKey));
    putU32(b, track);
    putU32(b, row);
    sendRaw(b);
}

void FakeEditor::sendRow(std::uint32_t row) {
    std::string b(1, char(SetRow));
    putU32(b, row);
    sendRaw(b);
}

void FakeEditor::sendPause(bool pause) {
    sendRaw(std::string{char(Pause), char(pause)});
}

void FakeEditor::sendSave() {
    sendRaw(std::string(1, char(SaveTracks)));
}
