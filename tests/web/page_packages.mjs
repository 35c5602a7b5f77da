// The page's data packages as Emscripten's file_packager writes them: a .data
// file holding the files end to end and a loader .js whose call
// loadPackage({...}) (or a .js.metadata file beside it) names each file with
// its start and end in the .data file.
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';

const FILE_PACKAGER = '/usr/share/emscripten/tools/file_packager.py';
const PYTHON = '/usr/bin/python3';

// The JSON handed to loadPackage, read from the loader or its .metadata file;
// null when the script is not a package loader.
function loaderMetadata(loaderPath) {
  const text = fs.readFileSync(loaderPath, 'utf8');
  if (!text.includes('REMOTE_PACKAGE_BASE')) return null;
  if (fs.existsSync(loaderPath + '.metadata')) return JSON.parse(fs.readFileSync(loaderPath + '.metadata', 'utf8'));
  const at = text.lastIndexOf('loadPackage({');
  if (at < 0) return null;
  // the metadata is one JSON object; its end is the brace that balances the first
  const start = at + 'loadPackage('.length;
  let depth = 0;
  let inString = false;
  for (let i = start; i < text.length; ++i) {
    const c = text[i];
    if (inString) {
      if (c === '\\') ++i;
      else if (c === '"') inString = false;
    } else if (c === '"') inString = true;
    else if (c === '{') ++depth;
    else if (c === '}' && --depth === 0) return JSON.parse(text.slice(start, i + 1));
  }
  return null;
}

// Every package of the page folder: { loader, dataFile, files, text }.
export function findPackages(pageDir) {
  const found = [];
  for (const name of fs.readdirSync(pageDir).sort()) {
    if (!name.endsWith('.js')) continue;
    const loader = path.join(pageDir, name);
    const metadata = loaderMetadata(loader);
    if (!metadata) continue;
    const text = fs.readFileSync(loader, 'utf8');
    const base = /REMOTE_PACKAGE_BASE\s*=\s*['"]([^'"]+)['"]/.exec(text);
    if (!base) continue;
    found.push({ loader, dataFile: path.join(pageDir, base[1]), files: metadata.files, text });
  }
  return found;
}

// The package holding the file at this path of the page's file system.
export function packageHolding(pageDir, filename) {
  return findPackages(pageDir).find((p) => p.files.some((f) => f.filename === filename)) || null;
}

export function readPackedFile(pkg, filename) {
  const entry = pkg.files.find((f) => f.filename === filename);
  if (!entry) throw new Error(`${filename} is not in ${pkg.dataFile}`);
  const data = fs.readFileSync(pkg.dataFile);
  if (entry.end > data.length) throw new Error(`${pkg.dataFile} is shorter than its loader says`);
  return data.subarray(entry.start, entry.end);
}

// The switches the package was made with, read from what each one leaves in
// the loader, so a package made again loads the same way.
function packagerOptions(pkg) {
  const options = [];
  if (fs.existsSync(pkg.loader + '.metadata')) options.push('--separate-metadata');
  if (pkg.text.includes('indexedDB')) options.push('--use-preload-cache');
  if (pkg.text.includes('LZ4')) options.push('--lz4');
  if (pkg.text.includes('FS_createPreloadedFile')) options.push('--use-preload-plugins');
  if (!pkg.text.includes("typeof process.versions.node === 'string'")) options.push('--no-node');
  const exported = /var Module = typeof (\w+) !== 'undefined'/.exec(pkg.text);
  if (exported && exported[1] !== 'Module') options.push(`--export-name=${exported[1]}`);
  return options;
}

// Writes into outDir the package holding `dropped`, made again by
// file_packager from the same files without that one (the same .data and
// loader names as the page's).
export function repackWithout(pkg, dropped, outDir, workDir) {
  const tree = path.join(workDir, 'tree');
  fs.rmSync(tree, { recursive: true, force: true });
  const data = fs.readFileSync(pkg.dataFile);
  const tops = new Set();
  for (const entry of pkg.files) {
    if (entry.filename === dropped) continue;
    const relative = entry.filename.replace(/^\/+/, '');
    if (relative.split('/').includes('..')) throw new Error(`odd path in the package: ${entry.filename}`);
    const target = path.join(tree, relative);
    fs.mkdirSync(path.dirname(target), { recursive: true });
    fs.writeFileSync(target, data.subarray(entry.start, entry.end));
    tops.add(relative.split('/')[0]);
  }
  const dataName = path.basename(pkg.dataFile);
  const loaderName = path.basename(pkg.loader);
  const preload = [...tops].sort().map((top) => `${top}@/${top}`);
  // run in the tree, so the package's own name carries no folder
  execFileSync(
    PYTHON,
    [FILE_PACKAGER, dataName, '--preload', ...preload, `--js-output=${loaderName}`, ...packagerOptions(pkg)],
    { cwd: tree, stdio: ['ignore', 'ignore', 'pipe'], env: { ...process.env, EMSDK_PYTHON: PYTHON } },
  );
  for (const name of [dataName, loaderName, loaderName + '.metadata']) {
    const made = path.join(tree, name);
    if (fs.existsSync(made)) fs.copyFileSync(made, path.join(outDir, name));
  }
}

// Frames and sample rate of a PCM WAV file.
export function wavFrames(bytes) {
  if (bytes.toString('ascii', 0, 4) !== 'RIFF' || bytes.toString('ascii', 8, 12) !== 'WAVE')
    throw new Error('not a WAV file');
  let channels = 0;
  let rate = 0;
  let bits = 0;
  for (let at = 12; at + 8 <= bytes.length; ) {
    const id = bytes.toString('ascii', at, at + 4);
    const size = bytes.readUInt32LE(at + 4);
    if (id === 'fmt ') {
      channels = bytes.readUInt16LE(at + 10);
      rate = bytes.readUInt32LE(at + 12);
      bits = bytes.readUInt16LE(at + 22);
    } else if (id === 'data') {
      if (!channels || !bits) break;
      return { frames: Math.floor(size / (channels * (bits / 8))), rate };
    }
    at += 8 + size + (size & 1);
  }
  throw new Error('a WAV file without its format or data');
}
