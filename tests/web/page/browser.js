// What the page tests share: Debian's chromium driven through puppeteer-core
// (software WebGL through SwiftShader), pictures from mirovan-snapshot, and
// their comparison.
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
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

// Any PNG as 8-bit RGB, through ImageMagick (a PPM: "P6 W H 255" then the
// pixels).
function decodePng(bytes) {
  const ppm = execFileSync('/usr/bin/convert', ['png:-', '-depth', '8', 'ppm:-'], { input: bytes });
  const header = ppm.toString('latin1', 0, 32).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  return { width: +header[1], height: +header[2], rgb: ppm.subarray(header[0].length) };
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
