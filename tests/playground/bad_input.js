// The playground given what a person may throw at it, in headless chromium:
// a newer text stops the evaluation of an older one (typing goes on at once
// after a 100,000-statement paste; a 64 MiB paste left for an example is
// dropped at once) without losing a download asked before; a 64 MiB file,
// nesting 100,000 deep and numbers that are not finite each give a picture
// or a sentence, the text is kept (Save gives its bytes back), and a later
// edit is drawn.
//   node bad_input.js --playground FILE.html --mirovan PROG --work DIR
'use strict';
const fs = require('fs');
const path = require('path');
const web = require('../web/page/browser.js');
const session = require('./session.js');

const opts = web.options(['playground', 'mirovan', 'work']);
const work = path.resolve(opts.work);
const downloads = path.join(work, 'downloads');
// A keystroke lands in the text area within this, even in a text area of
// 100,000 lines (which headless chromium takes 0.5 to 2 s to lay out again
// after each change on a busy machine); a frozen tab takes far longer.
const kKeystrokeMs = 6000;

const native = (mode, name, output) => session.native(opts.mirovan, work, mode, name, output).bytes;
const waitForFile = session.waitForFile;

// 100,000 statements: 50,000 cubes, each moved a little.
function hundredThousand() {
  const lines = [];
  for (let i = 0; i < 50000; ++i) lines.push('Translation 0.0004 0 0', 'Cube 1 1 1');
  return lines.join('\n') + '\n';
}

let stage = 'start';  // told with a failure

async function main() {
  fs.rmSync(work, { recursive: true, force: true });
  fs.mkdirSync(downloads, { recursive: true });
  const failures = [];
  const check = (ok, what) => { if (!ok) failures.push(what); };
  const figures = [];

  const browser = await web.launch();
  try {
    const { tab, errors } = await session.openPlayground(browser, opts.playground, downloads);
    const drawnNow = 'document.documentElement.dataset.state === "drawn" && ' +
      'window.playground.drawnEdit === window.playground.edits';
    const drawn = (deadlineMs) => tab.waitForFunction(drawnNow,
      { timeout: deadlineMs || web.kDeadlineMs, polling: 100 });
    await drawn();
    const seen = () => tab.evaluate(() => {
      const page = window.playground.host && window.playground.host.page;
      const canvas = document.getElementById('picture');
      return { value: document.getElementById('scene').value, name: window.playground.name,
        picture: !!(page && !page.error && page.frames >= 1 && canvas.style.visibility !== 'hidden'),
        solids: page ? page.solids : -1, status: document.getElementById('status').textContent,
        readOnly: document.getElementById('scene').readOnly };
    });
    const openFile = async (file) => {
      const before = await tab.evaluate(() => window.playground.edits);
      const [chooser] = await Promise.all([tab.waitForFileChooser({ timeout: web.kDeadlineMs }),
        tab.click('#open-scn')]);
      await chooser.accept([file]);
      await web.until(tab, `window.playground.edits > ${before}`);
    };
    const paste = (text) => tab.evaluate((t) => {
      const editor = document.getElementById('scene');
      editor.focus();
      editor.value = t;
      editor.setSelectionRange(t.length, t.length);
      editor.dispatchEvent(new InputEvent('input', { inputType: 'insertFromPaste' }));
    }, text);

    stage = '100,000 statements';
    // A 100,000-statement paste, then a few keys while it is evaluated:
    // each lands at once, and the picture ends drawn for the last text.
    const big = hundredThousand();
    let started = Date.now();
    await paste(big);
    await drawn(120000);
    figures.push(`100,000 statements: pasted to drawn in ${Date.now() - started} ms, evaluated in ` +
      `${Math.round(await tab.evaluate(() => window.playground.evaluationMs))} ms`);
    check((await seen()).solids === 50000, '100,000 statements: 50,000 solids drawn');
    await paste(big + 'Cube 2 2 2\n');
    // Once the paste is laid out (its own second or more), keys.
    await tab.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
    const keys = [];
    for (const key of 'Sphere 3') {
      started = Date.now();
      await tab.keyboard.type(key);
      await tab.waitForFunction((k) => document.getElementById('scene').value.endsWith(k),
        { timeout: kKeystrokeMs, polling: 10 }, key).catch(() => {});
      keys.push(Date.now() - started);
    }
    figures.push(`keystrokes after the paste landed in ${keys.join(', ')} ms`);
    check(keys.every((ms) => ms < kKeystrokeMs), `a keystroke took ${Math.max(...keys)} ms to land`);
    await drawn(120000);
    let now = await seen();
    check(now.value === big + 'Cube 2 2 2\nSphere 3' && now.solids === 50002,
      `the last text drawn: ${now.solids} solids`);

    stage = 'a download across a stop';
    // A download asked for while the picture's worker is stopped comes all
    // the same, for the text it was asked for.
    const wrlName = now.name.replace(/\.scn$/, '.wrl');
    fs.writeFileSync(path.join(work, now.name), big + 'Cube 2 2 2\nSphere 3');
    const expectedWrl = native('-vrml', now.name, wrlName);
    await paste(big + 'Cube 2 2 2\nSphere 3');
    await tab.evaluate(() => document.getElementById('export-wrl').click());
    await tab.keyboard.type('\n');
    await tab.keyboard.type('Cone 1 2\n');
    const wrl = await waitForFile(path.join(downloads, wrlName), 120000);
    check(wrl.equals(expectedWrl),
      'the .wrl asked before a newer text is the native one for the text it was asked for');
    await drawn(120000);

    stage = '64 MiB';
    // A 64 MiB file: its beginning shown, a sentence, Save gives it back
    // whole; its evaluation ends with a sentence; an example after it is
    // drawn.
    const huge = path.join(work, 'huge.scn');
    fs.writeFileSync(huge, 'Cube 1 1 1\n'.repeat(Math.ceil(64 * 1048576 / 11)));
    started = Date.now();
    await openFile(huge);
    now = await seen();
    check(now.name === 'huge.scn' && now.readOnly && /^(Cube 1 1 1\n)+…$/.test(now.value) &&
      /too large to edit/.test(now.status), `64 MiB: the beginning and a sentence: ${now.status}`);
    await tab.click('#save-scn');
    const saved = await waitForFile(path.join(downloads, 'huge.scn'), 60000);
    check(saved.equals(fs.readFileSync(huge)), '64 MiB: Save gives the file back');
    await drawn(180000);
    figures.push(`64 MiB file: opened to its sentence in ${Date.now() - started} ms, evaluated in ` +
      `${Math.round(await tab.evaluate(() => window.playground.evaluationMs))} ms`);
    now = await seen();
    check(/solids, more than the playground draws/.test(now.status) && !now.picture,
      `64 MiB: a sentence for its 6,100,000 solids: ${now.status}`);
    const example = async () => {
      await tab.select('#examples', 'lights.scn');
      await drawn(10000);
      const after = await seen();
      check(after.picture && after.name === 'lights.scn' && !after.readOnly && after.status === '',
        `an example drawn after the 64 MiB file: ${JSON.stringify(after.status)}`);
    };
    await example();

    stage = '64 MiB left for an example';
    // The same 64 MiB pasted over the text, then left for an example while
    // its evaluation runs: the example is drawn at once (within a deadline
    // far shorter than that evaluation).
    await tab.evaluate((size) => {
      const editor = document.getElementById('scene');
      editor.focus();
      editor.select();
      const data = new DataTransfer();
      data.setData('text/plain', 'Cube 1 1 1\n'.repeat(size));
      editor.dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
    }, Math.ceil(64 * 1048576 / 11));
    now = await seen();
    check(now.name === 'lights.scn' && now.readOnly && /too large to edit/.test(now.status),
      `64 MiB pasted: the beginning and a sentence: ${now.status}`);
    await web.until(tab, 'window.playground.sent === window.playground.edits');
    const superseded = await tab.evaluate(() => window.playground.superseded);
    started = Date.now();
    await example();
    figures.push(`an example after the 64 MiB file drawn in ${Date.now() - started} ms`);
    check(await tab.evaluate(() => window.playground.superseded) > superseded,
      'the 64 MiB evaluation stopped for the example');

    stage = 'deep nesting and numbers not finite';
    // Deep nesting and numbers that are not finite, opened as files: a
    // picture or a sentence, the text kept, and an edit after each drawn.
    const cases = {
      'deep.scn': 'Push\n'.repeat(100000) + 'Sphere 3\n',
      'not-finite.scn': 'Translation 1e999 nan 0\nSphere 1e999\nCube nan 1 inf\nRotation -1e999 1 0 0\n' +
        'Zoom nan nan nan\nCylindre -inf 1e400\nMaterial nan 1 1 1 1 1 1 1 1 1 1 1 1e999\nCone 2 3\n',
    };
    for (const [name, text] of Object.entries(cases)) {
      fs.writeFileSync(path.join(work, name), text);
      await openFile(path.join(work, name));
      await drawn();
      now = await seen();
      check(now.value === text && now.name === name && (now.picture || now.status),
        `${name}: the text kept and a picture or a sentence (${now.status})`);
      await tab.focus('#scene');
      await tab.keyboard.down('Control');
      await tab.keyboard.press('End');
      await tab.keyboard.up('Control');
      await tab.keyboard.type('Sphere 1\n');
      await drawn();
      now = await seen();
      check(now.value === text + 'Sphere 1\n' && now.picture, `${name}: an edit after it drawn`);
    }
    check(errors.length === 0, 'script errors: ' + errors.join('; '));
  } finally {
    await browser.close();
  }
  for (const f of figures) console.log(f);
  session.report(failures, 'playground: bad input handled');
}

main().catch((e) => {
  console.log(`failed at ${stage}: ` + String(e.message || e).slice(0, 500));
  process.exit(1);
});
