// The page as a visitor uses it, in headless Chromium: it loads, the play button starts the
// show and its music, the clock runs with the heard music from where the address says, Escape
// stops it (or the show's end does), ?still= draws a moment without a play button, and nothing
// is written to the console as an error on the way. An address with a wrong ?t= and a browser
// without WebGPU each get their message instead of a show.
//
//   node tests/web/page_run.mjs SITE_FOLDER
import { openSite, runTest, siteFolderFromArguments } from './harness.mjs';

const kStartTimeout = 180_000; // SwiftShader builds every pipeline before the first frame
// Each case: the address's query, the chromium flags left out, and what must follow.
const kCases = [
    { name: 'from the start', query: '', play: { from: 0 } },
    { name: '?t=200', query: '?t=200', play: { from: 200 } },
    { name: 'the end of the show', query: '?t=367', play: { from: 367, endsAlone: true } },
    { name: '?still=150', query: '?still=150', still: true },
    { name: 'a wrong ?t=', query: '?t=400', message: /\?t= takes seconds/ },
    { name: 'no WebGPU', query: '', without: ['--enable-unsafe-webgpu'], message: /no WebGPU/ },
];

async function waitForState(page, states, timeout) {
    await page.waitForFunction((wanted) => wanted.includes(document.documentElement.dataset.state),
        states, { timeout });
    return page.evaluate(() => document.documentElement.dataset.state);
}

// Plays, checks that the clock starts at `from` and runs on with the music, and stops with
// Escape, or by itself at the show's end (368 s) when `endsAlone`.
async function playAndStop(page, { from, endsAlone = false }) {
    const clicked = Date.now();
    await page.click('#play');
    if (endsAlone) {
        // The show's first frame on SwiftShader (every pipeline made) may take longer than
        // what is left of the show: it may be over before the page is seen playing.
        const state = await waitForState(page, ['stopped', 'failed'], kStartTimeout).catch(async () => {
            throw new Error(`still playing at ${await page.evaluate(() => quavelPage.seconds())} s, past the show's end`);
        });
        if (state !== 'stopped') throw new Error(`did not play: ${await page.textContent('#message')}`);
        return;
    }
    const state = await waitForState(page, ['playing', 'failed'], kStartTimeout);
    if (state !== 'playing') throw new Error(`did not play: ${await page.textContent('#message')}`);
    // From the start on, the clock has run no faster than the wall clock since the click.
    const first = await page.evaluate(() => quavelPage.seconds());
    const wall = (Date.now() - clicked) / 1000;
    if (first < from || first > from + wall + 0.5)
        throw new Error(`the clock read ${first} s ${wall.toFixed(1)} s after playing from ${from} s`);
    // One second of music heard: the clock moves with the audio, not on its own.
    await page.waitForFunction((until) => quavelPage.seconds() >= until, first + 1, { timeout: 30_000 })
        .catch(async () => {
            const now = await page.evaluate(() => quavelPage.seconds());
            throw new Error(`the clock went from ${first} s to ${now} s in 30 s of playing`);
        });
    await page.keyboard.press('Escape');
    await waitForState(page, ['stopped'], 10_000);
    if (!(await page.isVisible('#play'))) throw new Error('no play button after the stop');
}

const site = siteFolderFromArguments();
await runTest('web page start, play and stop', async () => {
    const failures = [];
    for (const { name, query, without = [], play, still, message } of kCases) {
        const run = await openSite(site, { without });
        try {
            await run.page.goto(`${run.url}index.html${query}`);
            if (still) {
                // The moment drawn, and nothing offered to play: a still has no sound.
                const state = await waitForState(run.page, ['still', 'failed'], kStartTimeout);
                if (state !== 'still') throw new Error(`no still: ${await run.page.textContent('#message')}`);
                if (await run.page.isVisible('#play')) throw new Error('a play button beside the still');
                const lit = await run.page.evaluate(() => {
                    const canvas = document.getElementById('show');
                    const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
                    return pixels.some((value, i) => i % 4 !== 3 && value !== 0);
                });
                if (!lit) throw new Error('the still is black');
            } else if (play) {
                const state = await waitForState(run.page, ['ready', 'failed'], kStartTimeout);
                if (state !== 'ready') throw new Error(`no play button: ${await run.page.textContent('#message')}`);
                await playAndStop(run.page, play);
            } else {
                await waitForState(run.page, ['failed'], 60_000);
                const text = await run.page.textContent('#message');
                if (!message.test(text)) throw new Error(`the message reads "${text}"`);
            }
            if (run.consoleErrors.length > 0) throw new Error(`console errors: ${run.consoleErrors.join(' | ')}`);
            console.log(`${name}: as it should`);
        } catch (error) {
            failures.push(`${name}: ${error.message.split('\n')[0]}`);
        } finally {
            await run.close();
        }
    }
    if (failures.length > 0) throw new Error(failures.join('\n'));
});
