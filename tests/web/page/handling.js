// The page handled as the window is: ten presses of Up, a drag of 40 pixels
// to the right, Return then ten frames of spin, Home, each giving
// mirovan-snapshot's picture at the view it turned to, with the fragment
// following; a drag keeps a spin running; no geometry uploaded again while
// turning; sharp on a dense screen, and redrawn sharp when only the pixel
// ratio changes; a browser without WebGL told so.
'use strict';

const path = require('path');
const web = require('./browser.js');

const kWidth = 500, kHeight = 500, kLevels = 2, kShare = 0.005;
const failures = [];

function check(condition, what) {
  if (!condition) failures.push(what);
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
}

const wrapped = (a) => ((a % 360) + 360) % 360;

async function samePicture(opt, tab, angleX, angleY, what) {
  await web.until(tab, `mirovan.angleX === ${angleX} && mirovan.angleY === ${angleY}`);
  await web.settle(tab);
  const expected = web.snapshot(opt.snapshot, opt.scene, kWidth, kHeight, angleX, angleY,
    path.join(opt.work, 'expected.png'));
  const share = web.differingShare(await web.screenshot(tab), expected, kLevels);
  check(share <= kShare, `${what}: view ${angleX},${angleY}, ${(share * 100).toFixed(3)} % of the pixels differ`);
  await web.until(tab, `location.hash === '#view=${angleX},${angleY}'`);
}

// Counts the geometry the page hands to the GL.
async function countUploads(tab) {
  await tab.evaluateOnNewDocument(() => {
    window.geometryUploads = 0;
    const upload = WebGLRenderingContext.prototype.bufferData;
    WebGLRenderingContext.prototype.bufferData = function (...args) {
      window.geometryUploads += 1;
      return upload.apply(this, args);
    };
  });
}

async function main() {
  const opt = web.options(['mirovan', 'snapshot', 'scene', 'work']);
  const page = path.join(opt.work, 'scene.html');
  web.makePage(opt.mirovan, opt.scene, page);
  const browser = await web.launch();
  try {
    const { tab, errors } = await web.openPage(browser, page, kWidth, kHeight, '', countUploads);
    const uploads = await tab.evaluate('geometryUploads');
    check(uploads > 0, `vertex buffers made at load (${uploads})`);

    for (let i = 0; i < 10; ++i) await tab.keyboard.press('ArrowUp');
    await samePicture(opt, tab, 10, 0, 'ten presses of Up');

    await tab.mouse.move(200, 250);
    await tab.mouse.down();
    await tab.mouse.move(240, 250, { steps: 8 });
    await tab.mouse.up();
    await samePicture(opt, tab, 10, 20, 'a drag of 40 pixels to the right');

    await tab.keyboard.press('Enter');
    await web.until(tab, 'mirovan.spinSteps >= 10');
    await tab.keyboard.press('Enter');
    const steps = await tab.evaluate('mirovan.spinSteps');
    await samePicture(opt, tab, wrapped(10 - steps), wrapped(20 - steps),
      `Return, ${steps} frames of spin, Return`);

    await tab.keyboard.press('Home');
    await samePicture(opt, tab, 0, 0, 'Home');

    await tab.keyboard.press('Enter');
    const before = await tab.evaluate('mirovan.spinSteps');
    await web.until(tab, `mirovan.spinSteps > ${before}`);
    await tab.mouse.move(200, 250);
    await tab.mouse.down();
    await tab.mouse.move(210, 250, { steps: 2 });
    await tab.mouse.up();
    check(await tab.evaluate('mirovan.spinning'), 'a drag keeps the spin running');
    await tab.keyboard.press('Enter');

    check(await tab.evaluate('geometryUploads') === uploads, 'turning uploads no geometry');
    check(errors.length === 0, `no script error ${errors.join('; ')}`);

    // Sharp on a dense screen: 250 x 250 CSS pixels at two device pixels
    // each are the 500 x 500 window.
    const dense = await browser.newPage();
    await dense.setViewport({ width: 250, height: 250, deviceScaleFactor: 2 });
    await dense.goto('file://' + path.resolve(page) + '#view=15,20', { waitUntil: 'load' });
    await web.until(dense, 'mirovan.frames > 0');
    await web.settle(dense);
    const share = web.differingShare(await web.screenshot(dense), web.snapshot(opt.snapshot,
      opt.scene, 500, 500, 15, 20, path.join(opt.work, 'expected.png')), kLevels);
    check(share <= kShare, `two device pixels per pixel: ${(share * 100).toFixed(3)} % differ`);

    // The ratio alone changes (the browser zoomed, another screen): no
    // resize, yet the canvas takes the new ratio and the picture is drawn
    // again at it.
    const zoomed = await browser.newPage();
    await zoomed.setViewport({ width: 250, height: 250, deviceScaleFactor: 1 });
    await zoomed.goto('file://' + path.resolve(page) + '#view=15,20', { waitUntil: 'load' });
    await web.until(zoomed, 'mirovan.frames > 0');
    await web.settle(zoomed);
    const framesBefore = await zoomed.evaluate('mirovan.frames');
    await zoomed.setViewport({ width: 250, height: 250, deviceScaleFactor: 2 });
    // Headless chromium tells media queries of the change when it next
    // paints: a screenshot has it paint.
    await zoomed.screenshot();
    let resized = true;
    try {
      await web.until(zoomed, `document.getElementById('view').width === 500 && ` +
        `document.getElementById('view').height === 500 && mirovan.frames > ${framesBefore}`);
    } catch (e) {
      resized = false;
    }
    const backing = await zoomed.evaluate(`[document.getElementById('view').width, ` +
      `document.getElementById('view').height]`);
    check(resized, `a new pixel ratio alone: canvas ${backing.join(' x ')} (500 x 500 wanted), redrawn`);
    if (resized) {
      await web.settle(zoomed);
      const zoomedShare = web.differingShare(await web.screenshot(zoomed), web.snapshot(opt.snapshot,
        opt.scene, 500, 500, 15, 20, path.join(opt.work, 'expected.png')), kLevels);
      check(zoomedShare <= kShare, `after the ratio changed: ${(zoomedShare * 100).toFixed(3)} % differ`);
    }

    const bare = await browser.newPage();
    const bareErrors = [];
    bare.on('pageerror', (error) => bareErrors.push(String(error)));
    await bare.evaluateOnNewDocument(() => { HTMLCanvasElement.prototype.getContext = () => null; });
    await bare.goto('file://' + path.resolve(page), { waitUntil: 'load' });
    await web.until(bare, `!document.getElementById('message').hidden`);
    const said = await bare.evaluate(`document.getElementById('message').textContent`);
    check(/WebGL/.test(said) && bareErrors.length === 0, `without WebGL the page says so: "${said}"`);
  } finally {
    await browser.close();
  }
  if (failures.length) process.exit(1);
}

main().catch((error) => { console.error(error); process.exit(1); });
