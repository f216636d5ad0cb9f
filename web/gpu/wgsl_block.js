// The web build's shader block (src/platform/web/d3d11/wgsl_block.h): stage, binding table
// and WGSL text, as the Direct3D layer hands it over when it creates a shader.

const magic = 0x53475751; // "QWGS"
const version = 1;
export const stages = ["vertex", "pixel", "compute"];

export function parseWgslBlock(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    if (bytes.byteLength < 20 || view.getUint32(0, true) !== magic || view.getUint32(4, true) !== version) {
        throw new Error("not a WGSL block of this build");
    }
    const stage = stages[view.getUint32(8, true)];
    const count = view.getUint32(12, true);
    const length = view.getUint32(16, true);
    if (!stage || bytes.byteLength !== 20 + count * 8 + length) {
        throw new Error("malformed WGSL block");
    }
    const bindings = [];
    for (let i = 0; i < count; ++i) {
        const at = 20 + i * 8;
        bindings.push({
            kind: view.getUint8(at),
            group: view.getUint8(at + 1),
            binding: view.getUint16(at + 2, true),
            register: view.getUint32(at + 4, true),
        });
    }
    const wgsl = new TextDecoder().decode(bytes.subarray(20 + count * 8));
    return { stage, bindings, wgsl };
}
