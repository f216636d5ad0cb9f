// live_shaders_probe FOLDER: quavel1 --edit's shader path on Windows, run under Wine with
// FOLDER a copy of the show's shader sources. Wine's compiler refuses some of the show's
// programs; for every one it compiles, the bytecode compiled from FOLDER must be the start-up
// compile's, and the folder's watch must see a saved file. Prints a line per finding; exits 1 on
// the first fault.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/shader_reload.h"
#include "app/shader_watch.h"
#include "files/utf8_path.h"
#include "platform/shader_code.h"

extern const shaderpack::HlslProgramList quavel_demo_shaders_programs;

namespace {

namespace fs = std::filesystem;
using quavel::d3d11::ShaderStage;

int fault(const std::string& what) {
    std::printf("FAULT: %s\n", what.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: live_shaders_probe FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::string refusal;
    prepareShaderCode(refusal); // the start-up compile; what Wine refuses has no bytecode
    int same = 0;
    for (const shaderpack::HlslProgram& listed : quavel_demo_shaders_programs) {
        const shaderpack::HlslSource source = ShaderReload::sourceIn(listed, folder);
        const shaderpack::CompileResult live = shaderpack::compileHlsl(source);
        const ShaderCode started = shaderBytecode(listed.block, *listed.blockSize);
        if (!started.code && !live.ok()) {
            std::printf("%s: refused by this compiler\n", listed.name);
            continue;
        }
        if (!started.code || !live.ok())
            return fault(std::string(listed.name) + " compiles " +
                         (started.code ? "at start-up only: " + live.error->text() : "live only"));
        const auto* bytes = static_cast<const uint8_t*>(started.code);
        if (live.block != std::vector<uint8_t>(bytes, bytes + started.size))
            return fault(std::string(listed.name) + ": the live bytecode differs from start-up's");
        for (const std::string& file : live.included)
            if (fs::path(file).parent_path() != fs::path(source.path).parent_path())
                return fault(std::string(listed.name) + " read " + file + ", outside the folder");
        std::printf("%s: the same bytecode live, %u files read\n", listed.name,
                    unsigned(live.included.size()));
        ++same;
    }
    if (same == 0)
        return fault("no program compiled");

    // A saved file is handed over once the folder has been quiet for the settle time; so is
    // a second save of the same size with the same time (the C runtime reads file times to the
    // second here).
    ShaderWatch watch(folder);
    const fs::path saved = files::pathFromUtf8(folder) / "ps_particle.hlsl";
    auto seen = [&](const char* what) -> int {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            const std::vector<std::string> changed = watch.poll();
            if (!changed.empty()) {
                std::printf("watch: %s (%s)\n",
                            files::utf8Of(files::pathFromUtf8(changed.front()).filename()).c_str(),
                            what);
                return changed.size() == 1 && files::pathFromUtf8(changed.front()) == saved
                           ? 0
                           : fault("the watch handed over other files");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return fault(std::string("the watch did not see the ") + what);
    };
    std::ofstream(saved, std::ios::app | std::ios::binary) << "// saved again\n";
    if (const int failed = seen("saved file"))
        return failed;
    const fs::file_time_type written = fs::last_write_time(saved);
    {
        std::fstream file(saved, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(-3, std::ios::end);
        file << "ok\n"; // "again\n" becomes "agaok\n"
    }
    fs::last_write_time(saved, written);
    return seen("same-size save");
}
