// What the page tests share: Debian's chromium driven through puppeteer-core
// (software WebGL through SwiftShader), pictures from mirovan-snapshot, and
// a PNG reader and comparison of their own.
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const kDeadlineMs = 20000;

function launch() {
  return puppeteer.launch({
    executablePath: process.env.MIROVAN_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--hide-scrollbars', '--disable-gpu-vsync'],
  });
}

// Opens a page file at a viewport size and view fragment, and waits until
// its first frame is drawn (or it gave up). Script errors and console errors
// are kept in `errors`; `prepare` runs before the page loads.
async function openPage(browser, file, width, height, fragment, prepare) {
  const tab = await browser.newPage();
  if (prepare) await prepare(tab);
  const errors = [];
  tab.on('pageerror', (error) => errors.push(String(error)));
  tab.on('console', (msg) => { if (msg.type() === 'error') errors.push(msg.text()); });
  await tab.setViewport({ width, height, deviceScaleFactor: 1 });
  const url = 'file://' + path.resolve(file) + (fragment ? '#' + fragment : '');
  await tab.goto(url, { waitUntil: 'load', timeout: kDeadlineMs });
  await tab.waitForFunction('window.mirovan && (window.mirovan.frames > 0 || window.mirovan.error)',
    { timeout: kDeadlineMs, polling: 'raf' });
  return { tab, errors };
}

// Frames already drawn, then one more: what the screen shows now.
async function settle(tab) {
  const drawn = await tab.evaluate('window.mirovan.frames');
  await tab.evaluate('new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))');
  return drawn;
}

async function screenshot(tab) {
  return decodePng(Buffer.from(await tab.screenshot({ type: 'png' })));
}

function snapshot(snapshotProgram, scene, width, height, angleX, angleY, out) {
  execFileSync(snapshotProgram, [scene, out, '--size', String(width), String(height), '--view',
    String(angleX), String(angleY)], { stdio: ['ignore', 'ignore', 'inherit'] });
  return decodePng(fs.readFileSync(out));
}

// 8-bit RGB or RGBA, not interlaced: what chromium and mirovan-snapshot write.
function decodePng(bytes) {
  let at = 8, width = 0, height = 0, channels = 0;
  const chunks = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
    const data = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      if (data[8] !== 8 || data[12] !== 0) throw new Error('PNG not 8-bit or interlaced');
      channels = { 2: 3, 6: 4 }[data[9]];
      if (!channels) throw new Error('PNG colour type ' + data[9]);
    } else if (type === 'IDAT') {
      chunks.push(data);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(chunks));
  const stride = width * channels, rgb = new Uint8Array(width * height * 3);
  const previous = new Uint8Array(stride), line = new Uint8Array(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const value = raw[y * (stride + 1) + 1 + x];
      const a = x >= channels ? line[x - channels] : 0, b = previous[x];
      const c = x >= channels ? previous[x - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = a;
      else if (filter === 2) predicted = b;
      else if (filter === 3) predicted = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      line[x] = (value + predicted) & 255;
    }
    for (let x = 0; x < width; ++x)
      for (let k = 0; k < 3; ++k) rgb[(y * width + x) * 3 + k] = line[x * channels + k];
    previous.set(line);
  }
  return { width, height, rgb };
}

// The share of pixels that differ by more than `levels` in any channel.
function differingShare(first, second, levels) {
  if (first.width !== second.width || first.height !== second.height)
    throw new Error(`sizes differ: ${first.width}x${first.height}, ${second.width}x${second.height}`);
  let differing = 0;
  for (let i = 0; i < first.rgb.length; i += 3) {
    if (Math.abs(first.rgb[i] - second.rgb[i]) > levels ||
        Math.abs(first.rgb[i + 1] - second.rgb[i + 1]) > levels ||
        Math.abs(first.rgb[i + 2] - second.rgb[i + 2]) > levels) ++differing;
  }
  return differing / (first.width * first.height);
}

// Programs and folders the tests are given on the command line: --name value.
function options(names) {
  const found = {};
  for (let i = 2; i < process.argv.length; i += 2) found[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
  for (const name of names) if (!found[name]) throw new Error('missing --' + name);
  fs.mkdirSync(found.work, { recursive: true });
  return found;
}

function makePage(mirovan, scene, page) {
  execFileSync(mirovan, ['-html', scene, page], { stdio: 'ignore' });
}

// Waits for a condition in the page, with the tests' deadline.
function until(tab, condition) {
  return tab.waitForFunction(condition, { timeout: kDeadlineMs, polling: 'raf' });
}

module.exports = { launch, openPage, settle, screenshot, snapshot, decodePng, differingShare,
  options, makePage, until, kDeadlineMs };
