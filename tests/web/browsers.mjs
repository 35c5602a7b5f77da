// The browsers the page is played in, and how each is started: for the
// browser set (web_test.mjs) and the browser's frame benchmark
// (bench/web_frame.mjs) alike. puppeteer-core comes from the folder
// scripts/web-test.sh installed it into, else from an npm install beside this
// file.
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const modules = process.env.FELIDORA_WEB_NODE_MODULES || here;
export const puppeteer = createRequire(path.join(modules, 'package.json'))('puppeteer-core');

export const BROWSERS = {
  'chromium-headless': {
    label: 'Chromium headless (SwiftShader)',
    launch: () =>
      puppeteer.launch({
        executablePath: '/usr/bin/chromium',
        headless: true,
        args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox', '--window-size=1000,900'],
        defaultViewport: { width: 1000, height: 900 },
      }),
  },
  'chromium-headful': {
    label: 'Chromium headful (ANGLE on llvmpipe)',
    launch: () =>
      puppeteer.launch({
        executablePath: '/usr/bin/chromium',
        headless: false,
        // llvmpipe is on Chromium's GPU block list: without the switch no WebGL 2
        args: [
          '--use-gl=angle',
          '--use-angle=gl',
          '--ignore-gpu-blocklist',
          '--no-sandbox',
          '--window-size=1000,900',
          '--window-position=0,0',
        ],
        defaultViewport: null,
      }),
  },
  firefox: {
    label: 'Firefox ESR headful (llvmpipe)',
    launch: () =>
      puppeteer.launch({
        browser: 'firefox',
        executablePath: '/usr/bin/firefox-esr',
        headless: false,
        defaultViewport: { width: 1000, height: 900 },
      }),
  },
};
