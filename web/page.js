// The page: a play button (browsers start sound only after a gesture), the show with its
// music, Escape or the stop button to end it; a still of one moment with ?still=SECONDS, a start
// anywhere with ?t=SECONDS. The pictures come from show.js, the music and the clock from
// audio/music.js. For tests, the page's state is in <html data-state> (loading, ready,
// playing, stopped, still, failed) and globalThis.quavelPage.seconds() reads the clock.
import { kSampleRate, startMusic } from './audio/music.js';

// The show ends here, as the native frame loop does.
const kShowLengthSeconds = 368;

const canvas = document.getElementById('show');
const overlay = document.getElementById('overlay');
const playButton = document.getElementById('play');
const stopButton = document.getElementById('stop');
const message = document.getElementById('message');

function setState(state, text = '') {
    document.documentElement.dataset.state = state;
    message.textContent = text;
}

// ?t= and ?still=: a number of seconds within the show, or null when absent.
export function secondsParameter(parameters, name) {
    const value = parameters.get(name);
    if (value === null) return null;
    const seconds = Number(value);
    if (value.trim() === '' || !Number.isFinite(seconds) || seconds < 0 || seconds >= kShowLengthSeconds)
        throw new Error(`?${name}= takes seconds from 0 to below ${kShowLengthSeconds}, not "${value}"`);
    return seconds;
}

function noWebGpuText() {
    return 'This browser has no WebGPU, which the show draws with. It runs in current Chrome ' +
        'and Edge (Windows, macOS, ChromeOS), and in other browsers where WebGPU is enabled.';
}

async function hasWebGpu() {
    if (!navigator.gpu) return false;
    return (await navigator.gpu.requestAdapter().catch(() => null)) !== null;
}

// One run of the show with its music, from the song frame `startFrame`: resolves, once both
// run, to {stop, seconds} (its end and its clock).
async function play(show, startFrame) {
    const context = new AudioContext({ sampleRate: kSampleRate, latencyHint: 'playback' });
    let music = null;
    let pictures = null;
    let frameRequest = 0;
    let stopped = false;
    const stop = () => {
        if (stopped) return;
        stopped = true;
        cancelAnimationFrame(frameRequest);
        if (pictures) pictures.stop();
        if (music) music.stop();
        context.close();
    };
    try {
        music = await startMusic({ context, startFrame });
        await context.resume();
        // The sound starts with the first frame, as in the native frame loop: the first read
        // of the clock (which stands at the start until then) starts it.
        let soundStarted = false;
        const clock = () => {
            if (!soundStarted) {
                soundStarted = true;
                music.play().catch((error) => console.error(`the music cannot start: ${error.message}`));
            }
            return music.seconds();
        };
        pictures = await show.startShow({ canvas, startSeconds: music.seconds(), clock });
    } catch (error) {
        stop();
        throw error;
    }
    // The end of the show, watched once a frame (the pictures keep their own frame callback).
    const watchEnd = () => {
        if (music.seconds() >= kShowLengthSeconds) {
            stopButton.click();
            return;
        }
        frameRequest = requestAnimationFrame(watchEnd);
    };
    frameRequest = requestAnimationFrame(watchEnd);
    return { stop, seconds: music.seconds };
}

async function main() {
    setState('loading', 'Loading…');
    const parameters = new URLSearchParams(location.search);
    let still;
    let start;
    try {
        still = secondsParameter(parameters, 'still');
        start = secondsParameter(parameters, 't') ?? 0;
    } catch (error) {
        setState('failed', error.message); // the address's fault, not the page's: no console error
        return;
    }
    if (!(await hasWebGpu())) {
        setState('failed', noWebGpuText());
        return;
    }
    const show = await import('./show.js');

    if (still !== null) {
        await show.renderStill({ canvas, seconds: still });
        overlay.hidden = true;
        setState('still');
        return;
    }

    const startFrame = Math.round(start * kSampleRate);
    let running = null;
    const end = () => {
        if (!running) return;
        running.stop();
        running = null;
        stopButton.hidden = true;
        overlay.hidden = false;
        playButton.hidden = false;
        setState('stopped');
    };
    playButton.addEventListener('click', async () => {
        playButton.hidden = true;
        setState('loading', 'Loading…');
        try {
            running = await play(show, startFrame);
        } catch (error) {
            overlay.hidden = false;
            playButton.hidden = false;
            setState('failed', `The show could not start: ${error.message}`);
            console.error(error);
            return;
        }
        overlay.hidden = true;
        stopButton.hidden = false;
        setState('playing');
    });
    stopButton.addEventListener('click', end);
    addEventListener('keydown', (event) => {
        if (event.key === 'Escape') end();
    });
    globalThis.quavelPage = { seconds: () => (running ? running.seconds() : null) };
    playButton.hidden = false;
    setState('ready', start > 0 ? `Starts at ${start} s` : '');
}

main().catch((error) => {
    overlay.hidden = false;
    setState('failed', `The show could not start: ${error.message}`);
    console.error(error);
});
