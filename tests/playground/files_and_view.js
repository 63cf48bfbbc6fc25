// The playground's files and picture in headless chromium, used as a person
// would: the .png download is the window's picture (its size, 500 x 500,
// whatever the canvas's on screen, and mirovan-snapshot's pixels within the
// page tests' tolerance); a file dropped on the page opens; a file with CR
// or CRLF line ends is saved, exported and reported on as the program reads
// it; the spin goes on over a redraw; a report after tabs is marked over
// its word.
//   node files_and_view.js --playground FILE.html --mirovan PROG --snapshot PROG --work DIR
'use strict';
const fs = require('fs');
const path = require('path');
const web = require('../web/page/browser.js');
const session = require('./session.js');

const kLevels = 2, kShare = 0.005;  // the page tests' tolerance
const opts = web.options(['playground', 'mirovan', 'snapshot', 'work']);
const work = path.resolve(opts.work);
const downloads = path.join(work, 'downloads');

const native = (mode, name, output) => session.native(opts.mirovan, work, mode, name, output);
// A download, taken out of the folder so that the next one keeps its name.
const takeDownload = (name) => session.waitForFile(path.join(downloads, name), 0, true);

let stage = 'start';  // told with a failure

async function main() {
  fs.rmSync(work, { recursive: true, force: true });
  fs.mkdirSync(downloads, { recursive: true });
  const failures = [];
  const check = (ok, what) => { if (!ok) failures.push(what); };

  const browser = await web.launch();
  try {
    const { tab, errors } = await session.openPlayground(browser, opts.playground, downloads);
    const drawn = () => web.until(tab, 'document.documentElement.dataset.state === "drawn" && ' +
      'window.playground.drawnEdit === window.playground.edits && window.playground.host.page');
    await drawn();
    const openFile = async (file) => {
      const before = await tab.evaluate(() => window.playground.edits);
      const [chooser] = await Promise.all([tab.waitForFileChooser({ timeout: web.kDeadlineMs }),
        tab.click('#open-scn')]);
      await chooser.accept([file]);
      await web.until(tab, `window.playground.edits > ${before}`);
      await drawn();
    };
    const reports = () => tab.$$eval('#reports li', (items) => items.map((i) => i.textContent));
    const marked = () => tab.$$eval('#marks mark', (s) => s.map((e) => e.textContent));

    stage = '.png';
    // .png: the window's size and picture at the view turned to, whatever
    // the size of the canvas on screen.
    const name = await tab.evaluate(() => window.playground.name);
    fs.writeFileSync(path.join(work, name), await tab.$eval('#scene', (e) => e.value));
    await tab.click('#picture');
    for (let i = 0; i < 3; ++i) await tab.keyboard.press('ArrowUp');
    await tab.keyboard.press('ArrowLeft');
    await web.until(tab, 'window.playground.host.page.angleX === 3 && window.playground.host.page.angleY === 1');
    const onScreen = await tab.$eval('#picture', (c) => [c.width, c.height]);
    await tab.click('#export-png');
    const png = web.decodePng(await takeDownload(name.replace(/\.scn$/, '.png')));
    const expected = web.snapshot(opts.snapshot, path.join(work, name), 500, 500, 3, 1,
      path.join(work, 'snapshot.png'));
    check(onScreen.join('x') !== '500x500', `the canvas on screen is ${onScreen.join('x')}`);
    if (png.width !== 500 || png.height !== 500) {
      check(false, `.png of ${png.width}x${png.height}, the window is 500x500`);
    } else {
      const share = web.differingShare(png, expected, kLevels);
      check(share <= kShare, `.png: ${(share * 100).toFixed(2)} % of pixels differ from mirovan-snapshot`);
    }

    stage = 'The spin';
    // The spin (Return on the picture) goes on when the text changes.
    await tab.click('#picture');
    await tab.keyboard.press('Enter');
    await web.until(tab, 'window.playground.host.page.spinSteps > 2');
    await tab.focus('#scene');
    await tab.keyboard.type('Sphere 1\n');
    await drawn();
    await web.until(tab, 'window.playground.host.page.spinSteps > 2').catch(() => {});
    check(await tab.evaluate(() => window.playground.host.page.spinning &&
      window.playground.host.page.spinSteps > 2), 'the spin stopped when the text changed');
    await tab.click('#picture');
    await tab.keyboard.press('Enter');

    stage = 'A file dropped';
    // A file dropped on the page opens: its text, its name for the
    // downloads, its picture.
    const dropped = 'Material 0.2 0.5 0.9 0.05 0.1 0.2 0.8 0.8 0.8 0 0 0 80\nCone 4 6\n';
    const before = await tab.evaluate(() => window.playground.edits);
    await tab.evaluate((text) => {
      const data = new DataTransfer();
      data.items.add(new File([text], 'dropped.scn', { type: 'text/plain' }));
      const target = document.getElementById('picture');
      for (const type of ['dragenter', 'dragover', 'drop'])
        target.dispatchEvent(new DragEvent(type, { dataTransfer: data, bubbles: true, cancelable: true }));
    }, dropped);
    await web.until(tab, `window.playground.edits > ${before}`);
    await drawn();
    check(await tab.$eval('#scene', (e) => e.value) === dropped &&
      await tab.evaluate(() => window.playground.host.page.solids) === 1, 'the dropped file drawn');
    await tab.click('#save-scn');
    check((await takeDownload('dropped.scn')).equals(Buffer.from(dropped)), 'the dropped file saved by its name');

    stage = 'CRLF';
    // CRLF: shown with \n, saved and exported with the file's own bytes,
    // reported as the program reports; an edit keeps the file's line ends.
    const crlf = 'Sphere 1\r\nCube deux 1 1\r\nBonjour\r\n';
    fs.writeFileSync(path.join(work, 'crlf.scn'), crlf);
    await openFile(path.join(work, 'crlf.scn'));
    check(await tab.$eval('#scene', (e) => e.value) === crlf.replace(/\r\n/g, '\n'), 'CRLF: the text shown');
    await tab.click('#save-scn');
    check((await takeDownload('crlf.scn')).equals(Buffer.from(crlf)), 'CRLF: Save gives the file\'s bytes');
    await tab.click('#export-wrl');
    const wrl = native('-vrml', 'crlf.scn', 'crlf.wrl');
    check((await takeDownload('crlf.wrl')).equals(wrl.bytes), 'CRLF: the .wrl is the native one');
    check(JSON.stringify(await reports()) === JSON.stringify(wrl.stderr.split('\n').filter((l) => l)),
      `CRLF: reports ${JSON.stringify(await reports())}, native ${JSON.stringify(wrl.stderr)}`);
    await tab.focus('#scene');
    await tab.keyboard.down('Control');
    await tab.keyboard.press('End');
    await tab.keyboard.up('Control');
    await tab.keyboard.type('Sphere 2\n');
    await drawn();
    await tab.click('#save-scn');
    check((await takeDownload('crlf.scn')).equals(Buffer.from(crlf + 'Sphere 2\r\n')),
      'CRLF: an edited text saved with CRLF');

    stage = 'CR alone';
    // CR alone: one line for the program; its reports as the program's,
    // each marked over its word.
    const cr = 'Sphere 1\rCube deux 1 1\rBonjour\r';
    fs.writeFileSync(path.join(work, 'cr.scn'), cr);
    await openFile(path.join(work, 'cr.scn'));
    const crNative = native('-vrml', 'cr.scn', 'cr.wrl').stderr.split('\n').filter((l) => l);
    check(JSON.stringify(await reports()) === JSON.stringify(crNative),
      `CR: reports ${JSON.stringify(await reports())}, native ${JSON.stringify(crNative)}`);
    check(JSON.stringify(await marked()) === '["deux","Bonjour"]', `CR: marked ${JSON.stringify(await marked())}`);

    stage = 'Tabs';
    // Tabs: the mark behind a word after tabs lies under that word as the
    // text area draws it (glyph pixels of the screenshot, line by line).
    await tab.evaluate(() => {
      const editor = document.getElementById('scene');
      editor.value = 'Sphere 1\n\t\tCube\tdeux 1 1\n\t \tBonjour\n';
      editor.dispatchEvent(new InputEvent('input', { inputType: 'insertFromPaste' }));
    });
    await drawn();
    const marks = await tab.$$eval('#marks mark', (s) => s.map((e) => {
      const r = e.getBoundingClientRect();
      return { word: e.textContent, left: r.left, right: r.right, top: r.top, bottom: r.bottom };
    }));
    check(marks.map((m) => m.word).join(',') === 'deux,Bonjour', `tabs: marked ${marks.map((m) => m.word)}`);
    const box = await tab.$eval('#scene', (e) => {
      const r = e.getBoundingClientRect();
      return { x: Math.ceil(r.left), y: Math.ceil(r.top), width: Math.floor(r.width) - 1, height: 120 };
    });
    const shot = web.decodePng(Buffer.from(await tab.screenshot({ type: 'png', clip: box })));
    for (const m of marks) {
      // The text's glyphs are light; runs of glyph columns more than half
      // a character apart are words.
      const columns = [];
      for (let x = 0; x < shot.width; ++x) {
        let glyph = false;
        for (let y = Math.ceil(m.top - box.y) + 2; y < m.bottom - box.y - 3 && !glyph; ++y) {
          const at = 3 * (y * shot.width + x);
          glyph = Math.min(shot.rgb[at], shot.rgb[at + 1], shot.rgb[at + 2]) > 120;
        }
        if (glyph) columns.push(x + box.x);
      }
      const words = [];
      for (const x of columns) {
        if (words.length && x - words[words.length - 1][1] <= 4) words[words.length - 1][1] = x;
        else words.push([x, x]);
      }
      const under = words.filter((w) => w[1] >= m.left && w[0] <= m.right);
      check(under.length === 1 && under[0][0] >= m.left - 1 && under[0][1] <= m.right + 1,
        `tabs: the mark of ${m.word} at ${m.left}-${m.right}, the words drawn at ${JSON.stringify(words)}`);
    }
    check(errors.length === 0, 'script errors: ' + errors.join('; '));
  } finally {
    await browser.close();
  }
  session.report(failures, 'playground: files and view checked');
}

main().catch((e) => {
  console.log(`failed at ${stage}: ` + String(e.message || e).slice(0, 500));
  process.exit(1);
});
