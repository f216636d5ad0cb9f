#include "app/check/self_check.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/graph_runtime.h"
#include "app/back_buffer_reader.h"
#include "app/check/adapter_description.h"
#include "app/check/check_frames.h"
#include "app/check/check_report.h"
#include "app/check/golden_references.h"
#include "app/check/pass_timer.h"
#include "app/check/program_times.h"
#include "app/playhead.h"
#include "app/show.h"
#include "files/stored_zip.h"
#include "files/utf8_path.h"
#include "platform/parent_console.h"
#include "platform/shader_code.h"
#include "platform/startup_failure.h"

namespace fs = std::filesystem;
using files::pathFromUtf8;
using files::utf8Of;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr const char* kReportName = "quavel1-check.txt";

// "vs_glyphs + ps_glyphs" or "cs_particles": a pass named by its programs.
std::string passName(const Fennick::gfx::PassEntry& entry) {
    if (entry.kind == Fennick::gfx::PassKind::Draw && entry.draw)
        return programNameOfBytecode(entry.draw->desc.shader.vertexCode) + " + " +
               programNameOfBytecode(entry.draw->desc.shader.pixelCode);
    if (entry.kind == Fennick::gfx::PassKind::Compute && entry.compute)
        return programNameOfBytecode(entry.compute->desc.shader.computeCode);
    return "?";
}

struct RenderedMoment {
    const GoldenMoment* moment;
    std::int64_t gridFrame;
    TileComparison comparison;
    std::vector<double> passMs; // empty when the GPU gave no times
    std::string timingError;
    double drawMs = 0;
    std::string frameFile;
};

class SelfCheck {
public:
    explicit SelfCheck(bool console) : console_(console), report_(console) {}
    int run(const std::string& folder);

private:
    int runSteps(const std::string& folder);
    void packFolder();
    int cannotRun(const std::string& why) {
        // Started from the desktop, nobody reads the output: say it where a person sees it.
        if (!console_)
            reportStartupFailure("quavel1 --check", why);
        report_.line();
        report_.line("quavel1 --check cannot run: " + why);
        report_.line("Result: the check could not run (exit 2)");
        return 2;
    }
    bool makeFolder(const std::string& asked, std::string& error);
    void reportDevice();
    void reportPrograms(const std::vector<ProgramTime>& times);
    bool renderMoments(std::vector<RenderedMoment>& rendered, std::string& error);
    void reportMoment(const RenderedMoment& r);
    void reportPassTimes(const std::vector<RenderedMoment>& rendered);

    bool console_;
    CheckReport report_;
    std::string folder_;
    DemoApp* app_ = nullptr;
};

bool SelfCheck::makeFolder(const std::string& asked, std::string& error) {
    folder_ = asked.empty() ? newCheckFolderName() : asked;
    std::error_code ec;
    fs::create_directories(pathFromUtf8(folder_), ec);
    if (!fs::is_directory(pathFromUtf8(folder_))) {
        error = "cannot make the folder '" + folder_ + "'" + (ec ? ": " + ec.message() : "");
        return false;
    }
    folder_ = utf8Of(fs::absolute(pathFromUtf8(folder_)).lexically_normal());
    return report_.open(utf8Of(pathFromUtf8(folder_) / kReportName), error);
}

void SelfCheck::reportDevice() {
    const AdapterDescription d = describeAdapter(app_->device);
    report_.line("Device");
    report_.line("  adapter         " + d.adapter);
    report_.line("  PCI vendor      " + d.vendor);
    report_.line("  driver version  " + d.driverVersion);
    report_.line("  feature level   " + d.featureLevel + " (the show needs 11_0)");
    // Every adapter, so that a laptop running on its integrated GPU shows it.
    const std::vector<SeenAdapter> adapters = listAdapters(app_->device);
    report_.linef("  adapters seen   %u", unsigned(adapters.size()));
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const SeenAdapter& a = adapters[i];
        std::string notes;
        for (const auto& [on, text] :
             {std::pair{a.software, "software"},
              std::pair{a.preferred, "first for high performance"}, std::pair{a.used, "USED"}})
            if (on)
                notes += (notes.empty() ? "  (" : ", ") + std::string(text);
        report_.linef("    %u  %s, vendor %s%s", unsigned(i), a.name.c_str(), a.vendor.c_str(),
                      (notes.empty() ? notes : notes + ")").c_str());
    }
    if (std::none_of(adapters.begin(), adapters.end(), [](const auto& a) { return a.used; }))
        report_.line("    (the device runs on none of them: WARP, the software rasteriser)");
    report_.line();
}

void SelfCheck::reportPrograms(const std::vector<ProgramTime>& times) {
    report_.line("Shader programs (ms; compile: D3DCompile at start-up, where the build links "
                 "HLSL source)");
    report_.linef("  %-30s %10s %10s", "program", "compile", "create");
    double compiled = 0, created = 0;
    for (const ProgramTime& t : times) {
        // No bytecode (it did not compile): nothing to create.
        char compile[32] = "-", create[32] = "no code";
        if (t.compileSeconds >= 0)
            std::snprintf(compile, sizeof compile, "%.1f", t.compileSeconds * 1000);
        if (t.createSeconds >= 0 && SUCCEEDED(t.created))
            std::snprintf(create, sizeof create, "%.1f", t.createSeconds * 1000);
        else if (t.createSeconds >= 0)
            std::snprintf(create, sizeof create, "0x%08lX", static_cast<unsigned long>(t.created));
        report_.linef("  %-30s %10s %10s", t.name.c_str(), compile, create);
        compiled += std::max(0.0, t.compileSeconds) * 1000;
        created += std::max(0.0, t.createSeconds) * 1000;
    }
    report_.linef("  %-30s %10.1f %10.1f", "sum", compiled, created);
}

bool SelfCheck::renderMoments(std::vector<RenderedMoment>& rendered, std::string& error) {
    BackBufferReader reader(app_->device, app_->immediateContext, app_->swapChain);
    if (!reader.ok()) {
        error = "the back buffer cannot be read back";
        return false;
    }
    PassTimer timer(app_->device, app_->immediateContext, *app_->engine);
    for (const GoldenMoment& m : kGoldenMoments)
        rendered.push_back({&m, firstGridFrameAtOrAfter(m.start, kGoldenFps), {}, {}, "", 0, ""});
    std::sort(rendered.begin(), rendered.end(),
              [](const auto& a, const auto& b) { return a.gridFrame < b.gridFrame; });
    // The moments in grid order, each after the replay of the frames before it.
    ShowPicture picture(*app_);
    Playhead playhead(picture, kGoldenFps);
    std::vector<std::uint8_t> rgba;
    for (RenderedMoment& r : rendered) {
        playhead.seekToGridFrame(r.gridFrame);
        const auto started = Clock::now();
        timer.frameStarts();
        playhead.advanceTo(gridTime(r.gridFrame, kGoldenFps));
        timer.frameEnds();
        if (!reader.read(rgba)) {
            error = "reading the frame of " + std::string(r.moment->name) + " back failed";
            return false;
        }
        r.drawMs = msSince(started);
        app_->swapChain->Present(0, 0);
        if (!timer.results(r.passMs, r.timingError))
            r.passMs.clear();

        GoldenReference reference;
        if (!loadGoldenReference(*r.moment, reference, error))
            return false;
        r.comparison =
            compareTiles(tileMeans(rgba.data(), int(reader.width()), int(reader.height())),
                         reference.tiles, reference.vary);
        r.frameFile = std::string(r.moment->name) + ".png";
        const std::string path = utf8Of(pathFromUtf8(folder_) / r.frameFile);
        if (!writeCheckFrame(path, rgba, reader.width(), reader.height()))
            r.frameFile = "(cannot write " + path + ")";
        reportMoment(r);
    }
    return true;
}

void SelfCheck::reportMoment(const RenderedMoment& r) {
    const TileComparison& c = r.comparison;
    report_.linef("Moment %s (%.4f s, grid frame %lld at %g fps)", r.moment->name, r.moment->start,
                  static_cast<long long>(r.gridFrame), kGoldenFps);
    report_.linef("  tiles within tolerance  %d of %d", c.tilesWithin, c.tiles);
    report_.linef("  tile channels off       %d (at most %d may be; tolerance %g levels)",
                  c.channelsOff, c.channelsAllowed, kTileTolerance);
    report_.linef("  known to vary by GPU    %d tiles, %d of them differ here (not counted)",
                  c.varyTiles, c.varyTilesOff);
    report_.line("  worst tile              " + describeSpot(c.worst));
    for (const TileSpot& spot : c.firstOff)
        report_.line("  off                     " + describeSpot(spot));
    report_.linef("  frame                   %s (drawn and read back in %.0f ms)",
                  r.frameFile.c_str(), r.drawMs);
    report_.line(std::string("  result                  ") +
                 (c.matches ? "matches" : "DIFFERS from the reference"));
    report_.line();
}

void SelfCheck::reportPassTimes(const std::vector<RenderedMoment>& rendered) {
    report_.line("GPU time per pass (ms, timestamp queries)");
    std::string header = "  " + std::string(46, ' ');
    header.replace(2, 4, "pass");
    for (const RenderedMoment& r : rendered) {
        char column[24];
        std::snprintf(column, sizeof column, "%11s", r.moment->name);
        header += column;
    }
    report_.line(header);
    const auto& passes = app_->engine->passes;
    std::vector<double> totals(rendered.size(), 0.0);
    for (std::size_t i = 0; i < passes.size(); ++i) {
        char label[96];
        std::snprintf(label, sizeof label, "  %2zu %-41s", i, passName(passes[i]).c_str());
        std::string row = label;
        for (std::size_t k = 0; k < rendered.size(); ++k) {
            char cell[24] = "          -";
            if (rendered[k].passMs.size() > i && rendered[k].passMs[i] >= 0) {
                std::snprintf(cell, sizeof cell, "%11.2f", rendered[k].passMs[i]);
                totals[k] += rendered[k].passMs[i];
            } else if (rendered[k].passMs.empty()) {
                std::snprintf(cell, sizeof cell, "%11s", "n/a");
            }
            row += cell;
        }
        report_.line(row);
    }
    std::string sum = "     sum of the passes" + std::string(25, ' ');
    for (double t : totals) {
        char cell[24];
        std::snprintf(cell, sizeof cell, "%11.2f", t);
        sum += cell;
    }
    report_.line(sum);
    for (const RenderedMoment& r : rendered)
        if (!r.timingError.empty())
            report_.line(std::string("  ") + r.moment->name + ": no GPU times: " + r.timingError);
    report_.line();
}

// The report and the frames in one file beside the folder, for a tester to attach; its path
// is the output's last line.
void SelfCheck::packFolder() {
    report_.close();
    std::vector<files::ZipEntry> entries;
    const fs::path folder = pathFromUtf8(folder_);
    const std::string top = utf8Of(folder.filename());
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec))
        if (e.is_regular_file(ec))
            entries.push_back({top + "/" + utf8Of(e.path().filename()), utf8Of(e.path())});
    // The report first, then the frames by name.
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        const bool aReport = a.name.size() >= std::strlen(kReportName) &&
                             a.name.compare(a.name.size() - std::strlen(kReportName),
                                            std::string::npos, kReportName) == 0;
        const bool bReport = b.name.size() >= std::strlen(kReportName) &&
                             b.name.compare(b.name.size() - std::strlen(kReportName),
                                            std::string::npos, kReportName) == 0;
        return aReport != bReport ? aReport : a.name < b.name;
    });
    const std::string zip = folder_ + ".zip";
    std::string error;
    // The output file splits folders at '/', which Windows takes as well as '\\'.
    if (files::writeStoredZip(pathFromUtf8(zip).generic_u8string(), entries, &error))
        report_.line("Everything above in one file, to attach: " + zip);
    else
        report_.line("The folder could not be packed into one file (" + error +
                     "): please send the folder itself");
}

int SelfCheck::run(const std::string& folder) {
    const int code = runSteps(folder);
    if (!folder_.empty() && fs::is_directory(pathFromUtf8(folder_)))
        packFolder();
    return code;
}

int SelfCheck::runSteps(const std::string& folder) {
    static DemoApp app; // large (the audio ring is inside); lives until the process ends
    app_ = &app;
    std::string error;
    report_.line("quavel1 --check: does the show draw right on this machine?");
    if (!makeFolder(folder, error))
        return cannotRun(error);
    report_.line("Frames and this report: " + folder_);
    report_.line();

    if (!startShowDevice(app, error, WindowShown::Never, kFullSize))
        return cannotRun(error);
    reportDevice();

    const auto compileStarted = Clock::now();
    const bool compiled = prepareShaderCode(error);
    const double compileMs = msSince(compileStarted);
    const std::vector<ProgramTime> times = timeShowPrograms(app.device);
    reportPrograms(times);
    report_.linef("  start-up compilation took %.1f ms in all", compileMs);
    report_.line();
    if (!compiled)
        return cannotRun(error);
    for (const ProgramTime& t : times)
        if (FAILED(t.created))
            return cannotRun("the device refuses the shader program " + t.name);

    const auto graphStarted = Clock::now();
    if (!buildShowGraph(app, error, kFullSize))
        return cannotRun(error);
    report_.linef("Graph: %u passes created in %.1f ms", unsigned(app.engine->passes.size()),
                  msSince(graphStarted));
    report_.line();

    std::vector<RenderedMoment> rendered;
    if (!renderMoments(rendered, error))
        return cannotRun(error);
    reportPassTimes(rendered);

    const auto differing = std::count_if(rendered.begin(), rendered.end(),
                                         [](const auto& r) { return !r.comparison.matches; });
    if (differing == 0) {
        report_.linef("Result: all %u moments match the references (exit 0)",
                      unsigned(rendered.size()));
        return 0;
    }
    report_.linef("Result: %lld of %u moments DIFFER from the references (exit 1); please send "
                  "the folder %s",
                  static_cast<long long>(differing), unsigned(rendered.size()), folder_.c_str());
    return 1;
}

} // namespace

std::string newCheckFolderName() {
    const std::time_t now = std::time(nullptr);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "quavel1-check-%Y%m%d-%H%M%S", std::localtime(&now));
    std::string name = stamp;
    for (int i = 2; fs::exists(name); ++i)
        name = std::string(stamp) + "-" + std::to_string(i);
    return name;
}

int runSelfCheck(const std::string& folder) {
    SelfCheck check(attachParentConsole());
    return check.run(folder);
}
