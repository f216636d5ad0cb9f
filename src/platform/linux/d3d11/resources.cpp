#include "platform/linux/d3d11/resources.h"

#include <cstring>
#include <new>

#include "platform/linux/d3d11/debug_switches.h"
#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/refusals.h"

namespace quavel::d3d11 {
namespace {

constexpr UINT maxConstantBufferBytes = 4096 * 16;
constexpr UINT maxStructureStride = 2048;
constexpr UINT maxTexture1DWidth = 16384;
constexpr UINT maxTexture2DSize = D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION;
constexpr UINT maxTexture3DSize = D3D11_REQ_TEXTURE3D_U_V_OR_W_DIMENSION;

class BufferObject final : public DeviceChildObject<ID3D11Buffer>, public GlResource {
public:
    BufferObject(Device& device, const D3D11_BUFFER_DESC& desc)
        : DeviceChildObject(device), desc_(desc) {}
    ~BufferObject() override {
        if (name != 0) {
            device().makeCurrent();
            glDeleteBuffers(1, &name);
        }
    }
    void GetType(D3D11_RESOURCE_DIMENSION* dimension) override {
        *dimension = D3D11_RESOURCE_DIMENSION_BUFFER;
    }
    void GetDesc(D3D11_BUFFER_DESC* desc) override { *desc = desc_; }

private:
    D3D11_BUFFER_DESC desc_;
};

template <class Interface, class Desc>
class TextureObject final : public DeviceChildObject<Interface>, public GlResource {
public:
    TextureObject(Device& device, const Desc& desc)
        : DeviceChildObject<Interface>(device), desc_(desc) {}
    ~TextureObject() override {
        if (name != 0) {
            this->device().makeCurrent();
            glDeleteTextures(1, &name);
        }
    }
    void GetType(D3D11_RESOURCE_DIMENSION* type) override { *type = dimension; }
    void GetDesc(Desc* desc) override { *desc = desc_; }
    // A description asking for the full chain (0) reports the level count it got.
    void recordMipLevels() { desc_.MipLevels = levels; }

private:
    Desc desc_;
};

bool validUsage(D3D11_USAGE usage, UINT bindFlags, UINT cpuAccess, bool hasData) {
    switch (usage) {
    case D3D11_USAGE_DEFAULT:
        return cpuAccess == 0;
    case D3D11_USAGE_IMMUTABLE:
        return cpuAccess == 0 && hasData;
    case D3D11_USAGE_DYNAMIC:
        return cpuAccess == D3D11_CPU_ACCESS_WRITE &&
               (bindFlags & (D3D11_BIND_UNORDERED_ACCESS | D3D11_BIND_RENDER_TARGET |
                             D3D11_BIND_DEPTH_STENCIL)) == 0;
    case D3D11_USAGE_STAGING:
        return bindFlags == 0 && cpuAccess != 0 &&
               (cpuAccess & ~(D3D11_CPU_ACCESS_READ | D3D11_CPU_ACCESS_WRITE)) == 0;
    }
    return false;
}

bool validBufferDesc(const D3D11_BUFFER_DESC& desc, bool hasData) {
    if (desc.ByteWidth == 0 ||
        !validUsage(desc.Usage, desc.BindFlags, desc.CPUAccessFlags, hasData)) {
        return false;
    }
    if (desc.BindFlags & D3D11_BIND_CONSTANT_BUFFER) {
        // A constant buffer is bound as nothing else and holds whole 16-byte registers.
        return desc.BindFlags == D3D11_BIND_CONSTANT_BUFFER && desc.ByteWidth % 16 == 0 &&
               desc.ByteWidth <= maxConstantBufferBytes &&
               (desc.MiscFlags & D3D11_RESOURCE_MISC_BUFFER_STRUCTURED) == 0;
    }
    if (desc.MiscFlags & D3D11_RESOURCE_MISC_BUFFER_STRUCTURED) {
        UINT stride = desc.StructureByteStride;
        return stride != 0 && stride % 4 == 0 && stride <= maxStructureStride &&
               desc.ByteWidth % stride == 0;
    }
    return true;
}

// Contents of a buffer created without data: zeros, or the debug pattern (debug_switches.h).
void fillNewBuffer(GLuint name) {
    GLuint word = 0x01010101u * newResourceByte();
    glClearNamedBufferData(name, GL_R32UI, GL_RED_INTEGER, GL_UNSIGNED_INT, &word);
}

struct TextureShape {
    D3D11_RESOURCE_DIMENSION dimension;
    UINT width, height, depth, mipLevels, arraySize, sampleCount;
    DXGI_FORMAT format;
    D3D11_USAGE usage;
    UINT bindFlags, cpuAccessFlags, miscFlags;
};

UINT fullMipCount(UINT largest) {
    UINT count = 1;
    while (largest > 1) {
        largest >>= 1;
        ++count;
    }
    return count;
}

UINT maxSizeOf(D3D11_RESOURCE_DIMENSION dimension) {
    switch (dimension) {
    case D3D11_RESOURCE_DIMENSION_TEXTURE1D:
        return maxTexture1DWidth;
    case D3D11_RESOURCE_DIMENSION_TEXTURE2D:
        return maxTexture2DSize;
    default:
        return maxTexture3DSize;
    }
}

// Fills levels and format of `texture`; false when Direct3D would refuse the description.
bool acceptTextureShape(const TextureShape& shape, bool hasData, GlResource& texture) {
    const FormatInfo* format = findFormat(shape.format);
    UINT limit = maxSizeOf(shape.dimension);
    if (format == nullptr || shape.width == 0 || shape.height == 0 || shape.depth == 0 ||
        shape.width > limit || shape.height > limit || shape.depth > limit ||
        shape.arraySize != 1 || shape.sampleCount != 1 ||
        !validUsage(shape.usage, shape.bindFlags, shape.cpuAccessFlags, hasData) ||
        (shape.bindFlags & D3D11_BIND_CONSTANT_BUFFER)) {
        return false;
    }
    UINT largest = shape.width > shape.height ? shape.width : shape.height;
    largest = largest > shape.depth ? largest : shape.depth;
    UINT maxLevels = fullMipCount(largest);
    UINT levels = shape.mipLevels == 0 ? maxLevels : shape.mipLevels;
    if (levels > maxLevels) {
        return false;
    }
    const UINT colourOnly =
        D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET | D3D11_BIND_UNORDERED_ACCESS;
    if (isDepthFormat(*format)) {
        // Typed depth formats are depth-stencil targets only, and 3D ones do not exist.
        if ((shape.bindFlags & colourOnly) ||
            shape.dimension == D3D11_RESOURCE_DIMENSION_TEXTURE3D) {
            return false;
        }
    } else if (shape.bindFlags & D3D11_BIND_DEPTH_STENCIL) {
        return false;
    }
    if ((shape.bindFlags & D3D11_BIND_UNORDERED_ACCESS) && format->imageQualifier == nullptr) {
        return false;
    }
    if ((shape.miscFlags & D3D11_RESOURCE_MISC_GENERATE_MIPS) &&
        (shape.bindFlags & (D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE)) !=
            (D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE)) {
        return false;
    }
    texture.dimension = shape.dimension;
    texture.usage = shape.usage;
    texture.bindFlags = shape.bindFlags;
    texture.cpuAccessFlags = shape.cpuAccessFlags;
    texture.miscFlags = shape.miscFlags;
    texture.format = format;
    texture.width = shape.width;
    texture.height = shape.height;
    texture.depth = shape.depth;
    texture.levels = levels;
    return true;
}

GLenum glTargetOf(D3D11_RESOURCE_DIMENSION dimension) {
    switch (dimension) {
    case D3D11_RESOURCE_DIMENSION_TEXTURE1D:
        return GL_TEXTURE_1D;
    case D3D11_RESOURCE_DIMENSION_TEXTURE2D:
        return GL_TEXTURE_2D;
    default:
        return GL_TEXTURE_3D;
    }
}

void allocateTextureStorage(GlResource& texture) {
    const FormatInfo& format = *texture.format;
    texture.target = glTargetOf(texture.dimension);
    glCreateTextures(texture.target, 1, &texture.name);
    switch (texture.target) {
    case GL_TEXTURE_1D:
        glTextureStorage1D(texture.name, texture.levels, format.internalFormat, texture.width);
        break;
    case GL_TEXTURE_2D:
        glTextureStorage2D(texture.name, texture.levels, format.internalFormat, texture.width,
                           texture.height);
        break;
    default:
        glTextureStorage3D(texture.name, texture.levels, format.internalFormat, texture.width,
                           texture.height, texture.depth);
        break;
    }
    // Nearest filtering keeps integer textures complete for texel fetches without a sampler.
    glTextureParameteri(texture.name, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTextureParameteri(texture.name, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // Direct3D leaves new resources undefined; zeros make every run start alike, and the debug
    // pattern shows what reads them before writing. A texel of the transfer format is at most
    // 16 bytes.
    if (!isDepthFormat(format)) {
        unsigned char texel[16];
        std::memset(texel, newResourceByte(), sizeof texel);
        for (UINT level = 0; level < texture.levels; ++level) {
            glClearTexImage(texture.name, level, format.transferFormat, format.transferType,
                            newResourceByte() ? texel : nullptr);
        }
    }
}

void fillTexture(GlResource& texture, const D3D11_SUBRESOURCE_DATA* initialData) {
    for (UINT level = 0; level < texture.levels; ++level) {
        const D3D11_SUBRESOURCE_DATA& source = initialData[level];
        D3D11_BOX box = {0,
                         0,
                         0,
                         texture.levelWidth(level),
                         texture.levelHeight(level),
                         texture.levelDepth(level)};
        if (texture.isStaging()) {
            uint8_t* target = texture.shadow.data() + texture.levelOffset(level);
            UINT rowPitch = source.SysMemPitch ? source.SysMemPitch : texture.rowPitch(level);
            UINT slicePitch =
                source.SysMemSlicePitch ? source.SysMemSlicePitch : texture.depthPitch(level);
            for (UINT z = 0; z < box.back; ++z) {
                for (UINT y = 0; y < box.bottom; ++y) {
                    std::memcpy(
                        target + z * texture.depthPitch(level) + y * texture.rowPitch(level),
                        static_cast<const uint8_t*>(source.pSysMem) + z * slicePitch + y * rowPitch,
                        texture.rowPitch(level));
                }
            }
        } else {
            uploadTextureRegion(texture, level, box, source.pSysMem, source.SysMemPitch,
                                source.SysMemSlicePitch);
        }
    }
}

// Mip generation renders each level from the one above: the texture must be a render target
// and a shader resource of a format that can be filtered and rendered.
const char* mipGenerationRule(const TextureShape& shape) {
    if (!(shape.miscFlags & D3D11_RESOURCE_MISC_GENERATE_MIPS)) {
        return nullptr;
    }
    const UINT needed = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    if ((shape.bindFlags & needed) != needed) {
        return "MiscFlags GENERATE_MIPS needs BindFlags RENDER_TARGET and SHADER_RESOURCE";
    }
    const FormatInfo* format = findFormat(shape.format);
    if (format != nullptr && format->kind != FormatKind::Float) {
        return "MiscFlags GENERATE_MIPS: integer and depth formats cannot generate mips";
    }
    return nullptr;
}

template <class Interface, class Desc>
HRESULT finishTexture(Device& device, const char* call, const Desc& desc, const TextureShape& shape,
                      const D3D11_SUBRESOURCE_DATA* initialData, Interface** out) {
    if (const char* rule = mipGenerationRule(shape)) {
        return refuse(call, rule);
    }
    auto* texture = new (std::nothrow) TextureObject<Interface, Desc>(device, desc);
    if (texture == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (!acceptTextureShape(shape, initialData != nullptr, *texture)) {
        texture->Release();
        return refuse(call, "size, MipLevels, ArraySize 1, SampleDesc.Count 1, a supported "
                            "format, Usage/CPUAccessFlags/BindFlags that go together, or "
                            "MiscFlags this layer knows");
    }
    texture->recordMipLevels();
    if (initialData != nullptr) {
        for (UINT level = 0; level < texture->levels; ++level) {
            if (initialData[level].pSysMem == nullptr) {
                texture->Release();
                return refuse(call, "initial data: pSysMem is null for a mip level");
            }
        }
    }
    device.makeCurrent();
    if (texture->isStaging()) {
        texture->shadow.assign(texture->totalSize(), newResourceByte());
    } else {
        allocateTextureStorage(*texture);
    }
    if (initialData != nullptr) {
        fillTexture(*texture, initialData);
    }
    if (out == nullptr) {
        // Direct3D's way of validating a description without creating the resource.
        texture->Release();
        return S_FALSE;
    }
    *out = texture;
    return S_OK;
}

void writeTexels(const GlResource& texture, UINT level, UINT x, UINT y, UINT z, UINT width,
                 UINT height, UINT depth, const void* data) {
    const FormatInfo& format = *texture.format;
    switch (texture.target) {
    case GL_TEXTURE_1D:
        glTextureSubImage1D(texture.name, level, x, width, format.transferFormat,
                            format.transferType, data);
        break;
    case GL_TEXTURE_2D:
        glTextureSubImage2D(texture.name, level, x, y, width, height, format.transferFormat,
                            format.transferType, data);
        break;
    default:
        glTextureSubImage3D(texture.name, level, x, y, z, width, height, depth,
                            format.transferFormat, format.transferType, data);
        break;
    }
}

} // namespace

size_t GlResource::levelOffset(UINT level) const {
    size_t offset = 0;
    for (UINT i = 0; i < level; ++i) {
        offset += levelSize(i);
    }
    return offset;
}

size_t GlResource::totalSize() const {
    return isBuffer() ? byteWidth : levelOffset(levels);
}

GlResource* glResource(ID3D11Resource* resource) {
    return dynamic_cast<GlResource*>(resource);
}

HRESULT createBuffer(Device& device, const D3D11_BUFFER_DESC* desc,
                     const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Buffer** out) {
    bool hasData = initialData != nullptr && initialData->pSysMem != nullptr;
    if (desc == nullptr || !validBufferDesc(*desc, hasData) ||
        (initialData != nullptr && initialData->pSysMem == nullptr)) {
        return refuse("CreateBuffer", "a null description, a null pSysMem, or ByteWidth, "
                                      "Usage, BindFlags, MiscFlags and StructureByteStride "
                                      "that do not go together");
    }
    if (out == nullptr) {
        return S_FALSE;
    }
    auto* buffer = new (std::nothrow) BufferObject(device, *desc);
    if (buffer == nullptr) {
        return E_OUTOFMEMORY;
    }
    buffer->dimension = D3D11_RESOURCE_DIMENSION_BUFFER;
    buffer->usage = desc->Usage;
    buffer->bindFlags = desc->BindFlags;
    buffer->cpuAccessFlags = desc->CPUAccessFlags;
    buffer->miscFlags = desc->MiscFlags;
    buffer->byteWidth = desc->ByteWidth;
    buffer->structureStride =
        (desc->MiscFlags & D3D11_RESOURCE_MISC_BUFFER_STRUCTURED) ? desc->StructureByteStride : 0;
    const void* data = hasData ? initialData->pSysMem : nullptr;
    if (buffer->isStaging()) {
        buffer->shadow.assign(desc->ByteWidth, newResourceByte());
        if (data != nullptr) {
            std::memcpy(buffer->shadow.data(), data, desc->ByteWidth);
        }
    } else {
        device.makeCurrent();
        glCreateBuffers(1, &buffer->name);
        glNamedBufferStorage(buffer->name, desc->ByteWidth, data, GL_DYNAMIC_STORAGE_BIT);
        if (data == nullptr) {
            fillNewBuffer(buffer->name);
        }
    }
    *out = buffer;
    return S_OK;
}

HRESULT createTexture1D(Device& device, const D3D11_TEXTURE1D_DESC* desc,
                        const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Texture1D** out) {
    if (desc == nullptr) {
        return E_INVALIDARG;
    }
    TextureShape shape = {D3D11_RESOURCE_DIMENSION_TEXTURE1D,
                          desc->Width,
                          1,
                          1,
                          desc->MipLevels,
                          desc->ArraySize,
                          1,
                          desc->Format,
                          desc->Usage,
                          desc->BindFlags,
                          desc->CPUAccessFlags,
                          desc->MiscFlags};
    return finishTexture(device, "CreateTexture1D", *desc, shape, initialData, out);
}

HRESULT createTexture2D(Device& device, const D3D11_TEXTURE2D_DESC* desc,
                        const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Texture2D** out) {
    if (desc == nullptr) {
        return E_INVALIDARG;
    }
    if (desc->SampleDesc.Quality != 0) {
        return refuse("CreateTexture2D", "SampleDesc.Quality must be 0 for one sample");
    }
    TextureShape shape = {D3D11_RESOURCE_DIMENSION_TEXTURE2D,
                          desc->Width,
                          desc->Height,
                          1,
                          desc->MipLevels,
                          desc->ArraySize,
                          desc->SampleDesc.Count,
                          desc->Format,
                          desc->Usage,
                          desc->BindFlags,
                          desc->CPUAccessFlags,
                          desc->MiscFlags};
    return finishTexture(device, "CreateTexture2D", *desc, shape, initialData, out);
}

HRESULT createTexture3D(Device& device, const D3D11_TEXTURE3D_DESC* desc,
                        const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Texture3D** out) {
    if (desc == nullptr) {
        return E_INVALIDARG;
    }
    TextureShape shape = {D3D11_RESOURCE_DIMENSION_TEXTURE3D,
                          desc->Width,
                          desc->Height,
                          desc->Depth,
                          desc->MipLevels,
                          1,
                          1,
                          desc->Format,
                          desc->Usage,
                          desc->BindFlags,
                          desc->CPUAccessFlags,
                          desc->MiscFlags};
    return finishTexture(device, "CreateTexture3D", *desc, shape, initialData, out);
}

void uploadTextureRegion(const GlResource& texture, UINT level, const D3D11_BOX& box,
                         const void* data, UINT rowPitch, UINT depthPitch) {
    const FormatInfo& format = *texture.format;
    UINT width = box.right - box.left;
    UINT height = box.bottom - box.top;
    UINT depth = box.back - box.front;
    rowPitch = rowPitch ? rowPitch : width * format.bytesPerTexel;
    depthPitch = depthPitch ? depthPitch : rowPitch * height;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (format.kind == FormatKind::DepthStencil) {
        // Reordered texel by texel into a packed block.
        std::vector<uint32_t> packed;
        packed.reserve(size_t(width) * height * depth);
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        for (UINT z = 0; z < depth; ++z) {
            for (UINT y = 0; y < height; ++y) {
                for (UINT x = 0; x < width; ++x) {
                    uint32_t texel;
                    std::memcpy(&texel,
                                bytes + size_t(z) * depthPitch + size_t(y) * rowPitch + x * 4, 4);
                    packed.push_back(depthStencilToGl(texel));
                }
            }
        }
        writeTexels(texture, level, box.left, box.top, box.front, width, height, depth,
                    packed.data());
        return;
    }
    if (rowPitch % format.bytesPerTexel == 0 && depthPitch % rowPitch == 0) {
        glPixelStorei(GL_UNPACK_ROW_LENGTH, rowPitch / format.bytesPerTexel);
        glPixelStorei(GL_UNPACK_IMAGE_HEIGHT, depthPitch / rowPitch);
        writeTexels(texture, level, box.left, box.top, box.front, width, height, depth, data);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_IMAGE_HEIGHT, 0);
        return;
    }
    // Pitches OpenGL cannot express in texels: one row at a time.
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (UINT z = 0; z < depth; ++z) {
        for (UINT y = 0; y < height; ++y) {
            writeTexels(texture, level, box.left, box.top + y, box.front + z, width, 1, 1,
                        bytes + size_t(z) * depthPitch + size_t(y) * rowPitch);
        }
    }
}

} // namespace quavel::d3d11
