#include "Fennick/buffer_data_runtime.h"

#include <cstdio>
#include <cstring>

namespace Fennick::gfx {

namespace {

void loadFile(BufferDataDesc& source, std::vector<uint8_t>& elements) {
    NumericData loaded = loadNumericDataFile(source.path, source.type);
    if (!loaded.opened) {
        std::fprintf(stderr, "BufferDataRuntime: cannot read the numeric data file \"%s\"\n",
                     source.path);
        return;
    }
    elements = std::move(loaded.bytes);
    source.count = loaded.count;
    source.data = elements.empty() ? nullptr : elements.data();
}

} // namespace

bool BufferDataRuntime::init(const void* description, uint8_t) {
    dataDesc = *static_cast<const BufferDataDesc*>(description);
    dataDesc.path[sizeof dataDesc.path - 1] = '\0';
    doubleBuffered = 0;

    const uint32_t elementSize = bufferDataElementSize(dataDesc.type);
    if (elementSize == 0) {
        std::fprintf(stderr, "BufferDataRuntime: unknown element type %d\n", int(dataDesc.type));
        return false;
    }
    if (!dataDesc.data)
        loadFile(dataDesc, fileElements_);

    desc = BufferDesc{};
    desc.constant = 0;
    desc.stride = elementSize;
    desc.countX = dataDesc.count;
    desc.countY = 1;
    desc.countZ = 1;
    desc.initialData = dataDesc.data;
    if (dataDesc.type == Byte) {
        desc.stride = kBytesPerPackedWord;
        desc.countX = (dataDesc.count + kBytesPerPackedWord - 1) / kBytesPerPackedWord;
        if (dataDesc.data) {
            packedByteWords_.assign(size_t(desc.countX) * kBytesPerPackedWord, 0);
            std::memcpy(packedByteWords_.data(), dataDesc.data, dataDesc.count);
            desc.initialData = packedByteWords_.data();
        }
    }
    return create();
}

bool BufferDataRuntime::release() {
    if (!fileElements_.empty() && dataDesc.data == fileElements_.data())
        dataDesc.data = nullptr;
    fileElements_ = {};
    packedByteWords_ = {};
    desc.initialData = nullptr;
    return BufferRuntime::release();
}

} // namespace Fennick::gfx
