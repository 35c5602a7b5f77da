// Plays the browser build as a player would, in Chromium (headless on
// SwiftShader and headful on ANGLE over llvmpipe) and in Firefox ESR (headful),
// through puppeteer-core. scripts/web-test.sh builds the page, serves the site
// folder and starts the display; this script lays out the site and runs the
// cases.
//
//   node web_test.mjs --page build-web --site SITE --url http://127.0.0.1:PORT
//        --shots build-web/screenshots --recording tests/data/autopilot-win.rec
//        [--only NAME,NAME...]
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { BROWSERS, puppeteer } from './browsers.mjs';
import { packageHolding, readPackedFile, repackWithout, wavFrames } from './page_packages.mjs';

const MISSING_SHADER = 'Shader/OurVertexShader.vert';
const MISSING_SHADER_MESSAGE = `Die Shader-Datei konnte nicht geoeffnet werden: ${MISSING_SHADER}`;
const SHOT_SOUND = '/Klaenge/Wollknaeuel.wav';
const NO_WEBGL2 = 'Felidora braucht WebGL 2, und dieser Browser bietet es nicht.';
const GL_ERROR_MESSAGE = 'Ein GL-Fehler ist aufgetreten!';
// what a browser prints when a GL call fails: Chromium "WebGL: INVALID_ENUM: ..."
// or "[.WebGL-...] GL_INVALID_OPERATION: ...", Firefox "WebGL warning: <call>: ...";
// not Chromium's advice on an extension ("WebGL: this extension has very low support ...")
const WEBGL_ERROR = /WebGL: (INVALID_|CONTEXT_LOST)|GL_INVALID_|GL_OUT_OF_MEMORY|WebGL warning: |WebGL context was lost/;
// the line the game prints when a recorded session ends (Aufnahme) or a replay does (Wiedergabe)
const SUMMARY = /^(Aufnahme|Wiedergabe): (\d+) Bilder, Punkte -?\d+, Leben -?\d+, Gesundheit -?\d+, Gegner \d+, Position \(\S+, \S+, \S+\)$/m;
// seconds from opening the page to the scene on screen that this machine
// should manage when not busy
const SCENE_AIM = 10.0;

// The regions of the 800 x 600 picture the desktop's end-to-end cases read:
// the monitor at the lower left, the clip in the middle of its screen.
const MONITOR_SCREEN = '230x300+130+260';
const MONITOR_CLIP = '150x110+150+355';
const UPPER_HALF = '800x250+0+0';

function parseArguments(argv) {
  const args = { only: null };
  for (let i = 0; i < argv.length; i += 2) {
    const key = argv[i].replace(/^--/, '');
    if (i + 1 >= argv.length) throw new Error(`--${key} needs a value`);
    args[key] = argv[i + 1];
  }
  for (const needed of ['page', 'site', 'url', 'shots', 'recording'])
    if (!args[needed]) throw new Error(`--${needed} is missing`);
  if (args.only) args.only = args.only.split(',');
  return args;
}

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const seconds = (ms) => (ms / 1000).toFixed(1);

// ---- pictures, read with ImageMagick as the desktop's cases read theirs

function imageStats(file, crop) {
  const args = [file, ...(crop ? ['-crop', crop, '+repage'] : [])];
  args.push('-colorspace', 'RGB', '-format', '%[fx:mean] %[fx:standard_deviation]', 'info:');
  const [mean, spread] = execFileSync('convert', args, { encoding: 'utf8' }).trim().split(/\s+/).map(Number);
  return { mean, spread };
}

// The share of the picture in the colour the game clears the frame with
// (0.14, 0.25, 0.43), give or take a little for the browser's rounding.
const CLEAR_COLOUR = 'rgb(36,64,110)';
function clearShare(file) {
  const args = [file, '-fuzz', '3%', '-fill', 'white', '-opaque', CLEAR_COLOUR, '-fill', 'black', '+opaque', 'white'];
  args.push('-colorspace', 'gray', '-format', '%[fx:mean]', 'info:');
  return Number(execFileSync('convert', args, { encoding: 'utf8' }).trim());
}
const share = (value) => `${Math.round(100 * value)} %`;

function difference(a, b, crop) {
  // each image cut in its own parentheses: a -crop applies to every image read so far
  const cut = (file) => (crop ? ['(', file, '-crop', crop, '+repage', ')'] : [file]);
  const args = [...cut(a), ...cut(b), '-compose', 'difference', '-composite', '-colorspace', 'gray'];
  args.push('-format', '%[fx:mean]', 'info:');
  return Number(execFileSync('convert', args, { encoding: 'utf8' }).trim());
}

// ---- the site: the page as built, with the recording beside it, and a copy
// whose shader package lacks the vertex shader

function layOutSite(args) {
  const site = args.site;
  const game = path.join(site, 'game');
  const broken = path.join(site, 'missing-vertex-shader');
  fs.rmSync(game, { recursive: true, force: true });
  fs.rmSync(broken, { recursive: true, force: true });
  fs.mkdirSync(game, { recursive: true });
  fs.mkdirSync(broken, { recursive: true });
  const page = path.resolve(args.page);
  for (const name of fs.readdirSync(page)) {
    if (name === 'screenshots' || name.endsWith('.zip')) continue;
    fs.symlinkSync(path.join(page, name), path.join(game, name));
    fs.symlinkSync(path.join(page, name), path.join(broken, name));
  }
  fs.copyFileSync(args.recording, path.join(game, path.basename(args.recording)));

  const shaders = packageHolding(page, '/' + MISSING_SHADER);
  if (!shaders) throw new Error(`no data package in ${page} holds ${MISSING_SHADER}`);
  for (const name of [shaders.dataFile, shaders.loader, shaders.loader + '.metadata'])
    fs.rmSync(path.join(broken, path.basename(name)), { force: true });
  const work = fs.mkdtempSync(path.join(site, '..', 'repack-'));
  repackWithout(shaders, '/' + MISSING_SHADER, broken, work);
  fs.rmSync(work, { recursive: true, force: true });

  const sounds = packageHolding(page, SHOT_SOUND);
  const shotSound = sounds ? wavFrames(readPackedFile(sounds, SHOT_SOUND)) : null;
  return { shotSound };
}

// Counts the sounds started (Emscripten's OpenAL starts one buffer source per
// buffer it plays) and keeps the audio contexts the page makes.
function watchSound() {
  window.felidoraSoundWatch = { contexts: [], started: [] };
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...rest) {
    const buffer = this.buffer;
    window.felidoraSoundWatch.started.push({
      length: buffer ? buffer.length : 0,
      rate: buffer ? buffer.sampleRate : 0,
      at: performance.now(),
    });
    return start.apply(this, rest);
  };
  const Context = window.AudioContext;
  if (Context) {
    window.AudioContext = class extends Context {
      constructor(...rest) {
        super(...rest);
        // made inside the player's click, a context may play at once
        this.felidoraInGesture = Boolean(navigator.userActivation && navigator.userActivation.isActive);
        window.felidoraSoundWatch.contexts.push(this);
      }
      resume() {
        this.felidoraResumed = true;
        return super.resume();
      }
    };
  }
}

// The game's picture as the frame that drew it ends: the game tells the page
// of each frame by setting window.felidoraFrames, and the canvas still holds
// that frame then. (A browser's screenshot waits for its compositor, which on
// a software rasterizer busy with the game can take seconds.)
function grabFrames() {
  let frames = 0;
  window.felidoraGrabs = [];
  Object.defineProperty(window, 'felidoraFrames', {
    configurable: true,
    get: () => frames,
    set: (value) => {
      const drawn = value !== frames && value > 0;
      frames = value;
      if (!drawn || window.felidoraGrabs.length === 0) return;
      const canvas = document.querySelector('canvas');
      let picture = null;
      if (canvas) {
        // over black, as the page shows it (the game clears with alpha 0)
        const flat = document.createElement('canvas');
        flat.width = canvas.width;
        flat.height = canvas.height;
        const context = flat.getContext('2d');
        context.fillStyle = '#000';
        context.fillRect(0, 0, flat.width, flat.height);
        context.drawImage(canvas, 0, 0);
        picture = flat.toDataURL('image/png');
      }
      for (const done of window.felidoraGrabs.splice(0)) done(picture);
    },
  });
}

// One page of one browser, with everything it reports kept.
class Session {
  // every session of the case running, for its console when it fails
  static opened = [];

  constructor(browser, page, name) {
    this.browser = browser;
    this.page = page;
    this.name = name;
    this.console = [];
    this.faults = [];
    this.shotTimes = [];
    page.on('console', (message) => {
      const text = message.text();
      this.console.push(`${message.type()}: ${text}`);
      if (WEBGL_ERROR.test(text)) this.faults.push(`WebGL error in the console: ${text}`);
    });
    page.on('pageerror', (error) => this.faults.push(`page error: ${error.message || error}`));
    page.on('response', (response) => {
      if (response.status() >= 400 && !response.url().endsWith('/favicon.ico'))
        this.faults.push(`HTTP ${response.status()} for ${response.url()}`);
    });
    page.on('requestfailed', (request) => {
      if (!request.url().endsWith('/favicon.ico'))
        this.faults.push(`request failed: ${request.url()} (${request.failure()?.errorText})`);
    });
  }

  static async open(browser, name, url) {
    const page = await browser.newPage();
    const session = new Session(browser, page, name);
    Session.opened.push(session);
    await page.evaluateOnNewDocument(watchSound);
    await page.evaluateOnNewDocument(grabFrames);
    session.openedAt = Date.now();
    await page.goto(url, { waitUntil: 'domcontentloaded', timeout: 30000 });
    return session;
  }

  state() {
    return this.page.evaluate(() => document.body.dataset.state);
  }
  frames() {
    return this.page.evaluate(() => Number(window.felidoraFrames) || 0);
  }
  messages() {
    return this.page.evaluate(() => document.getElementById('messages')?.textContent ?? '');
  }

  // Waits until test() holds, polling; false after the time is up.
  async until(test, ms, step = 100) {
    const deadline = Date.now() + ms;
    for (;;) {
      if (await test()) return true;
      if (Date.now() > deadline) return false;
      await sleep(step);
    }
  }

  async waitState(wanted, ms) {
    let last;
    const ok = await this.until(async () => wanted.includes((last = await this.state())), ms);
    if (!ok) throw new Error(`the page stayed "${last}", not ${wanted.join(' or ')}, for ${seconds(ms)} s`);
    return last;
  }

  async waitFrames(count, ms) {
    const ok = await this.until(async () => (await this.frames()) >= count, ms, 50);
    if (!ok) throw new Error(`the game did not reach frame ${count} in ${seconds(ms)} s (at ${await this.frames()})`);
  }

  // The first click starts the game, as a player's would: in the canvas.
  async clickToStart() {
    const canvas = await this.page.$('canvas');
    if (!canvas) throw new Error('the page has no canvas');
    const box = await canvas.boundingBox();
    await this.page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  }

  // A key held for a few of the game's frames, so its poll sees it down.
  async holdKey(key, frames = 3) {
    const from = await this.frames();
    await this.page.keyboard.down(key);
    await this.until(async () => (await this.frames()) >= from + frames, 5000, 30);
    await this.page.keyboard.up(key);
  }

  async holdKeyFor(key, ms) {
    await this.page.keyboard.down(key);
    await sleep(ms);
    await this.page.keyboard.up(key);
  }

  // The canvas alone, 800 x 600 as the desktop's window: the next frame the
  // game draws, read as it ends (grabFrames); the browser's own screenshot
  // when no frame comes.
  async screenshot(file) {
    const asked = Date.now();
    const grabbed = await Promise.race([
      this.page.evaluate(() => new Promise((done) => window.felidoraGrabs.push(done))),
      sleep(10000).then(() => null),
    ]);
    if (grabbed && grabbed.startsWith('data:image/png;base64,')) {
      fs.writeFileSync(file, Buffer.from(grabbed.slice('data:image/png;base64,'.length), 'base64'));
    } else {
      const canvas = await this.page.$('canvas');
      const box = await canvas.boundingBox();
      await this.page.screenshot({ path: file, clip: box, captureBeyondViewport: false });
    }
    this.shotTimes.push(Date.now() - asked);
    return file;
  }

  shotSummary() {
    const total = this.shotTimes.reduce((a, b) => a + b, 0);
    return `${this.shotTimes.length} screenshots in ${seconds(total)} s (${this.shotTimes.map(seconds).join(', ')})`;
  }

  soundWatch() {
    return this.page.evaluate(() => ({
      started: window.felidoraSoundWatch.started,
      // a context without an output device (Firefox here) stays suspended
      // however it was made or resumed
      contexts: window.felidoraSoundWatch.contexts.map(
        (c) => c.state + (c.felidoraInGesture ? ', made in the click' : '') + (c.felidoraResumed ? ', resumed' : ''),
      ),
    }));
  }
}

// ---- the cases

class Failures {
  constructor() {
    this.list = [];
  }
  check(ok, text) {
    if (!ok) this.list.push(text);
    return ok;
  }
}

function sceneProblems(file) {
  const size = execFileSync('identify', ['-format', '%wx%h', file], { encoding: 'utf8' }).trim();
  if (size !== '800x600') return [`the canvas is ${size}, not 800x600`];
  const problems = [];
  const whole = imageStats(file);
  if (whole.spread <= 0.08) problems.push(`the picture is nearly uniform (deviation ${whole.spread.toFixed(3)})`);
  const upper = imageStats(file, UPPER_HALF);
  if (upper.spread <= 0.05) problems.push(`no landscape in the upper half (deviation ${upper.spread.toFixed(3)})`);
  const screen = imageStats(file, MONITOR_SCREEN);
  if (screen.spread <= 0.08) problems.push(`the monitor's screen is blank (deviation ${screen.spread.toFixed(3)})`);
  return problems;
}

// As a player: open, click, the scene on screen (how soon printed), the
// clip playing, F3 to wireframe and back, Space fires (its sound starts),
// Escape ends with the summary. `tag` names the screenshots.
async function playAsPlayer(ctx, browserName, { query = '', tag, reflection = false }) {
  const failures = new Failures();
  const shots = ctx.shots;
  const browser = await BROWSERS[browserName].launch();
  try {
    // a recorded session prints its summary at Escape, as on the desktop
    const url = `${ctx.url}/game/index.html?FELIDORA_RECORD=/tmp/session.rec${query}`;
    const s = await Session.open(browser, tag, url);
    await s.waitState(['ready', 'running'], 30000);
    const ready = Date.now();
    await s.clickToStart();
    await s.waitState(['running'], 5000);
    await s.waitFrames(1, 20000);
    const firstFrame = Date.now();
    // the scene: a picture that is not flat, with the monitor drawn
    const start = path.join(shots, `${tag}-start.png`);
    // the time a screenshot was asked for is the time of the picture it shows
    // (taking one can itself take seconds on a busy machine)
    let asked = Date.now();
    let problems = sceneProblems(await s.screenshot(start));
    const atFirstFrame = problems.length ? problems.join('; ') : 'the scene';
    const seen =
      problems.length === 0 ||
      (await s.until(
        async () => {
          asked = Date.now();
          problems = sceneProblems(await s.screenshot(start));
          return problems.length === 0;
        },
        Math.max(1000, s.openedAt + 30000 - Date.now()),
        250,
      ));
    const shotTook = seconds(Date.now() - asked);
    const onScreen = (asked - s.openedAt) / 1000;
    const sceneFrame = await s.frames();
    // a figure to read, not a check: the machine's load moves it
    const aim = onScreen <= SCENE_AIM ? `within the ${SCENE_AIM} s aimed at` : `OVER the ${SCENE_AIM} s aimed at`;
    console.log(
      `  ${tag}: ready after ${seconds(ready - s.openedAt)} s, first frame after ${seconds(firstFrame - s.openedAt)} s, ` +
        `scene on screen after ${onScreen.toFixed(1)} s (of opening the page; frame ${sceneFrame}; ` +
        `at the first frame: ${atFirstFrame}; its screenshot took ${shotTook} s), ${aim}; ` +
        `load ${fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ')}`,
    );
    failures.check(seen, `${tag}: the scene never came on screen: ${problems.join('; ')}`);
    const sound = await s.soundWatch();
    failures.check(
      sound.contexts.length > 0 && sound.contexts.every((state) => state !== 'suspended'),
      `${tag}: the sound is not running after the first click (audio contexts: ${sound.contexts.join(', ') || 'none'})`,
    );

    // the clip plays on the monitor: a second and three frames on, it shows
    // another picture
    const later = path.join(shots, `${tag}-start-later.png`);
    const beforeLater = Date.now();
    await s.waitFrames((await s.frames()) + 3, 10000);
    await sleep(Math.max(0, 1000 - (Date.now() - beforeLater)));
    await s.screenshot(later);
    const clipMoved = difference(start, later, MONITOR_CLIP);
    failures.check(clipMoved > 0.01, `${tag}: the clip does not play on the monitor (${clipMoved.toFixed(4)})`);

    // F3: the wireframe, the monitor still drawn. Drawn as lines, most of
    // the picture is the colour the frame is cleared with; filled, little is.
    // (a screenshot is the next frame drawn: one after the key was seen)
    const filledShot = later;
    await s.holdKey('F3', 2);
    const wire = await s.screenshot(path.join(shots, `${tag}-wireframe.png`));
    await s.holdKey('F3', 2);
    const filledAgain = await s.screenshot(path.join(shots, `${tag}-filled-again.png`));
    const [before, lines, after] = [filledShot, wire, filledAgain].map(clearShare);
    failures.check(
      lines > 0.6 && before < 0.5,
      `${tag}: F3 did not draw the wireframe (the clear colour covers ${share(before)} filled, ${share(lines)} after F3)`,
    );
    failures.check(after < 0.5, `${tag}: F3 again did not fill the picture (the clear colour covers ${share(after)})`);
    const monitor = imageStats(wire, MONITOR_SCREEN);
    failures.check(monitor.spread > 0.05, `${tag}: in wireframe the monitor is gone (deviation ${monitor.spread.toFixed(3)})`);
    console.log(
      `  ${tag}: the clear colour covers ${share(before)} filled, ${share(lines)} in wireframe, ${share(after)} filled ` +
        `again; the clip moved ${clipMoved.toFixed(3)}`,
    );

    // Space fires: the shot's sound starts
    if (ctx.shotSound) {
      const isShot = (start) => start.length === ctx.shotSound.frames && start.rate === ctx.shotSound.rate;
      const before = (await s.soundWatch()).started.filter(isShot).length;
      await s.holdKey(' ', 2);
      const fired = await s.until(async () => (await s.soundWatch()).started.filter(isShot).length > before, 3000);
      failures.check(fired, `${tag}: Space fired no shot (its sound never started)`);
    } else {
      failures.check(false, `${tag}: the page's packages hold no ${SHOT_SOUND}, so a shot cannot be heard`);
    }

    // the water: turned about towards the lakes, the sky in them
    if (reflection) {
      await s.holdKeyFor('ArrowLeft', 6000);
      await s.screenshot(path.join(shots, `${tag}-reflection.png`));
    }

    // Escape ends the game with the summary on the page
    const framesBeforeEscape = await s.frames();
    await s.holdKey('Escape', 2);
    const state = await s.waitState(['ended', 'failed'], 10000);
    failures.check(state === 'ended', `${tag}: after Escape the page is "${state}"`);
    const messages = await s.messages();
    const summary = SUMMARY.exec(messages);
    if (failures.check(summary && summary[1] === 'Aufnahme', `${tag}: no summary on the page after Escape:\n${messages}`))
      failures.check(
        Number(summary[2]) >= framesBeforeEscape,
        `${tag}: the summary counts ${summary[2]} frames, the page showed ${framesBeforeEscape}`,
      );
    failures.check(!messages.includes(GL_ERROR_MESSAGE), `${tag}: the game reported a GL error:\n${messages}`);
    console.log(`  ${tag}: ${summary ? summary[0] : '(no summary)'}; ${s.shotSummary()}`);
    for (const fault of s.faults) failures.check(false, `${tag}: ${fault}`);
  } finally {
    await browser.close();
  }
  return failures.list;
}

async function missingVertexShader(ctx, browserName) {
  const failures = new Failures();
  const browser = await BROWSERS[browserName].launch();
  try {
    const s = await Session.open(browser, 'missing', `${ctx.url}/missing-vertex-shader/index.html`);
    let state = await s.waitState(['ready', 'running', 'failed'], 30000);
    if (state === 'ready') {
      await s.clickToStart();
      state = await s.waitState(['failed', 'ended'], 15000);
    } else if (state === 'running') {
      state = await s.waitState(['failed', 'ended'], 15000);
    }
    failures.check(state === 'failed', `missing vertex shader: the page is "${state}", not "failed"`);
    const messages = await s.messages();
    failures.check(
      messages.split('\n').includes(MISSING_SHADER_MESSAGE),
      `missing vertex shader: the page does not show "${MISSING_SHADER_MESSAGE}" but:\n${messages}`,
    );
    failures.check(
      s.console.some((line) => line.endsWith(MISSING_SHADER_MESSAGE)),
      'missing vertex shader: the message is not in the console',
    );
    console.log(`  missing vertex shader: "${state}", the page shows: ${JSON.stringify(messages.trim())}`);
    for (const fault of s.faults) failures.check(false, `missing vertex shader: ${fault}`);
  } finally {
    await browser.close();
  }
  return failures.list;
}

async function recordedWin(ctx, browserName) {
  const failures = new Failures();
  const expected = fs.readFileSync(ctx.recording.replace(/\.rec$/, '.txt'), 'utf8').trim();
  const name = path.basename(ctx.recording);
  const browser = await BROWSERS[browserName].launch();
  try {
    const started = Date.now();
    const s = await Session.open(browser, 'replay', `${ctx.url}/game/index.html?replay=${name}&FELIDORA_REPLAY_DRAW_EVERY=${ctx.replayDrawEvery}`);
    const first = await s.waitState(['ready', 'running', 'ended', 'failed'], 30000);
    if (first === 'ready') await s.clickToStart();
    const state = await s.waitState(['ended', 'failed'], 240000);
    const messages = await s.messages();
    const summary = SUMMARY.exec(messages);
    const replayed = summary && summary[1] === 'Wiedergabe' ? summary[0].slice('Wiedergabe: '.length) : null;
    console.log(
      `  replay (${BROWSERS[browserName].label}, every ${ctx.replayDrawEvery}th frame drawn): "${state}" after ` +
        `${seconds(Date.now() - started)} s`,
    );
    console.log(`    replayed: ${replayed ?? '(no summary)'}`);
    console.log(`    on Linux: ${expected}`);
    failures.check(state === 'ended', `replay: the page is "${state}":\n${messages}`);
    failures.check(replayed === expected, 'replay: the browser ends elsewhere than Linux (both printed above)');
    for (const fault of s.faults) failures.check(false, `replay: ${fault}`);
  } finally {
    await browser.close();
  }
  return failures.list;
}

// The settings file as the page keeps it in IndexedDB (Emscripten's IDBFS), or null.
function storedSettings(page) {
  return page.evaluate(
    () =>
      new Promise((done) => {
        const opening = indexedDB.open('/felidora');
        opening.onerror = () => done(null);
        opening.onsuccess = () => {
          const db = opening.result;
          if (!db.objectStoreNames.contains('FILE_DATA')) return done(null);
          const read = db.transaction('FILE_DATA', 'readonly').objectStore('FILE_DATA').get('/felidora/einstellungen.ini');
          read.onerror = () => done(null);
          read.onsuccess = () => done(read.result ? new TextDecoder().decode(read.result.contents) : null);
        };
      }),
  );
}

// What lasts between visits: M in a first visit stores "mute = on"; in a
// second visit of the same browser M turns it off again, which it does only
// if the game read the stored "on" at its start.
async function settingsBetweenVisits(ctx, browserName) {
  const failures = new Failures();
  const browser = await BROWSERS[browserName].launch();
  try {
    const seen = [];
    for (const [visit, expected] of [
      ['first', 'mute = on'],
      ['second', 'mute = off'],
    ]) {
      const s = await Session.open(browser, `settings-${visit}`, `${ctx.url}/game/index.html`);
      await s.waitState(['ready'], 30000);
      await s.clickToStart();
      await s.waitFrames(3, 20000);
      await s.holdKey('m', 2);
      let stored = null;
      const kept = await s.until(async () => (stored = await storedSettings(s.page))?.includes(expected), 5000);
      seen.push(`${visit} visit: ${JSON.stringify(stored?.match(/^mute = .*$/m)?.[0] ?? stored)}`);
      failures.check(kept, `settings: after M in the ${visit} visit the browser keeps:\n${stored}`);
      for (const fault of s.faults) failures.check(false, `settings, ${visit} visit: ${fault}`);
      await s.page.close();
    }
    console.log(`  settings: M stored ${seen.join(', ')}`);
  } finally {
    await browser.close();
  }
  return failures.list;
}

// A browser without WebGL 2: one sentence, nothing else fetched or failed.
async function withoutWebGl2(ctx) {
  const failures = new Failures();
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--disable-webgl2', '--no-sandbox'],
  });
  try {
    const s = await Session.open(browser, 'nowebgl', `${ctx.url}/game/index.html`);
    const state = await s.waitState(['nowebgl', 'ready', 'failed'], 30000);
    const shown = await s.page.evaluate(() => document.getElementById('overlay')?.textContent ?? '');
    failures.check(state === 'nowebgl', `without WebGL 2 the page is "${state}"`);
    failures.check(shown === NO_WEBGL2, `without WebGL 2 the page says ${JSON.stringify(shown)}`);
    console.log(`  without WebGL 2: "${state}": ${JSON.stringify(shown)}`);
    for (const fault of s.faults) failures.check(false, `without WebGL 2: ${fault}`);
  } finally {
    await browser.close();
  }
  return failures.list;
}

const CASES = [
  ['headless', (ctx) => playAsPlayer(ctx, 'chromium-headless', { tag: 'chromium-headless', reflection: true })],
  [
    'headless-fallbacks',
    (ctx) =>
      playAsPlayer(ctx, 'chromium-headless', {
        query: '&FELIDORA_GL_FALLBACKS=1',
        tag: 'chromium-fallbacks',
        reflection: true,
      }),
  ],
  ['missing-shader', (ctx) => missingVertexShader(ctx, 'chromium-headless')],
  ['no-webgl2', (ctx) => withoutWebGl2(ctx)],
  ['settings', (ctx) => settingsBetweenVisits(ctx, 'chromium-headless')],
  ['headful', (ctx) => playAsPlayer(ctx, 'chromium-headful', { tag: 'chromium-headful' })],
  ['firefox', (ctx) => playAsPlayer(ctx, 'firefox', { tag: 'firefox', reflection: true })],
  ['replay', (ctx) => recordedWin(ctx, ctx.replayBrowser)],
];

async function main() {
  const args = parseArguments(process.argv.slice(2));
  fs.mkdirSync(args.shots, { recursive: true });
  // this set's pictures of an earlier run go (the benchmarks' stay)
  for (const name of fs.readdirSync(args.shots))
    if (/^(chromium|firefox)-.*\.png$/.test(name)) fs.rmSync(path.join(args.shots, name));
  const started = Date.now();
  const { shotSound } = layOutSite(args);
  const ctx = {
    url: args.url.replace(/\/$/, ''),
    shots: path.resolve(args.shots),
    recording: path.resolve(args.recording),
    shotSound,
    replayBrowser: args['replay-browser'] || 'chromium-headful',
    replayDrawEvery: Number(args['replay-draw-every'] || 500),
  };
  const failures = [];
  for (const [name, run] of CASES) {
    if (args.only && !args.only.includes(name)) continue;
    const caseStarted = Date.now();
    let found;
    Session.opened = [];
    try {
      found = await run(ctx);
    } catch (error) {
      found = [`${name}: ${error.message}`];
    }
    console.log(`${found.length ? 'FAIL' : 'ok  '} ${name} (${seconds(Date.now() - caseStarted)} s)`);
    for (const text of found) console.log(`     ${text.replace(/\n/g, '\n     ')}`);
    if (found.length)
      for (const session of Session.opened)
        console.log(
          `     ${session.name}: its faults: ${session.faults.join('; ') || 'none'}; its console's last lines:\n       ` +
            session.console.slice(-15).join('\n       '),
        );
    failures.push(...found);
  }
  console.log(`browser cases: ${failures.length ? `${failures.length} failure(s)` : 'all passed'} in ${seconds(Date.now() - started)} s`);
  process.exit(failures.length ? 1 : 0);
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(2);
});
