// The show's music in the page: the module player in an audio worklet, and the show's clock
// from what the listener hears. Usage:
//
//   const music = await startMusic({ context, startFrame });  // loaded, seeked, silent
//   music.play();                     // with the first picture
//   music.seconds();                  // the show's clock (the heard song position)
//   music.stop();
//
// `context` is an AudioContext (or an OfflineAudioContext in tests) made at kSampleRate, so
// that the player renders at the rate of the native build and sounds the same, sample for sample.

export const kSampleRate = 44100;
// How far the clock may run past the worklet's latest report (which comes every 23 ms): a busy
// page reads reports late, but a worklet that stopped rendering stops the clock within this.
const kReportSlackFrames = kSampleRate / 2;

// Site-relative addresses of what the music needs, resolved against this file.
const kPlayerWasm = new URL('../wasm/player.wasm', import.meta.url);
const kModule = new URL('../music/quavel1.xm', import.meta.url);
const kProcessor = new URL('./player_processor.js', import.meta.url);

async function fetchBytes(url) {
    const response = await fetch(url);
    if (!response.ok) throw new Error(`cannot load ${url.pathname}: HTTP ${response.status}`);
    return response.arrayBuffer();
}

// The context time being heard now: the output timestamp, moved on by the page's clock since
// it was taken, never past what has been rendered.
function heardContextSeconds(context) {
    const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    if (stamp && stamp.performanceTime > 0) {
        const since = (performance.now() - stamp.performanceTime) / 1000;
        return Math.min(context.currentTime, stamp.contextTime + since);
    }
    return Math.max(0, context.currentTime - (context.outputLatency || 0) - (context.baseLatency || 0));
}

function waitFor(port, type) {
    return new Promise((resolve, reject) => {
        const listener = ({ data }) => {
            if (data.type === type) {
                port.removeEventListener('message', listener);
                resolve(data);
            } else if (data.type === 'failed') {
                port.removeEventListener('message', listener);
                reject(new Error(data.message));
            }
        };
        port.addEventListener('message', listener);
    });
}

export async function startMusic({ context, startFrame = 0 }) {
    const [playerWasm, module] = await Promise.all([fetchBytes(kPlayerWasm), fetchBytes(kModule), context.audioWorklet.addModule(kProcessor)]);
    const node = new AudioWorkletNode(context, 'quavel-player', {
        numberOfInputs: 0,
        numberOfOutputs: 1,
        outputChannelCount: [2],
        processorOptions: { playerWasm, module, startFrame },
    });
    node.port.start();
    const ready = waitFor(node.port, 'ready');
    // A trap in the player ends the processor for good: the music stops, and the console says so.
    node.onprocessorerror = () => console.error('the music stopped: the audio worklet failed');
    node.connect(context.destination);

    // The latest report: song frame `songFrame` starts at context frame `contextFrame`.
    let anchor = null;
    let lastFrame = startFrame;
    node.port.addEventListener('message', ({ data }) => {
        if (data.type === 'position') anchor = data;
        else if (data.type === 'log') (data.fd === 2 ? console.error : console.log)(data.line);
    });
    await ready;

    const songFrame = () => {
        if (anchor === null) return startFrame;
        const heard = Math.floor(heardContextSeconds(context) * context.sampleRate);
        // A clock never runs backwards: a report may arrive just after the frames it counts.
        const since = Math.min(Math.max(0, heard - anchor.contextFrame), kReportSlackFrames);
        lastFrame = Math.max(lastFrame, anchor.songFrame + since);
        return lastFrame;
    };
    return {
        node,
        // Resolves once the worklet renders the song (offline tests render only then).
        play() {
            const playing = waitFor(node.port, 'playing');
            node.port.postMessage({ type: 'play' });
            return playing;
        },
        songFrame,
        // In single precision, as the native clock (audioSongSeconds).
        seconds: () => Math.fround(songFrame() / kSampleRate),
        stop() {
            node.disconnect();
            node.port.close();
        },
    };
}
