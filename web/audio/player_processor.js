// The audio worklet's processor: the module player (wasm/player.wasm) renders every block on the
// audio thread, as the native audio thread renders into the wave-out ring. Options
// (processorOptions): playerWasm and module (ArrayBuffers), startFrame (the song frame to start
// from: a seek). It posts 'ready' or 'failed', holds silent until the page posts 'play' (so
// the sound starts with the first picture, as the native first write does), answers 'playing',
// and then reports {songFrame, contextFrame} every few blocks: the song frame that starts at
// that frame of the audio context, from which the page's clock follows the heard position.
import { instantiateWasi } from '../host/wasi.js';

// About 23 ms between reports at 44100 Hz; the page needs only one, the rest keep it honest.
const kBlocksPerReport = 8;

class PlayerProcessor extends AudioWorkletProcessor {
    constructor(options) {
        super();
        const { playerWasm, module, startFrame } = options.processorOptions;
        this.exports = null;
        this.playing = false;
        this.songFrame = startFrame;
        this.blocks = 0;
        this.port.onmessage = ({ data }) => {
            if (data.type === 'play' && this.exports) {
                this.playing = true;
                this.blocks = 0;
                this.port.postMessage({ type: 'playing' });
            }
        };
        this.load(playerWasm, module, startFrame).catch((error) =>
            this.port.postMessage({ type: 'failed', message: String(error.message || error) }));
    }

    async load(playerWasm, module, startFrame) {
        const log = (fd, line) => this.port.postMessage({ type: 'log', fd, line });
        const { exports } = await instantiateWasi(playerWasm, {}, log);
        const at = exports.quavel_player_module_buffer(module.byteLength);
        new Uint8Array(exports.memory.buffer, at, module.byteLength).set(new Uint8Array(module));
        // sampleRate: the audio context's, which the page asks to be the show's 44100 Hz.
        const opened = exports.quavel_player_open(sampleRate);
        if (opened !== 0)
            throw new Error(`the music module cannot be loaded (player error ${opened})`);
        exports.quavel_player_seek(startFrame);
        this.exports = exports;
        this.port.postMessage({ type: 'ready' });
    }

    process(inputs, outputs) {
        const channels = outputs[0];
        // Output buffers come zeroed: silence until playing.
        if (!this.playing || channels.length === 0) return true;
        const frames = channels[0].length;
        const at = this.exports.quavel_player_render(frames);
        const block = new Float32Array(this.exports.memory.buffer, at, frames * 2);
        const left = channels[0];
        const right = channels.length > 1 ? channels[1] : null;
        for (let i = 0; i < frames; ++i) {
            left[i] = block[2 * i];
            if (right) right[i] = block[2 * i + 1];
        }
        if (this.blocks++ % kBlocksPerReport === 0)
            this.port.postMessage({ type: 'position', songFrame: this.songFrame, contextFrame: currentFrame });
        this.songFrame += frames;
        return true;
    }
}

registerProcessor('quavel-player', PlayerProcessor);
