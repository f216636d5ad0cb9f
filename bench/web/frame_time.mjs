// What a frame of the show costs in the browser: the show's module on headless Chromium's
// WebGPU (SwiftShader on a machine without a GPU), at a moment of the second main part (150 s,
// where most passes run), at full size and at half size. Each frame is drawn as the page's
// frame loop draws it and waited for (the queue's work done), so the device's work is counted;
// the first frames, which build the pipelines, are left out. Compare with
// bench/show/show_speed_bench (draw_1600x900/second_main_150s) on llvmpipe.
//
//   node bench/web/frame_time.mjs [BUILD_WEB_DIR] [FRAMES]
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { openSite } from "../../tests/web/harness.mjs";

const root = join(dirname(fileURLToPath(import.meta.url)), "../..");
const buildDir = process.argv[2] ?? join(root, "build-web");
const frames = Number(process.argv[3] ?? 10);

for (const scale of [1, 0.5]) {
    const session = await openSite({ "/": join(buildDir, "site") });
    try {
        const result = await session.page.evaluate(async ({ scale, frames }) => {
            const { GpuDevice } = await import("/gpu/gpu_device.js");
            const { gpuImports } = await import("/gpu/gpu_imports.js");
            const { instantiateWasi } = await import("/host/wasi.js");
            const gpu = await GpuDevice.open();
            let instance = null;
            const imports = gpuImports(gpu, () => instance.exports.memory);
            instance = await instantiateWasi(await (await fetch("/wasm/show.wasm")).arrayBuffer(),
                { quavel_gpu: imports.calls });
            const show = instance.exports;
            if (show.quavel_show_start(scale) !== 0) {
                return { error: imports.failures.join("; ") };
            }
            const first = show.quavel_show_grid_frame(150);
            show.quavel_show_seek(first);
            let time = first / 60;
            const drawOne = async () => {
                show.quavel_show_frame(time);
                gpu.flush();
                await gpu.device.queue.onSubmittedWorkDone();
                time += 1 / 60;
            };
            for (let i = 0; i < 3; ++i) {
                await drawOne();
            }
            const times = [];
            for (let i = 0; i < frames; ++i) {
                const started = performance.now();
                await drawOne();
                times.push(performance.now() - started);
            }
            times.sort((a, b) => a - b);
            return { mean: times.reduce((a, b) => a + b, 0) / times.length, median: times[times.length >> 1], errors: gpu.errors.length };
        }, { scale, frames });
        if (result.error) {
            console.log(`scale ${scale}: ${result.error}`);
        } else {
            const size = `${Math.round(1600 * scale)}x${Math.round(900 * scale)}`;
            console.log(`${size}: ${result.mean.toFixed(1)} ms a frame (median ${result.median.toFixed(1)} ms, ${frames} frames, ${result.errors} WebGPU errors)`);
        }
    } finally {
        await session.close();
    }
}
