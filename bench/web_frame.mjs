// One run of the browser game for bench/web_frame.sh: Chromium headful on
// ANGLE over the display's llvmpipe opens the page, a click starts the game,
// the X key script plays it (bench/blackbox_keys.sh, as for the native game)
// and the page's animation frames in which the game drew a frame
// (window.felidoraFrames moved) are stamped after the warm-up. Prints
// "median_ms p95_ms frames".
//
//   node web_frame.mjs URL SCRIPT WARM_UP SECONDS [SCREENSHOT]
import path from 'node:path';
import { spawn } from 'node:child_process';
import { fileURLToPath } from 'node:url';
import { BROWSERS } from '../tests/web/browsers.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const [url, script, warmUp, measured, screenshot] = process.argv.slice(2);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

const browser = await BROWSERS['chromium-headful'].launch();
let keys = null;
try {
  const page = await browser.newPage();
  await page.goto(url, { waitUntil: 'domcontentloaded' });
  await page.waitForFunction(() => document.body.dataset.state === 'ready', { timeout: 60000, polling: 100 });
  const canvas = await page.$('canvas');
  const box = await canvas.boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  await page.waitForFunction(() => window.felidoraFrames > 0, { timeout: 30000, polling: 50 });
  // the keys from the game's first frame on, as the native run's from its start
  const total = Number(warmUp) + Number(measured);
  keys = spawn('bash', ['-c', `source "${here}/blackbox_keys.sh" && play_keys ${script} ${total}`], {
    stdio: 'ignore',
  });
  if (screenshot) {
    await sleep(4000);
    await canvas.screenshot({ path: screenshot });
  }
  await sleep(Math.max(0, Number(warmUp) * 1000 - (screenshot ? 4000 : 0)));
  const stamps = await page.evaluate(
    (ms) =>
      new Promise((done) => {
        const kept = [];
        let last = window.felidoraFrames;
        const end = performance.now() + ms;
        const tick = (now) => {
          if (window.felidoraFrames !== last) {
            last = window.felidoraFrames;
            kept.push(now);
          }
          if (now < end && document.body.dataset.state === 'running') requestAnimationFrame(tick);
          else done(kept);
        };
        requestAnimationFrame(tick);
      }),
    Number(measured) * 1000,
  );
  await new Promise((done) => (keys.exitCode !== null ? done() : keys.on('exit', done)));
  const intervals = stamps
    .slice(1)
    .map((t, i) => t - stamps[i])
    .sort((a, b) => a - b);
  if (intervals.length < 2) throw new Error(`only ${stamps.length} frames drawn while measured`);
  const median = intervals[Math.floor(intervals.length / 2)];
  const p95 = intervals[Math.floor(0.95 * (intervals.length - 1))];
  console.log(`${median.toFixed(1)} ${p95.toFixed(1)} ${intervals.length}`);
} finally {
  if (keys && keys.exitCode === null) keys.kill();
  await browser.close();
}
