// node frame_time.js --mirovan M --snapshot S [--playground HTML] [--runs R] SCENE...:
// for each scene, the time of one 500 x 500 frame of its -html page in
// headless chromium (SwiftShader) against the window's own frame
// (mirovan-snapshot --frames, Mesa llvmpipe), and their ratio (goal: at
// most 2); with --playground, the playground's frame of the same scene too.
// Each time is the median of R runs (3).
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');
let puppeteer;
try {
  puppeteer = require(path.join(__dirname, '../../tests/web/node_modules/puppeteer-core'));
} catch (error) {
  console.log('puppeteer-core not installed (make test installs it)');
  process.exit(1);
}

const kDeadlineMs = 900000;

function options() {
  const found = { scenes: [], runs: '3' };
  const args = process.argv.slice(2);
  for (let i = 0; i < args.length; ++i) {
    if (args[i].startsWith('--')) found[args[i].slice(2)] = args[++i];
    else found.scenes.push(args[i]);
  }
  return found;
}

const median = (values) => values.slice().sort((a, b) => a - b)[values.length >> 1];

function seconds(program, args) {
  const start = process.hrtime.bigint();
  const run = spawnSync(program, args, { stdio: ['ignore', 'ignore', 'inherit'] });
  if (run.status !== 0) throw new Error(`${path.basename(program)} ${args.join(' ')} failed`);
  return Number(process.hrtime.bigint() - start) / 1e9;
}

// The window's frame: (time with N frames - time with 1) / (N - 1), N
// chosen so that the extra frames take a few seconds.
function snapshotFrameMs(snapshot, scene, solids, runs) {
  const frames = solids >= 50000 ? 3 : solids >= 5000 ? 6 : 21;
  const out = path.join(os.tmpdir(), 'mirovan-frame-time.png');
  const one = [], many = [];
  for (let run = 0; run < runs; ++run) {
    one.push(seconds(snapshot, [scene, out, '--frames', '1']));
    many.push(seconds(snapshot, [scene, out, '--frames', String(frames)]));
  }
  fs.rmSync(out, { force: true });
  return Math.max(0, (median(many) - median(one)) * 1000 / (frames - 1));
}

// One frame drawn from outside: the page draws in its resize handler, and
// reading a pixel waits for the GPU to finish it.
function timeFrames(selector, runs) {
  const canvas = document.querySelector(selector);
  const gl = canvas.getContext('webgl');
  const pixel = new Uint8Array(4), times = [];
  for (let run = 0; run < runs; ++run) {
    const start = performance.now();
    window.dispatchEvent(new Event('resize'));
    gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    times.push(performance.now() - start);
  }
  return times;
}

async function pageFrameMs(browser, file, runs) {
  const tab = await browser.newPage();
  try {
    await tab.setViewport({ width: 500, height: 500, deviceScaleFactor: 1 });
    await tab.goto('file://' + path.resolve(file), { waitUntil: 'load', timeout: kDeadlineMs });
    await tab.waitForFunction('window.mirovan && (window.mirovan.frames > 0 || window.mirovan.error)',
      { timeout: kDeadlineMs, polling: 100 });
    const times = await tab.evaluate(timeFrames, '#view', runs);
    return { ms: median(times), solids: await tab.evaluate('mirovan.solids') };
  } finally {
    await tab.close();
  }
}

// The playground with the scene typed into its editor: one frame of its
// picture, timed the same way.
async function playgroundFrameMs(browser, file, sceneText, runs) {
  const tab = await browser.newPage();
  try {
    await tab.setViewport({ width: 1000, height: 500, deviceScaleFactor: 1 });
    await tab.goto('file://' + path.resolve(file), { waitUntil: 'load', timeout: kDeadlineMs });
    await tab.evaluate((text) => {
      const editor = document.querySelector('#scene');
      document.documentElement.dataset.state = '';
      editor.value = text;
      editor.dispatchEvent(new Event('input'));
    }, sceneText);
    await tab.waitForFunction("document.documentElement.dataset.state === 'drawn'",
      { timeout: kDeadlineMs, polling: 100 });
    const size = await tab.evaluate("(() => { const c = document.querySelector('#picture'); " +
      "return c.width + ' x ' + c.height; })()");
    const times = await tab.evaluate(timeFrames, '#picture', runs);
    return { ms: median(times), size };
  } finally {
    await tab.close();
  }
}

async function main() {
  const opt = options();
  const runs = Number(opt.runs);
  const playground = opt.playground && fs.existsSync(opt.playground) ? opt.playground : null;
  const browser = await puppeteer.launch({
    executablePath: process.env.MIROVAN_CHROMIUM || '/usr/bin/chromium', headless: true,
    protocolTimeout: kDeadlineMs,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--hide-scrollbars', '--disable-gpu-vsync'],
  });
  let met = true;
  try {
    console.log(`${'scene'.padEnd(20)} ${'solids'.padStart(7)} ${'page ms'.padStart(9)} ` +
      `${'window ms'.padStart(9)} ${'x window'.padStart(8)}` +
      (playground ? ` ${'playground ms'.padStart(13)}` : ''));
    for (const scene of opt.scenes) {
      const page = scene.replace(/\.scn$/, '') + '.html';
      if (spawnSync(opt.mirovan, ['-html', scene, page], { stdio: 'ignore' }).status !== 0)
        throw new Error(`mirovan -html ${scene} failed`);
      const { ms: pageMs, solids } = await pageFrameMs(browser, page, runs);
      const windowMs = snapshotFrameMs(opt.snapshot, scene, solids, runs);
      const ratio = pageMs / windowMs;
      met = met && ratio <= 2;
      let line = `${path.basename(scene, '.scn').padEnd(20)} ${String(solids).padStart(7)} ` +
        `${pageMs.toFixed(0).padStart(9)} ${windowMs.toFixed(0).padStart(9)} ${ratio.toFixed(2).padStart(8)}`;
      if (playground) {
        const drawn = await playgroundFrameMs(browser, playground, fs.readFileSync(scene, 'utf8'), runs);
        line += ` ${drawn.ms.toFixed(0).padStart(13)} (${drawn.size})`;
      }
      console.log(line + (ratio <= 2 ? '' : '  (goal not met)'));
      fs.rmSync(page, { force: true });
    }
  } finally {
    await browser.close();
  }
  if (!playground) console.log('(no playground page built: its frame not timed)');
  console.log(met ? 'page frame within twice the window\'s on every scene'
    : 'page frame NOT within twice the window\'s on every scene');
}

main().catch((error) => { console.error(error); process.exit(1); });
