// The web Direct3D layer through the Direct3D API, in headless Chromium: the checks of
// probe/d3d11_probe.cpp, each an export of the probe module built by the web build. A failure
// names the check and what it saw.
//
//   node tests/web/d3d11_layer_test.mjs BUILD_WEB_DIR
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { openSite } from "./harness.mjs";

const root = join(dirname(fileURLToPath(import.meta.url)), "../..");
const buildDir = process.argv[2] ?? join(root, "build-web");
const checks = ["quavel_probe_copy_pass"];

const session = await openSite({ "/": join(root, "web"), "/probe/": join(buildDir, "probe") });
let failures = 0;
try {
    const results = await session.page.evaluate(async (names) => {
        const { GpuDevice } = await import("/gpu/gpu_device.js");
        const { gpuImports } = await import("/gpu/gpu_imports.js");
        const { instantiateWasi } = await import("/host/wasi.js");
        const gpu = await GpuDevice.open();
        if (!gpu) {
            return names.map((name) => ({ name, error: "no WebGPU adapter" }));
        }
        let instance = null;
        const imports = gpuImports(gpu, () => instance.exports.memory);
        const lines = [];
        const bytes = await (await fetch("/probe/d3d11_probe.wasm")).arrayBuffer();
        instance = await instantiateWasi(bytes, { quavel_gpu: imports.calls }, (fd, line) => lines.push(line));
        const results = [];
        for (const name of names) {
            lines.length = 0;
            const status = await WebAssembly.promising(instance.exports[name])();
            const problems = [...lines, ...imports.failures.splice(0), ...gpu.errors.splice(0)];
            results.push({ name, error: status !== 0 || problems.length > 0 ? problems.join("; ") || `status ${status}` : null });
        }
        return results;
    }, checks);
    for (const { name, error } of results) {
        if (error) {
            console.error(`FAIL ${name}: ${error}`);
            ++failures;
        } else {
            console.log(`ok ${name}`);
        }
    }
    if (session.consoleErrors.length > 0) {
        console.error(`FAIL page errors: ${session.consoleErrors.join("; ")}`);
        ++failures;
    }
} finally {
    await session.close();
}
process.exit(failures > 0 ? 1 : 0);
