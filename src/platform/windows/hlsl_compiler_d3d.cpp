// The Windows side of platform/hlsl_compiler.h: D3DCompile with an include handler that reads
// from the folders of the sources, so that a program compiles from the files a user edits
// into the bytecode the start-up compile makes from the build's copy of them.
#include <list>
#include <map>

#include "platform/hlsl_compiler.h"
#include "platform/windows/d3dcompiler_library.h"

namespace shaderpack {
namespace {

using quavel::d3d11::ShaderStage;

// The folder part of a path, with its separator. Paths are UTF-8 strings and are joined as
// strings: std::filesystem would convert them through a code page that may not be UTF-8.
std::string folderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string inFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\')
        return folder + name;
    return folder + '\\' + name;
}

// `#include "name"`: the including file's folder, then the folders of the files that included
// it (innermost first), then the include directories in the order given. Texts stay alive
// until the compile ends.
class FolderInclude final : public ID3DInclude {
public:
    FolderInclude(const HlslSource& source, std::vector<std::string>& included)
        : source_(source), included_(included) {}

    HRESULT STDMETHODCALLTYPE Open(D3D_INCLUDE_TYPE, LPCSTR name, LPCVOID parent, LPCVOID* data,
                                   UINT* bytes) override {
        std::vector<std::string> candidates;
        for (const File* file = fileOf(parent); file; file = file->parent)
            candidates.push_back(folderOf(file->path) + name);
        candidates.push_back(folderOf(source_.path) + name);
        for (const std::string& dir : source_.includeDirs)
            candidates.push_back(inFolder(dir, name));
        for (const std::string& candidate : candidates) {
            std::string text;
            if (!readHlslFile(candidate, text))
                continue;
            files_.push_back({candidate, std::move(text), fileOf(parent)});
            included_.push_back(files_.back().path);
            named_[name] = files_.back().path;
            *data = files_.back().text.data();
            *bytes = UINT(files_.back().text.size());
            return S_OK;
        }
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE Close(LPCVOID) override { return S_OK; }

    // The file a compiler message names: an include by the name it was included as.
    std::string pathOf(const std::string& named) const {
        auto found = named_.find(named);
        return found != named_.end() ? found->second : named;
    }

private:
    struct File {
        std::string path;
        std::string text;
        const File* parent; // null for a file the main file included
    };
    const File* fileOf(LPCVOID data) const {
        for (const File& file : files_)
            if (file.text.data() == data)
                return &file;
        return nullptr;
    }

    const HlslSource& source_;
    std::vector<std::string>& included_;
    std::list<File> files_; // stable addresses
    std::map<std::string, std::string> named_;
};

const char* targetOf(ShaderStage stage) {
    static const std::map<ShaderStage, const char*> targets = {{ShaderStage::Vertex, "vs_5_0"},
                                                               {ShaderStage::Pixel, "ps_5_0"},
                                                               {ShaderStage::Compute, "cs_5_0"}};
    return targets.at(stage);
}

} // namespace

CompileResult compileHlsl(const HlslSource& source) {
    CompileResult result;
    std::string text;
    if ((result.error = readMainText(source, text)))
        return result;
    result.included.push_back(source.path);
    std::string reason;
    pD3DCompile compile = d3dCompileFunction(reason);
    if (!compile) {
        result.error = CompileError{source.program, source.path, 0, reason};
        return result;
    }
    FolderInclude include(source, result.included);
    D3DCompilation made = d3dCompile(compile, text.data(), text.size(), source.path.c_str(),
                                     &include, source.entry.c_str(), targetOf(source.stage));
    if (!made.code) {
        result.error = firstCompileError(CompilerLog::D3DCompile, source, made.message);
        if (result.error->file != source.path)
            result.error->file = include.pathOf(result.error->file);
        return result;
    }
    const auto* bytes = static_cast<const uint8_t*>(made.code->GetBufferPointer());
    result.block.assign(bytes, bytes + made.code->GetBufferSize());
    made.code->Release();
    return result;
}

} // namespace shaderpack
