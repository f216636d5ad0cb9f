// The show's pictures in the page: its module (wasm/show.wasm) on the page's WebGPU device.
//
//     const show = await startShow({ canvas, startSeconds, clock }); // clock(): show seconds
//     show.stop();
//     const rgba = await renderStill({ canvas, seconds });           // 1600 x 900, top row first
//
// The frame loop is the browser's animation-frame callback: each callback reads the clock (the
// music's position), draws the frame at that time and copies the back buffer into the canvas
// (a WebGPU canvas); the show ends at its length. Nothing waits: a frame the GPU is still busy
// with delays the next callback, not the page. A still is read back and put into the canvas as
// pixels (a 2D canvas): the exact frame, on any canvas, also where a WebGPU canvas cannot be
// shown (headless Chromium on SwiftShader loses its device on the first presentation).
import { GpuDevice } from "./gpu/gpu_device.js";
import { gpuImports } from "./gpu/gpu_imports.js";
import { instantiateWasi } from "./host/wasi.js";

export const showWidth = 1600;
export const showHeight = 900;
export const showSeconds = 368;

async function loadShow() {
    const gpu = await GpuDevice.open();
    if (!gpu) {
        throw new Error("this browser offers no WebGPU");
    }
    let instance = null;
    const imports = gpuImports(gpu, () => instance.exports.memory);
    const response = await fetch(new URL("./wasm/show.wasm", import.meta.url));
    instance = await instantiateWasi(await response.arrayBuffer(), { quavel_gpu: imports.calls });
    const show = instance.exports;
    if (show.quavel_show_start(1) !== 0) {
        throw new Error(`the show cannot start: ${imports.failures.join("; ")}`);
    }
    return { gpu, show, backBuffer: imports.get(show.quavel_show_back_buffer()) };
}

// Presents the back buffer in a WebGPU canvas of the show's size.
function canvasPresenter(canvas, gpu, backBuffer) {
    canvas.width = showWidth;
    canvas.height = showHeight;
    const context = canvas.getContext("webgpu");
    context.configure({
        device: gpu.device,
        format: "rgba8unorm",
        usage: GPUTextureUsage.RENDER_ATTACHMENT | GPUTextureUsage.COPY_DST,
        alphaMode: "opaque",
    });
    return () => {
        gpu.commandEncoder().copyTextureToTexture({ texture: backBuffer.texture },
            { texture: context.getCurrentTexture() }, [showWidth, showHeight]);
        gpu.flush();
    };
}

// Grid frames replayed between two looks at the page's events, on the way to ?t=.
const replayStep = 600;

export async function startShow({ canvas, startSeconds = 0, clock }) {
    const { gpu, show, backBuffer } = await loadShow();
    const present = canvasPresenter(canvas, gpu, backBuffer);
    if (startSeconds > 0) {
        // The history up to the start, replayed in steps so that the page stays responsive.
        const target = show.quavel_show_grid_frame(startSeconds);
        for (let n = Math.min(replayStep, target); ; n = Math.min(n + replayStep, target)) {
            show.quavel_show_seek(n);
            gpu.flush();
            await gpu.device.queue.onSubmittedWorkDone();
            if (n === target) {
                break;
            }
        }
    }
    let request = 0;
    let stopped = false;
    // One frame on the GPU at a time: a slow device gets fewer frames, not a growing queue.
    let inFlight = false;
    const frame = () => {
        if (stopped) {
            return;
        }
        request = requestAnimationFrame(frame);
        const time = clock();
        if (time >= showSeconds) {
            stopped = true;
            cancelAnimationFrame(request);
            return;
        }
        if (inFlight) {
            return;
        }
        show.quavel_show_frame(time);
        present();
        inFlight = true;
        gpu.device.queue.onSubmittedWorkDone().then(() => {
            inFlight = false;
        });
    };
    request = requestAnimationFrame(frame);
    return {
        stop() {
            stopped = true;
            cancelAnimationFrame(request);
        },
        get ended() {
            return stopped;
        },
    };
}

export async function renderStill({ canvas, seconds }) {
    const { gpu, show, backBuffer } = await loadShow();
    show.quavel_show_still(seconds);
    const rgba = await gpu.readTexture(backBuffer);
    canvas.width = showWidth;
    canvas.height = showHeight;
    // The show's alpha is not the picture's: the still is shown opaque, as the swap chain does.
    const opaque = new Uint8ClampedArray(rgba);
    for (let i = 3; i < opaque.length; i += 4) {
        opaque[i] = 255;
    }
    canvas.getContext("2d").putImageData(new ImageData(opaque, showWidth, showHeight), 0, 0);
    return rgba;
}
