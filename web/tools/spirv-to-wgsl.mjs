// The web build's shader step between shaderpack's two ends: SPIR-V to WGSL with naga
// (the naga-wasm package, pinned in package.json), validated before it is written.
//
//   node web/tools/spirv-to-wgsl.mjs PROGRAM.spv PROGRAM.wgsl
//
// A module naga cannot read or that does not validate fails the build with naga's report,
// naming the program.
import { readFileSync, writeFileSync } from "node:fs";
import { NagaError, parseSpirv, validate, writeWgsl } from "naga-wasm";

const [input, output] = process.argv.slice(2);
if (!input || !output) {
    console.error("usage: node spirv-to-wgsl.mjs PROGRAM.spv PROGRAM.wgsl");
    process.exit(2);
}

let module;
let info;
try {
    const bytes = readFileSync(input);
    module = parseSpirv(new Uint8Array(bytes.buffer, bytes.byteOffset, bytes.byteLength));
    info = validate(module);
    writeFileSync(output, writeWgsl(module, info));
} catch (error) {
    const report = error instanceof NagaError ? `${error.kind}: ${error.formatted}` : String(error);
    console.error(`spirv-to-wgsl: ${input}: ${report}`);
    process.exit(1);
} finally {
    info?.free();
    module?.free();
}
