// The page's WASI host (web/host/wasi.js) as our C++ meets it: printf lines reach the log at
// once, stderr apart from stdout, a line written in pieces as one, UTF-8 text decoded also where
// there is no TextDecoder (the audio worklet's scope), a clock that runs, and an import the
// page lacks refused by name.
//
//   node tests/web/wasi_host.mjs WEB_BUILD_DIR
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { instantiateWasi } from '../../web/host/wasi.js';

const buildDir = process.argv[2] || fileURLToPath(new URL('../../build-web', import.meta.url));
const probe = (name) => readFileSync(path.join(buildDir, 'tests', `${name}.wasm`));

async function outputProbe() {
    const lines = [];
    const { exports } = await instantiateWasi(probe('wasi_output_probe'), {}, (fd, line) => lines.push([fd, line]));
    return { exports, lines };
}

// Each case: what to call, and the log right after it, nothing more.
const kOutputCases = [
    { name: 'a printf line', call: (e) => e.print_line(7), log: [[1, 'line 7']] },
    { name: 'stderr', call: (e) => e.print_error(3), log: [[2, 'error 3']] },
    { name: 'a line in pieces', call: (e) => e.print_in_pieces(), log: [[1, 'first and second half']] },
    { name: 'UTF-8', call: (e) => e.print_utf8(), log: [[1, 'grüße']] },
    { name: 'UTF-8 without TextDecoder', call: (e) => e.print_utf8(), log: [[1, 'grüße']], noTextDecoder: true },
];

for (const { name, call, log, noTextDecoder } of kOutputCases) {
    test(`output: ${name}`, async () => {
        const { exports, lines } = await outputProbe();
        const saved = globalThis.TextDecoder;
        if (noTextDecoder) delete globalThis.TextDecoder;
        try {
            call(exports);
        } finally {
            globalThis.TextDecoder = saved;
        }
        assert.deepEqual(lines, log);
    });
}

test('the monotonic clock runs', async () => {
    const { exports } = await outputProbe();
    const first = exports.monotonic_ms();
    await new Promise((resolve) => setTimeout(resolve, 30));
    const later = exports.monotonic_ms();
    assert.ok(later - first >= 25 && later - first < 1000, `${first} ms, then ${later} ms`);
});

test('an import the page lacks is refused by name', async () => {
    await assert.rejects(instantiateWasi(probe('wasi_missing_import_probe')), /env\.quavel_nowhere/);
    const { exports } = await instantiateWasi(probe('wasi_missing_import_probe'), { env: { quavel_nowhere: () => 42 } });
    assert.equal(exports.call(), 42);
});
