// The page's server answers with the folder's files and their types, and with nothing outside
// the folder however the path is spelt.
//
//   node tests/web/serve_folder.mjs
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { get } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { test } from 'node:test';

import { serveFolder } from '../../scripts/web/serve.mjs';

// A request exactly as written: no URL normalisation on the way (a browser's would hide `..`).
function request(port, rawPath) {
    return new Promise((resolve, reject) => {
        get({ host: '127.0.0.1', port, path: rawPath }, (response) => {
            let body = '';
            response.on('data', (chunk) => (body += chunk));
            response.on('end', () => resolve({ status: response.statusCode, type: response.headers['content-type'], body }));
        }).on('error', reject);
    });
}

const kCases = [
    { path: '/', status: 200, type: /^text\/html/, body: 'page' },
    { path: '/index.html?t=12', status: 200, type: /^text\/html/, body: 'page' },
    { path: '/audio/music.js', status: 200, type: /^text\/javascript/, body: 'js' },
    { path: '/wasm/player.wasm', status: 200, type: /^application\/wasm$/, body: 'wasm' },
    { path: '/missing.js', status: 404 },
    { path: '/audio', status: 404 }, // a folder is not a file
    { path: '/../secret.txt', status: 404 },
    { path: '/%2e%2e/secret.txt', status: 404 },
    { path: '/audio/..%2f..%2fsecret.txt', status: 404 },
    { path: '/%ZZ', status: 404 }, // not a valid escape
];

test('the server keeps to its folder and names the types', async () => {
    const scratch = mkdtempSync(path.join(tmpdir(), 'quavel-serve-'));
    const site = path.join(scratch, 'site');
    mkdirSync(path.join(site, 'audio'), { recursive: true });
    mkdirSync(path.join(site, 'wasm'));
    writeFileSync(path.join(site, 'index.html'), 'page');
    writeFileSync(path.join(site, 'audio/music.js'), 'js');
    writeFileSync(path.join(site, 'wasm/player.wasm'), 'wasm');
    writeFileSync(path.join(scratch, 'secret.txt'), 'secret');
    const server = await serveFolder(site);
    try {
        const port = Number(new URL(server.url).port);
        for (const expected of kCases) {
            const answer = await request(port, expected.path);
            assert.equal(answer.status, expected.status, expected.path);
            if (expected.type) assert.match(answer.type, expected.type, expected.path);
            if (expected.body) assert.equal(answer.body, expected.body, expected.path);
        }
    } finally {
        await server.close();
        rmSync(scratch, { recursive: true, force: true });
    }
});
