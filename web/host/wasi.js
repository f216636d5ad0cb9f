// The WASI calls a wasm32-wasi module of ours may import, answered in the browser (the page and
// the audio worklet alike). Usage:
//
//   const instance = await instantiateWasi(bytes, { env: {...} });   // our own imports beside
//   instance.exports.quavel_...(...);
//
// The modules are reactors: nothing runs at load but the constructors of globals
// (_initialize). Output to fd 1 and 2 goes to the console, a line at a time; the clock reads
// the page's; anything else the C library might reach for (files, arguments, environment)
// answers as an empty system does. An import this file does not know is refused at
// instantiation with its name, rather than failing later mid-frame.

const ERRNO_SUCCESS = 0;
const ERRNO_BADF = 8;
const ERRNO_NOSYS = 52;

// UTF-8 to text; the audio worklet's scope has no TextDecoder.
function utf8(bytes) {
    if (globalThis.TextDecoder) return new TextDecoder().decode(bytes);
    const escaped = Array.from(bytes, (b) => '%' + b.toString(16).padStart(2, '0')).join('');
    try {
        return decodeURIComponent(escaped);
    } catch {
        return String.fromCharCode(...bytes); // not UTF-8: the bytes as they are
    }
}

// The module's memory, set once it exists; every call reads it afresh (memory.grow replaces
// the buffer).
function wasiImports(memoryOf, log) {
    const view = () => new DataView(memoryOf().buffer);
    const bytes = () => new Uint8Array(memoryOf().buffer);
    const pending = { 1: '', 2: '' };

    const write = (fd, iovs, iovsLen, writtenOut) => {
        if (fd !== 1 && fd !== 2) return ERRNO_BADF;
        let total = 0;
        for (let i = 0; i < iovsLen; ++i) {
            const base = view().getUint32(iovs + 8 * i, true);
            const length = view().getUint32(iovs + 8 * i + 4, true);
            pending[fd] += utf8(bytes().slice(base, base + length));
            total += length;
        }
        let newline;
        while ((newline = pending[fd].indexOf('\n')) >= 0) {
            log(fd, pending[fd].slice(0, newline));
            pending[fd] = pending[fd].slice(newline + 1);
        }
        view().setUint32(writtenOut, total, true);
        return ERRNO_SUCCESS;
    };
    const noStrings = (countOut, sizeOut) => {
        view().setUint32(countOut, 0, true);
        view().setUint32(sizeOut, 0, true);
        return ERRNO_SUCCESS;
    };
    // Nanoseconds: the page's monotonic clock where there is one (not in the audio worklet).
    const now = () => (globalThis.performance ? performance.now() : Date.now()) * 1e6;

    return {
        fd_write: write,
        fd_close: () => ERRNO_BADF,
        fd_seek: () => ERRNO_BADF,
        fd_read: () => ERRNO_BADF,
        fd_fdstat_get: (fd) => (fd <= 2 ? ERRNO_NOSYS : ERRNO_BADF),
        fd_fdstat_set_flags: () => ERRNO_BADF, // fopen's fcntl: no file is ever open
        fd_prestat_get: () => ERRNO_BADF, // no preopened folders
        fd_prestat_dir_name: () => ERRNO_BADF,
        path_open: () => ERRNO_NOSYS,
        args_sizes_get: noStrings,
        args_get: () => ERRNO_SUCCESS,
        environ_sizes_get: noStrings,
        environ_get: () => ERRNO_SUCCESS,
        clock_time_get: (id, precision, timeOut) => {
            view().setBigUint64(timeOut, BigInt(Math.round(now())), true);
            return ERRNO_SUCCESS;
        },
        clock_res_get: (id, resolutionOut) => {
            view().setBigUint64(resolutionOut, 1000n, true);
            return ERRNO_SUCCESS;
        },
        random_get: (buffer, length) => {
            const target = bytes().subarray(buffer, buffer + length);
            if (globalThis.crypto) crypto.getRandomValues(target);
            else for (let i = 0; i < length; ++i) target[i] = (Math.random() * 256) | 0;
            return ERRNO_SUCCESS;
        },
        sched_yield: () => ERRNO_SUCCESS,
        proc_exit: (code) => {
            throw new Error(`wasm module exited with code ${code}`);
        },
    };
}

function consoleLog(fd, line) {
    if (fd === 2) console.error(line);
    else console.log(line);
}

// Compiles and instantiates `bytes` (an ArrayBuffer or typed array) with the WASI calls and
// `imports`; runs _initialize. `log(fd, line)` receives the module's output lines.
export async function instantiateWasi(bytes, imports = {}, log = consoleLog) {
    const module = await WebAssembly.compile(bytes);
    let memory = null;
    const wasi = wasiImports(() => memory, log);
    const unknown = WebAssembly.Module.imports(module).filter(
        ({ module: from, name }) =>
            !(from === 'wasi_snapshot_preview1' && name in wasi) &&
            !(imports[from] && name in imports[from]));
    if (unknown.length > 0) {
        const names = unknown.map(({ module: from, name }) => `${from}.${name}`).join(', ');
        throw new Error(`wasm module imports what the page does not provide: ${names}`);
    }
    const instance = await WebAssembly.instantiate(module, {
        ...imports,
        wasi_snapshot_preview1: wasi,
    });
    memory = instance.exports.memory;
    if (instance.exports._initialize) instance.exports._initialize();
    return instance;
}
