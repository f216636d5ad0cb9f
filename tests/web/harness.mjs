// What the web tests share: the built site served on this machine, and headless Chromium with a
// WebGPU adapter (SwiftShader: no display, no GPU) and audio that starts without a gesture.
// Usage:
//
//   const run = await openSite(siteFolder);          // served, browser started, blank page open
//   const run = await openSite({ '/': site, '/probe/': probes });   // several folders
//   await run.page.goto(run.url + 'index.html?still=12');
//   run.consoleErrors                                // every console error and page exception
//   await run.close();
//
// QUAVEL_CHROMIUM names another Chromium binary (default: Debian's /usr/bin/chromium).
import { existsSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

import { serveFolder } from '../../scripts/web/serve.mjs';

export const kChromiumFlags = [
    '--headless=new',
    '--enable-unsafe-webgpu',
    '--autoplay-policy=no-user-gesture-required',
    '--no-sandbox', // the tests run as root on CI machines, where Chromium's sandbox refuses
    '--mute-audio',
];

export const kRepository = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

export function siteFolderFromArguments() {
    const folder = path.resolve(process.argv[2] || path.join(kRepository, 'build-web/site'));
    if (!existsSync(path.join(folder, 'wasm'))) {
        throw new Error(`no web build in ${folder}: build it first (scripts/build-web)`);
    }
    return folder;
}

// `folders` as serveFolder takes them; `without`: flags of kChromiumFlags left out (a browser
// without WebGPU, say).
export async function openSite(folders, { without = [] } = {}) {
    const server = await serveFolder(folders);
    const browser = await chromium.launch({
        executablePath: process.env.QUAVEL_CHROMIUM || '/usr/bin/chromium',
        headless: false, // the flags above ask for the new headless mode themselves
        args: kChromiumFlags.filter((flag) => !without.includes(flag)),
    });
    const page = await browser.newPage();
    const consoleErrors = [];
    page.on('console', (message) => {
        if (message.type() === 'error') consoleErrors.push(message.text());
    });
    page.on('pageerror', (error) => consoleErrors.push(`uncaught: ${error.message}`));
    // A blank page at the site's address: module imports and worklets load from its origin.
    const blank = server.url + 'blank-test-page.html';
    await page.route(blank, (route) => route.fulfill({ contentType: 'text/html', body: '<!doctype html>' }));
    await page.goto(blank);
    return {
        url: server.url,
        page,
        consoleErrors,
        close: async () => {
            await browser.close();
            await server.close();
        },
    };
}

// Runs `body` and ends the process with its verdict: exit 1 and the message on a failure.
export async function runTest(name, body) {
    try {
        await body();
        console.log(`${name}: passed`);
    } catch (error) {
        console.error(`${name}: FAILED: ${error.message}`);
        process.exitCode = 1;
    }
}

// The bytes of a block as shaderpack writes it into a C++ source.
export function blockBytes(source) {
    const body = source.slice(source.indexOf('[] = {'), source.lastIndexOf('};'));
    return Uint8Array.from([...body.matchAll(/0x([0-9a-f]{2}),/g)].map((m) => parseInt(m[1], 16)));
}
