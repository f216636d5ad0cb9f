// The WebGPU side of the web Direct3D 11 layer (src/platform/web/d3d11/): resources, programs
// from the build's WGSL blocks, samplers and the three state objects, and the commands the
// layer records, with Direct3D's meanings.
//
//     const gpu = await GpuDevice.open();          // null where the browser has no WebGPU
//     const program = gpu.createProgram(blockBytes); // a block from the build
//     gpu.draw({ vertex, pixel, targets: [texture], resources: { pixel: { t: [src], s: [smp] } },
//                topology: 4, vertexCount: 3, viewport: { x: 0, y: 0, width, height } });
//     const rgba = await gpu.readTexture(texture); // rows top first, tightly packed
//
// Conventions kept from Direct3D: texture row 0 is the top row and clip y = +1 the top (the
// programs are built so), depth runs 0 to 1, an unbound texture or buffer reads zero, and
// everything a command writes is seen by every later command: writes from the CPU wait for
// the commands recorded before them (the open command encoder is submitted first).
// WebGPU pipelines cannot change, so one is made per combination of programs, target formats
// and states, and kept.
import * as d3d from "./d3d_tables.js";
import { parseWgslBlock } from "./wgsl_block.js";

const entryPoint = { vertex: "vertex_main", pixel: "pixel_main", compute: "kernel_main" };
const optionalFeatures = ["float32-filterable", "float32-blendable", "depth-clip-control"];
const zeroBufferSize = 65536;

// GenerateMips' filter: each texel of a level the mean of the 2 x 2 above it (a linear sample
// at their shared corner).
const mipWgsl = `
@group(0) @binding(0) var above: texture_2d<f32>;
@group(0) @binding(1) var linear: sampler;
struct Out { @builtin(position) position: vec4<f32>, @location(0) uv: vec2<f32> }
@vertex fn vertex_main(@builtin(vertex_index) i: u32) -> Out {
    let uv = vec2<f32>(f32((i << 1u) & 2u), f32(i & 2u));
    return Out(vec4<f32>(uv.x * 2.0 - 1.0, 1.0 - uv.y * 2.0, 0.0, 1.0), uv);
}
@fragment fn pixel_main(v: Out) -> @location(0) vec4<f32> {
    return textureSampleLevel(above, linear, v.uv, 0.0);
}`;

// Direct3D converts a pixel's float32 colour into a 16-bit float target rounding toward zero,
// so a value beyond the format's range is stored as its largest finite value, and blends at
// least at that precision. WebGPU rounds to nearest and blends 16-bit targets at 16-bit
// precision: a bright pixel blended over another becomes infinity, then NaN (inf - inf), and
// later passes spread the NaN. So 16-bit float textures are held as 32-bit ones where the
// device can filter and blend those (their data converted at the CPU's side, where Direct3D's
// 16-bit layout is kept), and programs that write them have their output clamped to the 16-bit
// range and rounded to its precision (a variant of their WGSL, made on first use).
const halfFloatMax = 65504;
const wideFeatures = ["float32-filterable", "float32-blendable"];

// float32 <-> float16 bits; to 16 bits rounding to nearest, beyond the range its largest value.
const f32 = new Float32Array(1);
const u32 = new Uint32Array(f32.buffer);
export function halfToFloat(h) {
    const sign = h & 0x8000 ? -1 : 1;
    const exponent = (h >> 10) & 31;
    const mantissa = h & 1023;
    if (exponent === 31) {
        return mantissa ? NaN : sign * Infinity;
    }
    return sign * (exponent ? 2 ** (exponent - 15) * (1 + mantissa / 1024) : 2 ** -14 * (mantissa / 1024));
}
export function floatToHalf(value) {
    if (Number.isNaN(value)) {
        return 0x7e00;
    }
    const clamped = Math.max(-halfFloatMax, Math.min(halfFloatMax, value));
    f32[0] = clamped;
    const bits = u32[0];
    const sign = (bits >>> 16) & 0x8000;
    const magnitude = Math.abs(clamped);
    if (magnitude < 2 ** -24) {
        return sign;
    }
    if (magnitude < 2 ** -14) {
        return sign | Math.round(magnitude / 2 ** -24);
    }
    const exponent = ((bits >>> 23) & 255) - 127;
    let mantissa = Math.round((bits & 0x7fffff) / 8192);
    let e = exponent + 15;
    if (mantissa === 1024) {
        mantissa = 0;
        e += 1;
    }
    return sign | (e << 10) | mantissa;
}

// The WGSL with the fragment entry point's vec4 result as a 16-bit float target stores it:
// clamped to the range and rounded to 16-bit precision (the 32-bit texture holding it would
// keep more, and the show's thresholds, such as its dither's, see the difference). Null when
// the entry point returns anything else.
export function halfClampedWgsl(wgsl) {
    const entry = wgsl.search(/@fragment\s+fn pixel_main\([^\n]*\)\s*->\s*@location\(0\)\s*vec4<f32>\s*\{/);
    if (entry < 0) {
        return null;
    }
    const body = wgsl.slice(entry).replace(/return ([^;]+);/g, "return quavel_as_half($1);");
    return `${wgsl.slice(0, entry)}fn quavel_as_half(v: vec4<f32>) -> vec4<f32> {
    let c = clamp(v, vec4<f32>(-${halfFloatMax}f), vec4<f32>(${halfFloatMax}f));
    return vec4<f32>(unpack2x16float(pack2x16float(c.xy)), unpack2x16float(pack2x16float(c.zw)));
}

${body}`;
}

const defaultBlend = { id: "blend0", alphaToCoverage: false, targets: [{ enable: false, writeMask: 0xf }] };
const defaultDepth = { id: "depth0", depthEnable: true, writeAll: true, compare: 2 };
const defaultRaster = { id: "raster0", cull: 3, frontCounterClockwise: false, depthClip: true };

export class GpuDevice {
    static async open() {
        const adapter = await navigator.gpu?.requestAdapter();
        if (!adapter) {
            return null;
        }
        const requiredFeatures = optionalFeatures.filter((f) => adapter.features.has(f));
        const device = await adapter.requestDevice({ requiredFeatures });
        const gpu = new GpuDevice(device, new Set(requiredFeatures));
        // Held for the device's life: Chromium loses a device whose adapter was collected.
        gpu.adapter = adapter;
        return gpu;
    }

    constructor(device, features) {
        this.device = device;
        this.features = features;
        this.pipelines = new Map();
        this.nextId = 1;
        this.encoder = null;
        this.errors = [];
        device.addEventListener("uncapturederror", (event) => this.errors.push(event.error.message));
        // What an unbound texture or buffer register reads: zeros.
        this.zeroTexture = this.createTexture({ width: 1, height: 1, format: 28, bind: d3d.bind.shaderResource });
        this.zeroBuffer = device.createBuffer({
            size: zeroBufferSize,
            usage: GPUBufferUsage.UNIFORM | GPUBufferUsage.STORAGE,
        });
        // An unbound sampler register samples as Direct3D's default sampler state does.
        this.defaultSampler = device.createSampler({ minFilter: "linear", magFilter: "linear", mipmapFilter: "linear" });
    }

    // D3D11_TEXTURE2D_DESC's size, levels, DXGI format and bind flags. Every texture can be
    // sampled and copied, as a Direct3D texture can be copied and viewed whatever its flags.
    createTexture({ width, height, levels = 1, format, bind }) {
        const known = d3d.textureFormat(format);
        const widened = known.wide !== undefined && wideFeatures.every((f) => this.features.has(f));
        const gpuFormat = widened ? known.wide : known.format;
        const bytes = known.bytes;
        const gpuBytes = widened ? bytes * 2 : bytes;
        const isDepth = gpuFormat.startsWith("depth");
        let usage = GPUTextureUsage.COPY_DST | GPUTextureUsage.TEXTURE_BINDING;
        if (!gpuFormat.includes("stencil")) {
            usage |= GPUTextureUsage.COPY_SRC;
        }
        if (bind & (d3d.bind.renderTarget | d3d.bind.depthStencil) || levels > 1) {
            usage |= GPUTextureUsage.RENDER_ATTACHMENT;
        }
        const texture = this.device.createTexture({ size: [width, height], mipLevelCount: levels, format: gpuFormat, usage });
        const view = texture.createView(isDepth ? { aspect: "depth-only" } : {});
        const levelViews = [];
        const levelView = (level) => (levelViews[level] ??= texture.createView({ baseMipLevel: level, mipLevelCount: 1 }));
        return {
            id: this.nextId++, texture, view, levelView, format: gpuFormat, bytes, gpuBytes, widened, width, height, levels, isDepth,
            get attachmentView() {
                return levelView(0);
            },
            destroy: () => texture.destroy(),
        };
    }

    // D3D11_BUFFER_DESC's size and bind flags.
    createBuffer({ byteWidth, bind }) {
        let usage = GPUBufferUsage.COPY_DST | GPUBufferUsage.COPY_SRC;
        const flags = [
            [d3d.bind.constantBuffer, GPUBufferUsage.UNIFORM],
            [d3d.bind.shaderResource | d3d.bind.unorderedAccess, GPUBufferUsage.STORAGE],
            [d3d.bind.vertexBuffer, GPUBufferUsage.VERTEX],
            [d3d.bind.indexBuffer, GPUBufferUsage.INDEX],
        ];
        for (const [bit, gpuUsage] of flags) {
            if (bind & bit) {
                usage |= gpuUsage;
            }
        }
        const size = Math.max(16, Math.ceil(byteWidth / 16) * 16);
        const buffer = this.device.createBuffer({ size, usage });
        return { id: this.nextId++, buffer, byteWidth, destroy: () => buffer.destroy() };
    }

    writeBuffer(target, offset, data) {
        this.flush();
        // WebGPU writes whole 4-byte words; the tail is padded from the data's own bytes.
        const padded = new Uint8Array(Math.ceil(data.byteLength / 4) * 4);
        padded.set(data);
        this.device.queue.writeBuffer(target.buffer, offset, padded);
    }

    // A region of one level (the whole of level 0 unless told).
    writeTexture(target, data, rowPitch, { level = 0, x = 0, y = 0, width, height } = {}) {
        this.flush();
        width ??= Math.max(1, target.width >> level);
        height ??= Math.max(1, target.height >> level);
        if (target.widened) {
            const channels = target.bytes / 2;
            const wide = new Float32Array(width * height * channels);
            const view = new DataView(data.buffer, data.byteOffset, data.byteLength);
            for (let row = 0; row < height; ++row) {
                for (let i = 0; i < width * channels; ++i) {
                    wide[row * width * channels + i] = halfToFloat(view.getUint16(row * rowPitch + 2 * i, true));
                }
            }
            data = new Uint8Array(wide.buffer);
            rowPitch = width * target.gpuBytes;
        }
        this.device.queue.writeTexture({ texture: target.texture, mipLevel: level, origin: [x, y] }, data,
            { bytesPerRow: rowPitch, rowsPerImage: height }, [width, height]);
    }

    // A program from a block of the build; the block's table gives its bind group layout.
    createProgram(blockBytes) {
        const block = parseWgslBlock(blockBytes);
        const module = this.device.createShaderModule({ code: block.wgsl });
        const visibility = {
            vertex: GPUShaderStage.VERTEX,
            pixel: GPUShaderStage.FRAGMENT,
            compute: GPUShaderStage.COMPUTE,
        }[block.stage];
        const layout = this.device.createBindGroupLayout({
            entries: block.bindings.map((b) => ({
                binding: b.binding,
                visibility,
                ...d3d.bindingKind[b.kind].layout(),
            })),
        });
        const program = { id: this.nextId++, stage: block.stage, module, bindings: block.bindings, layout };
        if (block.stage === "pixel") {
            const clamped = halfClampedWgsl(block.wgsl);
            program.halfModule = () => (program.halfModuleMade ??= clamped ? this.device.createShaderModule({ code: clamped }) : module);
        }
        return program;
    }

    // D3D11_SAMPLER_DESC.
    createSampler({ filter, addressU, addressV, addressW, maxAnisotropy = 1, minLod = 0, maxLod = 32 }) {
        const f = d3d.samplerFilter(filter);
        if (f.comparison) {
            throw new Error("comparison samplers are not supported");
        }
        const anisotropic = (filter & 0x40) !== 0;
        return {
            id: this.nextId++,
            sampler: this.device.createSampler({
                minFilter: f.minFilter,
                magFilter: f.magFilter,
                mipmapFilter: f.mipmapFilter,
                addressModeU: d3d.addressMode(addressU),
                addressModeV: d3d.addressMode(addressV),
                addressModeW: d3d.addressMode(addressW),
                // Direct3D takes any range; WebGPU's runs from 0 (a level below 0 is level 0
                // in both, and the choice of the magnification filter is made before the clamp).
                lodMinClamp: Math.min(Math.max(minLod, 0), 32),
                lodMaxClamp: Math.min(Math.max(maxLod, 0), 32),
                maxAnisotropy: anisotropic ? Math.max(1, Math.min(16, maxAnisotropy)) : 1,
            }),
        };
    }

    // D3D11_BLEND_DESC: alphaToCoverage, independent, targets[i] = { enable, src, dest, op,
    // srcAlpha, destAlpha, opAlpha, writeMask }.
    // States are named by what they hold: the show makes its states anew for every pass, and a
    // pipeline made for one serves every state equal to it.
    createBlendState(desc) {
        return { id: `blend${JSON.stringify(desc)}`, ...desc };
    }

    // D3D11_DEPTH_STENCIL_DESC's depth half: { depthEnable, writeAll, compare }.
    createDepthState(desc) {
        return { id: `depth${JSON.stringify(desc)}`, ...desc };
    }

    // D3D11_RASTERIZER_DESC: { cull, frontCounterClockwise, depthClip }.
    createRasterizerState(desc) {
        return { id: `raster${JSON.stringify(desc)}`, ...desc };
    }

    commandEncoder() {
        this.encoder ??= this.device.createCommandEncoder();
        return this.encoder;
    }

    // Submits what has been recorded, so that what follows (writes from the CPU, read-back)
    // comes after it.
    flush() {
        if (this.encoder) {
            this.device.queue.submit([this.encoder.finish()]);
            this.encoder = null;
        }
    }

    clearTarget(target, rgba, level = 0) {
        const pass = this.commandEncoder().beginRenderPass({
            colorAttachments: [{ view: target.levelView(level), loadOp: "clear", storeOp: "store", clearValue: rgba }],
        });
        pass.end();
    }

    clearDepth(target, depth) {
        const hasStencil = target.format.includes("stencil");
        const pass = this.commandEncoder().beginRenderPass({
            colorAttachments: [],
            depthStencilAttachment: {
                view: target.attachmentView,
                depthLoadOp: "clear",
                depthStoreOp: "store",
                depthClearValue: depth,
                ...(hasStencil ? { stencilLoadOp: "load", stencilStoreOp: "store" } : {}),
            },
        });
        pass.end();
    }

    bindGroup(program, stageResources = {}) {
        const entries = program.bindings.map((b) => {
            const kind = d3d.bindingKind[b.kind];
            const bound = stageResources[kind.register]?.[b.register];
            switch (b.kind) {
                case 1:
                    return { binding: b.binding, resource: (bound ?? this.zeroTexture).view };
                case 2:
                    return { binding: b.binding, resource: (bound ?? { sampler: this.defaultSampler }).sampler };
                default:
                    return { binding: b.binding, resource: { buffer: bound ? bound.buffer : this.zeroBuffer } };
            }
        });
        return this.device.createBindGroup({ layout: program.layout, entries });
    }

    renderPipeline(state, targets, depthTarget) {
        const blend = state.blend ?? defaultBlend;
        const depth = state.depth ?? defaultDepth;
        const raster = state.raster ?? defaultRaster;
        const topology = d3d.topology(state.topology);
        const key = [state.vertex.id, state.pixel?.id ?? 0, targets.map((t) => t.format).join(","),
            depthTarget?.format ?? "", blend.id, depthTarget ? depth.id : "", raster.id, topology].join("/");
        let pipeline = this.pipelines.get(key);
        if (pipeline) {
            return pipeline;
        }
        const blendOf = (i) => {
            const t = blend.targets[blend.independent ? i : 0] ?? defaultBlend.targets[0];
            const target = { format: targets[i].format, writeMask: t.writeMask ?? 0xf };
            if (t.enable) {
                target.blend = {
                    color: { srcFactor: d3d.blendFactor(t.src), dstFactor: d3d.blendFactor(t.dest), operation: d3d.blendOperation(t.op) },
                    alpha: { srcFactor: d3d.blendFactor(t.srcAlpha), dstFactor: d3d.blendFactor(t.destAlpha), operation: d3d.blendOperation(t.opAlpha) },
                };
            }
            return target;
        };
        const layouts = [];
        layouts[0] = state.vertex.layout;
        layouts[1] = state.pixel ? state.pixel.layout : this.device.createBindGroupLayout({ entries: [] });
        const descriptor = {
            layout: this.device.createPipelineLayout({ bindGroupLayouts: layouts }),
            vertex: { module: state.vertex.module, entryPoint: entryPoint.vertex },
            primitive: {
                topology,
                frontFace: raster.frontCounterClockwise ? "ccw" : "cw",
                cullMode: d3d.cullMode(raster.cull),
                unclippedDepth: !raster.depthClip && this.features.has("depth-clip-control"),
            },
            multisample: { alphaToCoverageEnabled: !!blend.alphaToCoverage },
        };
        if (state.pixel) {
            const writesHalf = targets.some((t) => t.widened || ["rgba16float", "r16float"].includes(t.format));
            descriptor.fragment = {
                module: writesHalf ? state.pixel.halfModule() : state.pixel.module,
                entryPoint: entryPoint.pixel,
                targets: targets.map((_, i) => blendOf(i)),
            };
        }
        if (depthTarget) {
            descriptor.depthStencil = {
                format: depthTarget.format,
                depthWriteEnabled: !!(depth.depthEnable && depth.writeAll),
                depthCompare: depth.depthEnable ? d3d.compareFunction(depth.compare) : "always",
            };
        }
        pipeline = this.device.createRenderPipeline(descriptor);
        this.pipelines.set(key, pipeline);
        return pipeline;
    }

    // One Draw or DrawInstanced with the bound state.
    draw(state) {
        const targets = state.targets ?? [];
        const pipeline = this.renderPipeline(state, targets, state.depthTarget);
        const hasStencil = state.depthTarget?.format.includes("stencil");
        const pass = this.commandEncoder().beginRenderPass({
            colorAttachments: targets.map((t, i) => ({ view: t.levelView(state.targetLevels?.[i] ?? 0), loadOp: "load", storeOp: "store" })),
            depthStencilAttachment: state.depthTarget
                ? {
                      view: state.depthTarget.attachmentView,
                      depthLoadOp: "load",
                      depthStoreOp: "store",
                      ...(hasStencil ? { stencilLoadOp: "load", stencilStoreOp: "store" } : {}),
                  }
                : undefined,
        });
        pass.setPipeline(pipeline);
        const v = state.viewport;
        pass.setViewport(v.x, v.y, v.width, v.height, v.minDepth ?? 0, v.maxDepth ?? 1);
        if (state.blendFactor) {
            pass.setBlendConstant(state.blendFactor);
        }
        pass.setBindGroup(0, this.bindGroup(state.vertex, state.resources?.vertex));
        pass.setBindGroup(1, state.pixel ? this.bindGroup(state.pixel, state.resources?.pixel)
            : this.device.createBindGroup({ layout: this.device.createBindGroupLayout({ entries: [] }), entries: [] }));
        pass.draw(state.vertexCount, state.instanceCount ?? 1, state.startVertex ?? 0, state.startInstance ?? 0);
        pass.end();
    }

    // One Dispatch with the bound compute state.
    dispatch({ program, resources, x, y = 1, z = 1 }) {
        const key = `compute/${program.id}`;
        let pipeline = this.pipelines.get(key);
        if (!pipeline) {
            pipeline = this.device.createComputePipeline({
                layout: this.device.createPipelineLayout({ bindGroupLayouts: [program.layout] }),
                compute: { module: program.module, entryPoint: entryPoint.compute },
            });
            this.pipelines.set(key, pipeline);
        }
        const pass = this.commandEncoder().beginComputePass();
        pass.setPipeline(pipeline);
        pass.setBindGroup(0, this.bindGroup(program, resources));
        pass.dispatchWorkgroups(x, y, z);
        pass.end();
    }

    // A region of a level into a level (the whole of level 0 unless told).
    copyTexture(destination, source, { destinationLevel = 0, x = 0, y = 0, sourceLevel = 0, left = 0, top = 0, width, height } = {}) {
        width ??= Math.max(1, source.width >> sourceLevel);
        height ??= Math.max(1, source.height >> sourceLevel);
        this.commandEncoder().copyTextureToTexture(
            { texture: source.texture, mipLevel: sourceLevel, origin: [left, top] },
            { texture: destination.texture, mipLevel: destinationLevel, origin: [x, y] }, [width, height]);
    }

    copyBuffer(destination, source, { destinationOffset = 0, sourceOffset = 0, size } = {}) {
        size ??= Math.min(source.byteWidth, destination.byteWidth);
        // WebGPU copies whole words; the buffers are made in whole 16-byte steps.
        this.commandEncoder().copyBufferToBuffer(source.buffer, sourceOffset, destination.buffer, destinationOffset,
            Math.ceil(size / 4) * 4);
    }

    // Each level from the one above, by a linear filter over 2 x 2 texels (GenerateMips).
    generateMips(target) {
        const pipelineKey = `mips/${target.format}`;
        let pipeline = this.pipelines.get(pipelineKey);
        if (!pipeline) {
            const module = this.device.createShaderModule({ code: mipWgsl });
            pipeline = this.device.createRenderPipeline({
                layout: "auto",
                vertex: { module, entryPoint: "vertex_main" },
                fragment: { module, entryPoint: "pixel_main", targets: [{ format: target.format }] },
                primitive: { topology: "triangle-list" },
            });
            this.pipelines.set(pipelineKey, pipeline);
        }
        this.mipSampler ??= this.device.createSampler({ minFilter: "linear", magFilter: "linear" });
        for (let level = 1; level < target.levels; ++level) {
            const group = this.device.createBindGroup({
                layout: pipeline.getBindGroupLayout(0),
                entries: [
                    { binding: 0, resource: target.levelView(level - 1) },
                    { binding: 1, resource: this.mipSampler },
                ],
            });
            const pass = this.commandEncoder().beginRenderPass({
                colorAttachments: [{ view: target.levelView(level), loadOp: "clear", storeOp: "store" }],
            });
            pass.setPipeline(pipeline);
            pass.setBindGroup(0, group);
            pass.draw(3);
            pass.end();
        }
    }

    // A level's texels in Direct3D's layout, rows top first, tightly packed.
    async readTexture(source, level = 0) {
        const width = Math.max(1, source.width >> level);
        const height = Math.max(1, source.height >> level);
        const rowBytes = width * source.gpuBytes;
        const paddedRow = Math.ceil(rowBytes / 256) * 256;
        const staging = this.device.createBuffer({
            size: paddedRow * height,
            usage: GPUBufferUsage.COPY_DST | GPUBufferUsage.MAP_READ,
        });
        this.commandEncoder().copyTextureToBuffer({ texture: source.texture, mipLevel: level },
            { buffer: staging, bytesPerRow: paddedRow }, [width, height]);
        this.flush();
        await staging.mapAsync(GPUMapMode.READ);
        const mapped = new Uint8Array(staging.getMappedRange());
        const out = new Uint8Array(rowBytes * height);
        for (let row = 0; row < height; ++row) {
            out.set(mapped.subarray(row * paddedRow, row * paddedRow + rowBytes), row * rowBytes);
        }
        staging.destroy();
        if (!source.widened) {
            return out;
        }
        const wide = new Float32Array(out.buffer);
        const halves = new Uint16Array(wide.length);
        for (let i = 0; i < wide.length; ++i) {
            halves[i] = floatToHalf(wide[i]);
        }
        return new Uint8Array(halves.buffer);
    }

    async readBuffer(source) {
        const staging = this.device.createBuffer({
            size: source.buffer.size,
            usage: GPUBufferUsage.COPY_DST | GPUBufferUsage.MAP_READ,
        });
        this.commandEncoder().copyBufferToBuffer(source.buffer, 0, staging, 0, source.buffer.size);
        this.flush();
        await staging.mapAsync(GPUMapMode.READ);
        const out = new Uint8Array(staging.getMappedRange()).slice(0, source.byteWidth);
        staging.destroy();
        return out;
    }
}
