// The three golden moments drawn by the web build in headless Chromium and judged as
// `quavel1 --check` judges them (the same references, GPU-variant masks and tile rule, in
// probe/golden_check.cpp): the show's module with the check beside it, on the page's GPU
// layer. A failure names the moment and prints its report (the worst tile and the first ones
// off); a WebGPU error names the call.
//
//   node tests/web/golden_moments_test.mjs BUILD_WEB_DIR
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { openSite } from "./harness.mjs";

const root = join(dirname(fileURLToPath(import.meta.url)), "../..");
const buildDir = process.argv[2] ?? join(root, "build-web");

const session = await openSite({ "/": join(buildDir, "site"), "/probe/": join(buildDir, "probe") });
let failures = 0;
try {
    const started = Date.now();
    const results = await session.page.evaluate(async () => {
        const { GpuDevice } = await import("/gpu/gpu_device.js");
        const { gpuImports } = await import("/gpu/gpu_imports.js");
        const { instantiateWasi } = await import("/host/wasi.js");
        const gpu = await GpuDevice.open();
        if (!gpu) {
            return [{ name: "start", status: 2, lines: ["no WebGPU adapter"] }];
        }
        let instance = null;
        const imports = gpuImports(gpu, () => instance.exports.memory);
        const lines = [];
        const bytes = await (await fetch("/probe/show_check.wasm")).arrayBuffer();
        instance = await instantiateWasi(bytes, { quavel_gpu: imports.calls }, (fd, line) => lines.push(line));
        const show = instance.exports;
        const problems = () => [...imports.failures.splice(0), ...gpu.errors.splice(0)];
        if (show.quavel_show_start(1) !== 0) {
            return [{ name: "start", status: 2, lines: [...lines, ...problems()] }];
        }
        const check = WebAssembly.promising(show.quavel_check_moment);
        const results = [];
        for (let i = 0; i < show.quavel_check_moment_count(); ++i) {
            lines.length = 0;
            const status = await check(i);
            const name = lines.find((l) => l.startsWith("Moment "))?.split(" ")[1] ?? `moment ${i}`;
            results.push({ name, status, lines: [...lines], problems: problems() });
        }
        return results;
    });
    for (const { name, status, lines, problems = [] } of results) {
        const ok = status === 0 && problems.length === 0;
        if (!ok) {
            ++failures;
        }
        console.log(`${ok ? "ok" : "FAIL"} ${name}`);
        for (const line of [...lines, ...problems.map((p) => `  WebGPU: ${p}`)]) {
            console.log(`  ${line}`);
        }
    }
    console.log(`(${((Date.now() - started) / 1000).toFixed(1)} s)`);
    if (session.consoleErrors.length > 0) {
        console.error(`FAIL page errors: ${session.consoleErrors.join("; ")}`);
        ++failures;
    }
} finally {
    await session.close();
}
process.exit(failures > 0 ? 1 : 0);
