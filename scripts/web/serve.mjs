// A static file server for the web build's folder, on this machine only. Usage:
//
//   node scripts/web/serve.mjs FOLDER [PORT]     serves until stopped, prints the address
//                                                (any free port when PORT is taken)
//   const server = await serveFolder(folder);    from a test: server.url, server.close()
//
// The page needs nothing of a server but files with their types (module scripts must come as
// JavaScript, which browsers insist on): any static server does, this one is for ./run --web
// and the tests. No cross-origin isolation headers: the page shares no memory between threads.
import { createReadStream, promises as fs } from 'node:fs';
import { createServer } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const kTypes = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.json': 'application/json',
    '.wasm': 'application/wasm',
    '.wgsl': 'text/plain; charset=utf-8',
    '.png': 'image/png',
    '.xm': 'application/octet-stream',
};

// The file a request path names inside `root`, or null when it would leave the folder.
export function fileOfRequest(root, requestPath) {
    let decoded;
    try {
        decoded = decodeURIComponent(requestPath.split('?')[0]);
    } catch {
        return null;
    }
    if (decoded.endsWith('/')) decoded += 'index.html';
    const file = path.resolve(root, '.' + path.posix.normalize('/' + decoded));
    const inside = path.relative(root, file);
    return inside.startsWith('..') || path.isAbsolute(inside) ? null : file;
}

// `folders`: one folder served at /, or URL prefixes and the folders served under them
// ({ '/': site, '/probe/': probes }); the longest prefix a request starts with wins.
export function serveFolder(folders, port = 0, host = '127.0.0.1') {
    const mounts = Object.entries(typeof folders === 'string' ? { '/': folders } : folders)
        .map(([prefix, folder]) => ({ prefix, root: path.resolve(folder) }))
        .sort((a, b) => b.prefix.length - a.prefix.length);
    const server = createServer(async (request, response) => {
        const mount = mounts.find(({ prefix }) => request.url.startsWith(prefix));
        const file = mount && fileOfRequest(mount.root, request.url.slice(mount.prefix.length - 1));
        const stat = file && (await fs.stat(file).catch(() => null));
        if (!stat || !stat.isFile()) {
            response.writeHead(404, { 'Content-Type': 'text/plain' });
            response.end('not found\n');
            return;
        }
        response.writeHead(200, {
            'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream',
            'Content-Length': stat.size,
            'Cache-Control': 'no-cache',
        });
        if (request.method === 'HEAD') response.end();
        else createReadStream(file).pipe(response);
    });
    return new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, host, () => {
            const { port: bound } = server.address();
            resolve({
                url: `http://${host === '127.0.0.1' ? 'localhost' : host}:${bound}/`,
                close: () => new Promise((done) => server.close(done)),
            });
        });
    });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    const [folder, port] = process.argv.slice(2);
    if (!folder) {
        console.error('usage: node scripts/web/serve.mjs FOLDER [PORT]');
        process.exit(2);
    }
    // The port asked for, or any free one when another program has it.
    const server = await serveFolder(folder, port ? Number(port) : 0).catch((error) => {
        if (error.code !== 'EADDRINUSE') throw error;
        return serveFolder(folder, 0);
    });
    console.log(`serving ${path.resolve(folder)}`);
    console.log(`open ${server.url} in a browser with WebGPU (Ctrl+C ends the server)`);
}
