// Direct3D 11 enumerations as WebGPU names, field by field, for the states the web Direct3D
// layer forwards with their Direct3D values. An unknown value is a fault of the caller:
// lookups throw rather than guess.

function table(name, entries) {
    const map = new Map(entries);
    return (value) => {
        if (!map.has(value)) {
            throw new Error(`${name}: no WebGPU equivalent for ${value}`);
        }
        return map.get(value);
    };
}

// DXGI_FORMAT -> texture format, bytes per texel. The 16-bit float formats name the 32-bit
// format that holds them where the device can filter and blend it (`wide`, gpu_device.js).
export const textureFormat = table("DXGI_FORMAT", [
    [2, { format: "rgba32float", bytes: 16 }],
    [3, { format: "rgba32uint", bytes: 16 }],
    [10, { format: "rgba16float", bytes: 8, wide: "rgba32float" }],
    [16, { format: "rg32float", bytes: 8 }],
    [28, { format: "rgba8unorm", bytes: 4 }],
    [40, { format: "depth32float", bytes: 4 }],
    [41, { format: "r32float", bytes: 4 }],
    [42, { format: "r32uint", bytes: 4 }],
    [45, { format: "depth24plus-stencil8", bytes: 4 }],
    [54, { format: "r16float", bytes: 2, wide: "r32float" }],
    [61, { format: "r8unorm", bytes: 1 }],
    [87, { format: "bgra8unorm", bytes: 4 }],
]);

// D3D11_BLEND
export const blendFactor = table("D3D11_BLEND", [
    [1, "zero"],
    [2, "one"],
    [3, "src"],
    [4, "one-minus-src"],
    [5, "src-alpha"],
    [6, "one-minus-src-alpha"],
    [7, "dst-alpha"],
    [8, "one-minus-dst-alpha"],
    [9, "dst"],
    [10, "one-minus-dst"],
    [11, "src-alpha-saturated"],
    [14, "constant"],
    [15, "one-minus-constant"],
]);

// D3D11_BLEND_OP
export const blendOperation = table("D3D11_BLEND_OP", [
    [1, "add"],
    [2, "subtract"],
    [3, "reverse-subtract"],
    [4, "min"],
    [5, "max"],
]);

// D3D11_COMPARISON_FUNC
export const compareFunction = table("D3D11_COMPARISON_FUNC", [
    [1, "never"],
    [2, "less"],
    [3, "equal"],
    [4, "less-equal"],
    [5, "greater"],
    [6, "not-equal"],
    [7, "greater-equal"],
    [8, "always"],
]);

// D3D11_CULL_MODE
export const cullMode = table("D3D11_CULL_MODE", [
    [1, "none"],
    [2, "front"],
    [3, "back"],
]);

// D3D11_PRIMITIVE_TOPOLOGY
export const topology = table("D3D11_PRIMITIVE_TOPOLOGY", [
    [1, "point-list"],
    [2, "line-list"],
    [3, "line-strip"],
    [4, "triangle-list"],
    [5, "triangle-strip"],
]);

// D3D11_TEXTURE_ADDRESS_MODE. WebGPU has no border colour: BORDER clamps to the edge (the
// show creates border samplers but none of its programs reads through one).
export const addressMode = table("D3D11_TEXTURE_ADDRESS_MODE", [
    [1, "repeat"],
    [2, "mirror-repeat"],
    [3, "clamp-to-edge"],
    [4, "clamp-to-edge"],
]);

// D3D11_FILTER: min, mag and mip each point or linear by one bit; anisotropic filters are
// linear in all three; bit 0x80 makes a comparison sampler.
export function samplerFilter(filter) {
    const anisotropic = (filter & 0x40) !== 0;
    const pick = (bit) => (anisotropic || (filter & bit) !== 0 ? "linear" : "nearest");
    return {
        minFilter: pick(0x10),
        magFilter: pick(0x04),
        mipmapFilter: pick(0x01),
        comparison: (filter & 0x80) !== 0,
    };
}

// D3D11_BIND_FLAG bits.
export const bind = {
    vertexBuffer: 0x1,
    indexBuffer: 0x2,
    constantBuffer: 0x4,
    shaderResource: 0x8,
    renderTarget: 0x20,
    depthStencil: 0x40,
    unorderedAccess: 0x80,
};

// The web block's binding kinds (src/platform/web/d3d11/wgsl_block.h) and the register
// array of a stage each one reads.
export const bindingKind = {
    1: { register: "t", layout: () => ({ texture: { sampleType: "float" } }) },
    2: { register: "s", layout: () => ({ sampler: { type: "filtering" } }) },
    3: { register: "b", layout: () => ({ buffer: { type: "uniform" } }) },
    4: { register: "t", layout: () => ({ buffer: { type: "read-only-storage" } }) },
    5: { register: "u", layout: () => ({ buffer: { type: "storage" } }) },
};
