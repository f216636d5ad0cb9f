// GPU time of every pass of a frame, from timestamp queries: a TIMESTAMP_DISJOINT query
// around the frame and a TIMESTAMP query before and after each pass, issued by the engine's
// pass observer, so the passes themselves run exactly as they do without it.
//
//     PassTimer timer(device, context, graph);   // observes graph's passes from now on
//     timer.frameStarts(); graph.executeFrame(); timer.frameEnds();
//     std::vector<double> ms; if (timer.results(ms, error)) ...  // -1 for passes that did not run
#pragma once

#include <string>
#include <vector>

#include "Fennick/graph_runtime.h"
#include "platform/d3d11.h"

class PassTimer final : public Fennick::gfx::PassObserver {
public:
    PassTimer(ID3D11Device* device, ID3D11DeviceContext* context,
              Fennick::gfx::GraphRuntime& graph);
    ~PassTimer();
    PassTimer(const PassTimer&) = delete;
    PassTimer& operator=(const PassTimer&) = delete;

    // False when the device gives no timestamp queries.
    bool ok() const { return disjoint_ != nullptr; }

    void frameStarts();
    void passStarts(std::size_t index) override;
    void passEnds(std::size_t index) override;
    void frameEnds();

    // Waits for the frame's queries (at most a few seconds) and gives each pass's GPU time in
    // milliseconds. False with a reason when the clock was disjoint or the results never came.
    bool results(std::vector<double>& milliseconds, std::string& error);

private:
    ID3D11DeviceContext* context_;
    Fennick::gfx::GraphRuntime& graph_;
    ID3D11Query* disjoint_ = nullptr;
    std::vector<ID3D11Query*> starts_, ends_;
    std::vector<bool> ran_;
};
