// The "quavel_gpu" imports of a module built with the web Direct3D layer
// (src/platform/web/d3d11/gpu_imports.h): WebGPU objects in a table of handles, and the
// layer's command records (gpu_command.h) read from the module's memory.
//
//     const gpu = await GpuDevice.open();
//     const imports = gpuImports(gpu, () => instance.exports.memory);
//     instance = await instantiateWasi(bytes, { quavel_gpu: imports.calls });
//     const run = WebAssembly.promising(instance.exports.quavel_...); // may read back
//
// A call that WebGPU refuses throws inside the JavaScript half; the creation calls answer 0
// instead, which the layer turns into Direct3D's failure, and the reason is kept in `failures`.
import * as d3d from "./d3d_tables.js";

// StageRegisters: t[128], s[16], b[14], u[8], 32 bits each.
const registerCounts = { t: 128, s: 16, b: 14, u: 8 };
const stageWords = 166;

export function gpuImports(gpu, memoryOf) {
    const objects = new Map();
    let next = 1;
    const failures = [];
    const put = (object) => {
        objects.set(next, object);
        return next++;
    };
    const get = (handle) => (handle === 0 ? null : objects.get(handle) ?? null);
    const view = () => new DataView(memoryOf().buffer);
    const bytes = (pointer, length) => new Uint8Array(memoryOf().buffer, pointer, length);
    // A creation: its handle, or 0 with the reason kept.
    const create = (what, make) => {
        try {
            return put(make());
        } catch (error) {
            failures.push(`${what}: ${error.message}`);
            return 0;
        }
    };

    const registers = (at) => {
        const v = view();
        const out = {};
        for (const [name, count] of Object.entries(registerCounts)) {
            out[name] = [];
            for (let i = 0; i < count; ++i, at += 4) {
                const handle = v.getUint32(at, true);
                if (handle !== 0) {
                    out[name][i] = get(handle);
                }
            }
        }
        return out;
    };

    const calls = {
        texture_create: (width, height, levels, format, bind) =>
            create("texture", () => gpu.createTexture({ width, height, levels, format, bind })),
        buffer_create: (byteWidth, bind) => create("buffer", () => gpu.createBuffer({ byteWidth, bind })),
        object_release: (handle) => {
            get(handle)?.destroy?.();
            objects.delete(handle);
        },
        buffer_write: (handle, offset, pointer, size) => gpu.writeBuffer(get(handle), offset, bytes(pointer, size).slice()),
        texture_write: (handle, level, x, y, width, height, pointer, rowPitch) => {
            const texture = get(handle);
            const size = rowPitch * (height - 1) + width * texture.bytes;
            gpu.writeTexture(texture, bytes(pointer, size).slice(), rowPitch, { level, x, y, width, height });
        },
        program_create: (pointer, size) => create("program", () => gpu.createProgram(bytes(pointer, size).slice())),
        // D3D11_SAMPLER_DESC: Filter, AddressU, V, W, MipLODBias, MaxAnisotropy, ComparisonFunc,
        // BorderColor[4], MinLOD, MaxLOD.
        sampler_create: (at) => create("sampler", () => {
            const v = view();
            return gpu.createSampler({
                filter: v.getUint32(at, true),
                addressU: v.getUint32(at + 4, true),
                addressV: v.getUint32(at + 8, true),
                addressW: v.getUint32(at + 12, true),
                maxAnisotropy: v.getUint32(at + 20, true),
                minLod: v.getFloat32(at + 44, true),
                maxLod: v.getFloat32(at + 48, true),
            });
        }),
        // D3D11_BLEND_DESC: AlphaToCoverageEnable, IndependentBlendEnable, then eight targets of
        // BlendEnable, SrcBlend, DestBlend, BlendOp, SrcBlendAlpha, DestBlendAlpha, BlendOpAlpha
        // and an 8-bit write mask, 32 bytes each.
        blend_state_create: (at) => create("blend state", () => {
            const v = view();
            const targets = [];
            for (let i = 0; i < 8; ++i) {
                const t = at + 8 + 32 * i;
                const target = {
                    enable: v.getUint32(t, true) !== 0,
                    src: v.getUint32(t + 4, true),
                    dest: v.getUint32(t + 8, true),
                    op: v.getUint32(t + 12, true),
                    srcAlpha: v.getUint32(t + 16, true),
                    destAlpha: v.getUint32(t + 20, true),
                    opAlpha: v.getUint32(t + 24, true),
                    writeMask: v.getUint8(t + 28),
                };
                if (target.enable) {
                    // Refused now rather than at the first draw.
                    [target.src, target.dest, target.srcAlpha, target.destAlpha].forEach(d3d.blendFactor);
                    [target.op, target.opAlpha].forEach(d3d.blendOperation);
                }
                targets.push(target);
            }
            return gpu.createBlendState({
                alphaToCoverage: v.getUint32(at, true) !== 0,
                independent: v.getUint32(at + 4, true) !== 0,
                targets,
            });
        }),
        // D3D11_RASTERIZER_DESC: FillMode, CullMode, FrontCounterClockwise, DepthBias,
        // DepthBiasClamp, SlopeScaledDepthBias, DepthClipEnable, ...
        rasterizer_state_create: (at) => create("rasterizer state", () => {
            const v = view();
            const cull = v.getUint32(at + 4, true);
            d3d.cullMode(cull);
            return gpu.createRasterizerState({
                cull,
                frontCounterClockwise: v.getUint32(at + 8, true) !== 0,
                depthClip: v.getUint32(at + 24, true) !== 0,
            });
        }),
        draw: (at) => {
            const v = view();
            const word = (offset) => v.getUint32(at + offset, true);
            const float = (offset) => v.getFloat32(at + offset, true);
            const targetCount = word(20);
            const targets = [];
            const targetLevels = [];
            for (let i = 0; i < targetCount; ++i) {
                targets.push(get(word(24 + 4 * i)));
                targetLevels.push(word(56 + 4 * i));
            }
            gpu.draw({
                vertex: get(word(0)),
                pixel: get(word(4)),
                blend: get(word(8)) ?? undefined,
                raster: get(word(12)) ?? undefined,
                topology: word(16),
                targets,
                targetLevels,
                depthTarget: get(word(88)) ?? undefined,
                viewport: { x: float(96), y: float(100), width: float(104), height: float(108), minDepth: float(112), maxDepth: float(116) },
                blendFactor: [float(120), float(124), float(128), float(132)],
                vertexCount: word(136),
                instanceCount: word(140),
                startVertex: word(144),
                startInstance: word(148),
                resources: { vertex: registers(at + 152), pixel: registers(at + 152 + 4 * stageWords) },
            });
        },
        dispatch: (at) => {
            const v = view();
            gpu.dispatch({
                program: get(v.getUint32(at, true)),
                x: v.getUint32(at + 4, true),
                y: v.getUint32(at + 8, true),
                z: v.getUint32(at + 12, true),
                resources: registers(at + 16),
            });
        },
        clear_target: (handle, level, at) => {
            const v = view();
            const rgba = [0, 4, 8, 12].map((o) => v.getFloat32(at + o, true));
            gpu.clearTarget(get(handle), { r: rgba[0], g: rgba[1], b: rgba[2], a: rgba[3] }, level);
        },
        clear_depth: (handle, depth) => gpu.clearDepth(get(handle), depth),
        copy_texture: (destination, destinationLevel, x, y, source, sourceLevel, left, top, width, height) =>
            gpu.copyTexture(get(destination), get(source), { destinationLevel, x, y, sourceLevel, left, top, width, height }),
        copy_buffer: (destination, destinationOffset, source, sourceOffset, size) =>
            gpu.copyBuffer(get(destination), get(source), { destinationOffset, sourceOffset, size }),
        generate_mips: (handle) => gpu.generateMips(get(handle)),
        // The two reads wait for the GPU: the module is suspended meanwhile.
        read_texture: new WebAssembly.Suspending(async (handle, level, pointer, rowPitch) => {
            const texture = get(handle);
            const texels = await gpu.readTexture(texture, level);
            const rowBytes = Math.max(1, texture.width >> level) * texture.bytes;
            const rows = texels.length / rowBytes;
            for (let row = 0; row < rows; ++row) {
                bytes(pointer + row * rowPitch, rowBytes).set(texels.subarray(row * rowBytes, (row + 1) * rowBytes));
            }
        }),
        read_buffer: new WebAssembly.Suspending(async (handle, pointer, size) => {
            const data = await gpu.readBuffer(get(handle));
            bytes(pointer, size).set(data.subarray(0, size));
        }),
    };
    return { calls, failures, get };
}
