// The module player in the browser sounds exactly as the native one: the audio worklet's
// output (web/audio/, wasm/player.wasm), rendered by an offline audio context, is compared
// float for float with xmrender's float WAV of the same stretch of the show's module: from the
// start, and after a seek (the page's ?t=), which the worklet makes as the native seek does.
//
//   node tests/web/player_bits.mjs SITE_FOLDER XMRENDER MODULE
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

import { openSite, runTest, siteFolderFromArguments } from './harness.mjs';

const kRate = 44100;
const kCases = [
    { name: 'the first 20 s', startSeconds: 0, seconds: 20 },
    { name: '3 s after a seek to 131.5 s', startSeconds: 131.5, seconds: 3 },
    // The song ends at 368 s: xmrender's file ends there, the show's player falls silent.
    { name: 'the end of the song', startSeconds: 366, seconds: 4 },
];

// The interleaved float samples of a WAV file's data chunk (xmrender writes IEEE float).
export function wavFloats(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    for (let at = 12; at + 8 <= bytes.length; ) {
        const tag = bytes.toString('latin1', at, at + 4);
        const size = view.getUint32(at + 4, true);
        if (tag === 'data') {
            const floats = new Float32Array(size / 4);
            for (let i = 0; i < floats.length; ++i) floats[i] = view.getFloat32(at + 8 + 4 * i, true);
            return floats;
        }
        at += 8 + size + (size & 1);
    }
    throw new Error('no data chunk in the WAV file');
}

// The first sample where the two differ, as a sentence, or null when they are the same. Past
// the end of xmrender's file (the song's end) the web's output must be silent.
export function firstDifference(expected, actual, startFrame) {
    if (actual.length < expected.length)
        return `the web rendered ${actual.length} samples, xmrender ${expected.length}`;
    for (let i = 0; i < actual.length; ++i) {
        // Bit for bit (-0 is not 0) where xmrender wrote; after, silence of either sign.
        const want = i < expected.length ? expected[i] : 0;
        if (i < expected.length ? !Object.is(want, actual[i]) : actual[i] !== 0) {
            const frame = startFrame + Math.floor(i / 2);
            return `sample ${i} (song frame ${frame}, ${(frame / kRate).toFixed(5)} s, ` +
                `${i % 2 ? 'right' : 'left'}): xmrender ${want}, web ${actual[i]}`;
        }
    }
    return null;
}

// Rendered in the page by the worklet exactly as the show plays it; interleaved and returned
// as base64 (a few megabytes, which JSON numbers would make slow).
async function renderInPage(page, startFrame, frames) {
    const encoded = await page.evaluate(async ({ startFrame, frames }) => {
        const { startMusic, kSampleRate } = await import('/audio/music.js');
        const context = new OfflineAudioContext({ numberOfChannels: 2, length: frames, sampleRate: kSampleRate });
        const music = await startMusic({ context, startFrame });
        await music.play();
        const rendered = await context.startRendering();
        const left = rendered.getChannelData(0);
        const right = rendered.getChannelData(1);
        const interleaved = new Float32Array(2 * frames);
        for (let i = 0; i < frames; ++i) {
            interleaved[2 * i] = left[i];
            interleaved[2 * i + 1] = right[i];
        }
        const bytes = new Uint8Array(interleaved.buffer);
        let binary = '';
        for (let i = 0; i < bytes.length; i += 0x8000)
            binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return btoa(binary);
    }, { startFrame, frames });
    const bytes = Buffer.from(encoded, 'base64');
    return new Float32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4);
}

const [, , , xmrender, module] = process.argv;
await runTest('web player bit-identical to xmrender', async () => {
    if (!xmrender || !module) throw new Error('usage: player_bits.mjs SITE_FOLDER XMRENDER MODULE');
    const site = siteFolderFromArguments();
    const scratch = mkdtempSync(path.join(tmpdir(), 'quavel-web-player-'));
    const run = await openSite(site);
    const failures = [];
    try {
        for (const { name, startSeconds, seconds } of kCases) {
            const wav = path.join(scratch, 'reference.wav');
            execFileSync(xmrender, ['--start', String(startSeconds), '--seconds', String(seconds), module, wav]);
            const expected = wavFloats(readFileSync(wav));
            const startFrame = Math.round(startSeconds * kRate);
            const actual = await renderInPage(run.page, startFrame, Math.round(seconds * kRate));
            const difference = firstDifference(expected, actual, startFrame);
            if (difference) failures.push(`${name}: ${difference}`);
            else console.log(`${name}: ${expected.length} samples identical`);
        }
        if (run.consoleErrors.length > 0) failures.push(`console errors: ${run.consoleErrors.join(' | ')}`);
    } finally {
        await run.close();
        rmSync(scratch, { recursive: true, force: true });
    }
    if (failures.length > 0) throw new Error(failures.join('\n'));
});
