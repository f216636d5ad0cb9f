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
        const { format: gpuFormat, bytes } = d3d.textureFormat(format);
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
            id: this.nextId++, texture, view, levelView, format: gpuFormat, bytes, width, height, levels, isDepth,
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
        return { id: this.nextId++, stage: block.stage, module, bindings: block.bindings, layout };
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
    createBlendState(desc) {
        return { id: `blend${this.nextId++}`, ...desc };
    }

    // D3D11_DEPTH_STENCIL_DESC's depth half: { depthEnable, writeAll, compare }.
    createDepthState(desc) {
        return { id: `depth${this.nextId++}`, ...desc };
    }

    // D3D11_RASTERIZER_DESC: { cull, frontCounterClockwise, depthClip }.
    createRasterizerState(desc) {
        return { id: `raster${this.nextId++}`, ...desc };
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
            descriptor.fragment = {
                module: state.pixel.module,
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

    // A level's texels, rows top first, tightly packed.
    async readTexture(source, level = 0) {
        const width = Math.max(1, source.width >> level);
        const height = Math.max(1, source.height >> level);
        const rowBytes = width * source.bytes;
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
        return out;
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
