#include "app/check/pass_timer.h"

#include <chrono>
#include <thread>

namespace {

ID3D11Query* makeQuery(ID3D11Device* device, D3D11_QUERY kind) {
    D3D11_QUERY_DESC desc = {};
    desc.Query = kind;
    ID3D11Query* query = nullptr;
    if (FAILED(device->CreateQuery(&desc, &query)))
        return nullptr;
    return query;
}

// Asks until the GPU has the answer; false when it takes longer than `limit`.
template <class T>
bool waitFor(ID3D11DeviceContext* context, ID3D11Query* query, T& value,
             std::chrono::steady_clock::time_point limit) {
    for (;;) {
        const HRESULT hr = context->GetData(query, &value, sizeof value, 0);
        if (hr == S_OK)
            return true;
        if (FAILED(hr) || std::chrono::steady_clock::now() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

PassTimer::PassTimer(ID3D11Device* device, ID3D11DeviceContext* context,
                     Fennick::gfx::GraphRuntime& graph)
    : context_(context), graph_(graph) {
    const std::size_t count = graph.passes.size();
    disjoint_ = makeQuery(device, D3D11_QUERY_TIMESTAMP_DISJOINT);
    for (std::size_t i = 0; disjoint_ && i < count; ++i) {
        starts_.push_back(makeQuery(device, D3D11_QUERY_TIMESTAMP));
        ends_.push_back(makeQuery(device, D3D11_QUERY_TIMESTAMP));
        if (!starts_.back() || !ends_.back()) {
            disjoint_->Release();
            disjoint_ = nullptr;
        }
    }
    ran_.assign(count, false);
    if (disjoint_)
        graph_.passObserver = this;
}

PassTimer::~PassTimer() {
    if (graph_.passObserver == this)
        graph_.passObserver = nullptr;
    for (auto* list : {&starts_, &ends_})
        for (ID3D11Query* q : *list)
            if (q)
                q->Release();
    if (disjoint_)
        disjoint_->Release();
}

void PassTimer::frameStarts() {
    ran_.assign(ran_.size(), false);
    if (disjoint_)
        context_->Begin(disjoint_);
}

void PassTimer::passStarts(std::size_t index) {
    if (index < starts_.size())
        context_->End(starts_[index]);
}

void PassTimer::passEnds(std::size_t index) {
    if (index < ends_.size()) {
        context_->End(ends_[index]);
        ran_[index] = true;
    }
}

void PassTimer::frameEnds() {
    if (disjoint_)
        context_->End(disjoint_);
}

bool PassTimer::results(std::vector<double>& milliseconds, std::string& error) {
    milliseconds.assign(ran_.size(), -1.0);
    if (!disjoint_) {
        error = "the device gives no timestamp queries";
        return false;
    }
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    D3D11_QUERY_DATA_TIMESTAMP_DISJOINT clock = {};
    if (!waitFor(context_, disjoint_, clock, limit)) {
        error = "the GPU gave no timestamps within 10 s";
        return false;
    }
    if (clock.Disjoint || clock.Frequency == 0) {
        error = "the GPU clock changed during the frame (disjoint timestamps)";
        return false;
    }
    for (std::size_t i = 0; i < ran_.size(); ++i) {
        UINT64 start = 0, end = 0;
        if (!ran_[i])
            continue;
        if (!waitFor(context_, starts_[i], start, limit) ||
            !waitFor(context_, ends_[i], end, limit)) {
            error = "the GPU gave no timestamps within 10 s";
            return false;
        }
        milliseconds[i] =
            end >= start ? double(end - start) * 1000.0 / double(clock.Frequency) : 0.0;
    }
    return true;
}
