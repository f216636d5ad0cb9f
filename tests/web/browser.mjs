// Headless Chromium for the web tests: a local HTTP server over the page's folders and a
// page in Chromium with WebGPU on its software adapter (SwiftShader), no display needed.
//
//     const session = await openBrowser({ "/": siteDir, "/blocks/": blocksDir });
//     const result = await session.page.evaluate(...);
//     await session.close();
//
// Console errors and uncaught exceptions of the page are collected in session.errors.
import { createReadStream, existsSync, statSync } from "node:fs";
import { createServer } from "node:http";
import { extname, join, normalize } from "node:path";
import { chromium } from "playwright-core";

const types = {
    ".html": "text/html",
    ".js": "text/javascript",
    ".mjs": "text/javascript",
    ".wasm": "application/wasm",
    ".json": "application/json",
};

export const chromiumArgs = ["--headless=new", "--enable-unsafe-webgpu", "--autoplay-policy=no-user-gesture-required"];

export async function openBrowser(folders) {
    const prefixes = Object.keys(folders).sort((a, b) => b.length - a.length);
    const server = createServer((request, response) => {
        const path = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
        const prefix = prefixes.find((p) => path.startsWith(p));
        const file = prefix && join(folders[prefix], normalize(path.slice(prefix.length)).replace(/^(\.\.[/\\])+/, ""));
        if (!file || !existsSync(file) || !statSync(file).isFile()) {
            response.writeHead(404).end();
            return;
        }
        response.writeHead(200, {
            "content-type": types[extname(file)] ?? "application/octet-stream",
            "cross-origin-opener-policy": "same-origin",
            "cross-origin-embedder-policy": "require-corp",
        });
        createReadStream(file).pipe(response);
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    const origin = `http://127.0.0.1:${server.address().port}`;
    // headless: false, as Chromium's own --headless=new is what gives a WebGPU adapter.
    const browser = await chromium.launch({
        executablePath: process.env.QUAVEL_CHROMIUM ?? "/usr/bin/chromium",
        headless: false,
        args: chromiumArgs,
    });
    const page = await browser.newPage();
    const errors = [];
    page.on("console", (message) => {
        if (message.type() === "error") {
            errors.push(message.text());
        }
    });
    page.on("pageerror", (error) => errors.push(String(error)));
    // A blank page of the server's origin, so that module imports and WebGPU are allowed.
    await page.route(`${origin}/blank.html`, (route) => route.fulfill({ contentType: "text/html", body: "<!doctype html><title>test</title>" }));
    await page.goto(`${origin}/blank.html`);
    return {
        page,
        origin,
        errors,
        async close() {
            await browser.close();
            await new Promise((resolve) => server.close(resolve));
        },
    };
}

// The bytes of a block as shaderpack writes it into a C++ source.
export function blockBytes(source) {
    const body = source.slice(source.indexOf("[] = {"), source.lastIndexOf("};"));
    return Uint8Array.from([...body.matchAll(/0x([0-9a-f]{2}),/g)].map((m) => parseInt(m[1], 16)));
}
