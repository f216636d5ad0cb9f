// The WebGPU side of the web Direct3D layer in headless Chromium, with the show's own WGSL
// programs from the web build: a copy pass (the show's copy program, into a target twice the
// size, so that each texel covers 2 x 2 pixels) reads back texel for texel, which holds only
// if the vertex programs' y, texture row order and the binding table (texture t0 and the
// point sampler s3 of the pixel stage; s0 holds a linear one) are all right. Then the
// pyramid's compute program twice, the second reading what the first wrote, with the
// constant buffer rewritten in between: it holds if compute bindings (t0, u1, b8), the
// constant buffer's layout, and the order of passes and writes from the CPU are right.
//
//   node tests/web/gpu_layer_test.mjs BUILD_WEB_DIR
import { readFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { blockBytes, openBrowser } from "./browser.mjs";

const root = join(dirname(fileURLToPath(import.meta.url)), "../..");
const buildDir = process.argv[2] ?? join(root, "build-web");
const blocksDir = join(buildDir, "src/demo/shaders/quavel_demo_shaders_hlsl");
const block = (name) => Array.from(blockBytes(readFileSync(join(blocksDir, `${name}.cpp`), "utf8")));

const session = await openBrowser({ "/": join(root, "web") });
let failures = 0;
try {
    const result = await session.page.evaluate(async ({ vs, ps, cs }) => {
        const { GpuDevice } = await import("/gpu/gpu_device.js");
        const gpu = await GpuDevice.open();
        if (!gpu) {
            return { error: "no WebGPU adapter" };
        }
        // Odd sizes, so that a row pitch or a half-texel fault shows.
        const width = 61;
        const height = 37;
        const pixels = new Uint8Array(width * height * 4);
        for (let i = 0; i < pixels.length; ++i) {
            const texel = i >> 2;
            pixels[i] = ((texel % width) * 7 + Math.floor(texel / width) * 13 + (i & 3) * 50) & 255;
        }
        const bindSampled = 0x8;
        const bindTarget = 0x20;
        const source = gpu.createTexture({ width, height, format: 28, bind: bindSampled });
        gpu.writeTexture(source, pixels, width * 4);
        const target = gpu.createTexture({ width: 2 * width, height: 2 * height, format: 28, bind: bindTarget | bindSampled });
        const pointClamp = gpu.createSampler({ filter: 0, addressU: 3, addressV: 3, addressW: 3 });
        const linearClamp = gpu.createSampler({ filter: 0x15, addressU: 3, addressV: 3, addressW: 3 });
        gpu.draw({
            vertex: gpu.createProgram(new Uint8Array(vs)),
            pixel: gpu.createProgram(new Uint8Array(ps)),
            targets: [target],
            // s0 holds a linear sampler: reading through it instead of s3 blends neighbours.
            resources: { pixel: { t: [source], s: [linearClamp, null, null, pointClamp] } },
            topology: 4,
            vertexCount: 3,
            viewport: { x: 0, y: 0, width: 2 * width, height: 2 * height },
        });
        const back = await gpu.readTexture(target);
        for (let i = 0; i < back.length; ++i) {
            const x = (i >> 2) % (2 * width);
            const y = Math.floor((i >> 2) / (2 * width));
            const expected = pixels[(Math.floor(y / 2) * width + Math.floor(x / 2)) * 4 + (i & 3)];
            if (back[i] !== expected) {
                return { error: `copy pass: pixel (${x}, ${y}) channel ${i & 3} is ${back[i]}, expected ${expected}`, gpuErrors: gpu.errors };
            }
        }

        // ContextBuffer: frame at 4, elapsedTime at 8, Pyramid_Rotation at 668.
        const constants = new ArrayBuffer(1024);
        const setConstants = (frame, elapsed) => {
            const view = new DataView(constants);
            view.setUint32(4, frame, true);
            view.setFloat32(8, elapsed, true);
            view.setFloat32(668, 2, true);
            gpu.writeBuffer(context, 0, new Uint8Array(constants));
        };
        const context = gpu.createBuffer({ byteWidth: 1024, bind: 0x4 });
        const stateA = gpu.createBuffer({ byteWidth: 12, bind: 0x8 | 0x80 });
        const stateB = gpu.createBuffer({ byteWidth: 12, bind: 0x8 | 0x80 });
        gpu.writeBuffer(stateA, 0, new Uint8Array(new Float32Array([3, 0, 0]).buffer));
        const pyramid = gpu.createProgram(new Uint8Array(cs));
        setConstants(1, 0.5);
        gpu.dispatch({ program: pyramid, resources: { t: [stateA], u: [null, stateB], b: Object.assign([], { 8: context }) }, x: 1 });
        setConstants(2, 0.25);
        gpu.dispatch({ program: pyramid, resources: { t: [stateB], u: [null, stateA], b: Object.assign([], { 8: context }) }, x: 1 });
        const first = new Float32Array((await gpu.readBuffer(stateB)).buffer)[0];
        const second = new Float32Array((await gpu.readBuffer(stateA)).buffer)[0];
        if (first !== 4 || second !== 4.5) {
            return { error: `compute passes: rotations ${first} and ${second}, expected 4 and 4.5`, gpuErrors: gpu.errors };
        }
        return { ok: true, gpuErrors: gpu.errors };
    }, { vs: block("vsFullscreen"), ps: block("psCopy"), cs: block("csPyramid") });
    if (!result.ok || result.gpuErrors.length > 0) {
        console.error(`FAIL ${result.error ?? ""} ${result.gpuErrors?.join("; ") ?? ""}`);
        ++failures;
    } else {
        console.log("ok: copy pass reads back texel for texel; compute passes see each other's writes");
    }
    if (session.errors.length > 0) {
        console.error(`FAIL page errors: ${session.errors.join("; ")}`);
        ++failures;
    }
} finally {
    await session.close();
}
process.exit(failures > 0 ? 1 : 0);
