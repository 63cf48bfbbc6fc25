// node playground_bench.js PLAYGROUND.html EXAMPLES_DIR BIG.scn
//   [--evaluate SCENE... [--native HTML_MS,GLTF_MS]]:
// the playground in headless chromium at 1000 x 700, as a visitor meets it:
//  - load to first picture, each bundled example opened from a link
//    (medians of 5 loads);
//  - last keystroke to new picture: a character typed at the end of each
//    example and of BIG (10,000 statements), median of 9 keystrokes;
//  - the module's own time for -html and -gltf on the scenes given after
//    --evaluate (in a worker, as the page runs it; medians of 3), and its
//    ratio to the native times given after --native.
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
let web;
try {
  web = require(path.join(__dirname, '../../tests/web/page/browser.js'));
} catch (error) {
  console.log('puppeteer-core not installed (make test installs it)');
  process.exit(1);
}

const args = process.argv.slice(2);
const split = args.indexOf('--evaluate');
const [playground, examplesDir, big] = args.slice(0, split < 0 ? args.length : split);
const nativeAt = args.indexOf('--native');
const evaluated = split < 0 ? [] : args.slice(split + 1, nativeAt < 0 ? args.length : nativeAt);
const native = nativeAt < 0 ? null : args[nativeAt + 1].split(',').map(Number);
const url = 'file://' + path.resolve(playground);
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => value.toFixed(0).padStart(6) + ' ms';

function linkTo(text) {
  return '#scene=' + zlib.deflateRawSync(Buffer.from(text)).toString('base64url') + '&view=0,0';
}

// Drawn is when the page has given the GL its picture: reading one pixel
// back waits until the GL has made it.
function pictureRendered() {
  window.pictureRendered = () => {
    const canvas = document.getElementById('picture');
    const gl = canvas && canvas.getContext('webgl');
    if (gl) gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
  };
}

async function tab(browser, hash) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(pictureRendered);
  await page.setViewport({ width: 1000, height: 700 });
  await page.goto(url + (hash || ''), { waitUntil: 'domcontentloaded', timeout: 120000 });
  await page.waitForFunction('document.documentElement.dataset.state === "drawn"', { timeout: 120000 });
  return page;
}

async function loadTimes(browser, text) {
  const times = [];
  for (let run = 0; run < 5; ++run) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 700 });
    await page.evaluateOnNewDocument(pictureRendered);
    await page.evaluateOnNewDocument(() => {
      // The moment the first picture is drawn, from the start of navigation.
      new MutationObserver(() => {
        if (document.documentElement.dataset.state === 'drawn' && !window.firstPictureMs) {
          window.pictureRendered();
          window.firstPictureMs = performance.now();
        }
      }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-state'] });
    });
    await page.goto(url + linkTo(text), { waitUntil: 'domcontentloaded', timeout: 120000 });
    await page.waitForFunction('window.firstPictureMs > 0', { timeout: 120000, polling: 'raf' });
    times.push(await page.evaluate('window.firstPictureMs'));
    await page.close();
  }
  return median(times);
}

// Each keystroke timed in the page: from its keydown to the picture of the
// text with it drawn.
async function keystrokeTimes(page, count) {
  await page.focus('#scene');
  await page.evaluate(() => {
    const editor = document.getElementById('scene');
    editor.setSelectionRange(editor.value.length, editor.value.length);
    window.keyTimes = [];
    editor.addEventListener('keydown', () => { window.keyDown = performance.now(); });
    new MutationObserver(() => {
      if (document.documentElement.dataset.state === 'drawn' && window.keyDown) {
        window.pictureRendered();
        window.keyTimes.push(performance.now() - window.keyDown);
        window.keyDown = 0;
      }
    }).observe(document.documentElement, { attributes: true, attributeFilter: ['data-state'] });
  });
  for (let i = 0; i < count; ++i) {
    await page.keyboard.type(i % 2 ? '\n' : ' ');
    await page.waitForFunction((n) => window.keyTimes.length > n, { timeout: 120000 }, i);
  }
  return median(await page.evaluate('window.keyTimes'));
}

async function moduleTimes(browser, scene) {
  const page = await tab(browser);
  const text = fs.readFileSync(scene, 'utf8');
  const result = await page.evaluate(async (sceneText) => {
    const worker = new Worker(URL.createObjectURL(new Blob(
      [document.getElementById('worker-source').textContent], { type: 'text/javascript' })));
    let id = 0;
    const run = (mode, ext) => new Promise((done) => {
      const job = { id: ++id, kind: 'export', mode: mode, ext: ext, name: 'scene.scn', text: sceneText };
      const start = performance.now();
      worker.onmessage = (event) => done({ ms: performance.now() - start, error: event.data.error });
      worker.postMessage(job);
    });
    await run('-vrml', 'wrl');  // the module loaded and warm
    const times = {};
    for (const [mode, ext] of [['-html', 'html'], ['-gltf', 'glb']]) {
      const runs = [];
      for (let i = 0; i < 3; ++i) runs.push((await run(mode, ext)).ms);
      times[mode] = runs.sort((a, b) => a - b)[1];
    }
    worker.terminate();
    return times;
  }, text);
  await page.close();
  return result;
}

async function main() {
  const browser = await web.launch();
  try {
    const size = fs.statSync(playground).size, packed = zlib.gzipSync(fs.readFileSync(playground), { level: 9 });
    console.log(`file: ${size} bytes, ${packed.length} gzip-compressed (goals: 400,000 and 150,000)`);
    const scenes = fs.readdirSync(examplesDir).filter((n) => n.endsWith('.scn')).sort()
      .map((n) => [n, fs.readFileSync(path.join(examplesDir, n), 'utf8')]);
    if (big) scenes.push([path.basename(big), fs.readFileSync(big, 'utf8')]);
    console.log('scene                   load to picture   keystroke to picture (goals: 1 s; 150 ms, 500 ms big)');
    for (const [name, text] of scenes) {
      const load = name === path.basename(big || '') ? NaN : await loadTimes(browser, text);
      const page = await tab(browser, linkTo(text));
      const key = await keystrokeTimes(page, 9);
      await page.close();
      console.log(`${name.padEnd(24)}${isNaN(load) ? '       -' : ms(load)}      ${ms(key)}`);
    }
    for (const scene of evaluated) {
      const times = await moduleTimes(browser, scene);
      const ratio = (mine, theirs) => (native ? ` (${(mine / theirs).toFixed(2)} x native)` : '');
      console.log(`module on ${path.basename(scene)}: -html ${ms(times['-html'])}` +
        `${ratio(times['-html'], native && native[0])}, -gltf ${ms(times['-gltf'])}` +
        `${ratio(times['-gltf'], native && native[1])} (goal: at most 3 x)`);
    }
  } finally {
    await browser.close();
  }
}

main().catch((error) => { console.error(error); process.exit(1); });
