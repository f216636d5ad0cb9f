// A sync editor for tests: a loopback TCP server on an ephemeral port that speaks the editor's
// side of the protocol. It answers the greeting (or a wrong one), sends PAUSE 1 and its cursor
// row right after it, numbers tracks in the order they are asked for, answers each GET_TRACK
// with the keys it holds under that name, and records the rows the show reports.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "params/sync_timeline.h"

class FakeEditor {
public:
    explicit FakeEditor(std::string greeting = "hello, demo!", std::uint32_t cursorRow = 0);
    ~FakeEditor();

    std::uint16_t port() const { return port_; }
    // Accepts a waiting client, reads what it sent and answers; never blocks.
    void serve();
    bool hasClient() const { return client_ >= 0; }
    void dropClient();

    void holdKeys(const std::string& track, std::vector<SyncKey> keys) { held_[track] = keys; }
    void sendKey(std::uint32_t track, std::uint32_t row, float value, std::uint8_t mode);
    void sendDelete(std::uint32_t track, std::uint32_t row);
    void sendRow(std::uint32_t row);
    void sendPause(bool pause);
    void sendSave();
    void sendRaw(const std::string& bytes);

    std::vector<std::string> requested;      // track names in the order asked for
    std::vector<std::uint32_t> reportedRows; // SET_ROW from the show
    bool greeted = false;
    int connections = 0;

private:
    void answerRequests();

    std::string greeting_;
    std::uint32_t cursorRow_;
    int listener_ = -1;
    int client_ = -1;
    std::uint16_t port_ = 0;
    std::string in_;
    std::map<std::string, std::vector<SyncKey>> held_;
};
