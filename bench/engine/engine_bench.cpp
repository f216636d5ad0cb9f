// Per-frame CPU work of the engine (repacking 31 parameters and building the ContextBuffer
// block) and the start-up cost of parsing a numeric data file.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Fennick/numeric_data_file.h"
#include "Fennick/upload_block.h"

using namespace Fennick::gfx;

static void BM_PackParametersAndBuildBlock(benchmark::State& state) {
    std::vector<ParamDesc> list;
    for (int i = 0; i < 31; ++i)
        list.push_back(makeFloatParam(("param" + std::to_string(i)).c_str(), float(i)));
    ParamBlock params;
    params.list = list;
    ParamBlock frameParams;
    const std::vector<uint8_t> builtIns(608, 0);
    for (auto _ : state) {
        frameParams.clearPacking();
        frameParams.set(params.list);
        std::vector<uint8_t> block = buildUploadBlock(builtIns.data(), 608, frameParams);
        benchmark::DoNotOptimize(block.data());
    }
}
BENCHMARK(BM_PackParametersAndBuildBlock);

static void BM_ConvertNumericText(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < state.range(0); ++i)
        text += std::to_string(i * 37 % 10007) + (i % 8 == 7 ? ",\n" : ", ");
    for (auto _ : state) {
        std::vector<uint8_t> elements = convertNumbers(text, Int);
        benchmark::DoNotOptimize(elements.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ConvertNumericText)->Arg(1569)->Arg(100000);
