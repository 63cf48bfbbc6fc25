// The playground in headless chromium, used as a person would: typing into
// the editor draws the picture mirovan-snapshot draws for the text typed
// (within the page tests' tolerance), lists the native program's standard
// error line for line, keeps the keyboard in the editor, runs nothing a
// scene's words spell, and every download is the native program's file.
//   node in_browser.js --playground FILE.html --mirovan PROG --snapshot PROG --work DIR
'use strict';
const fs = require('fs');
const path = require('path');
const web = require('../web/page/browser.js');
const session = require('./session.js');

const kLevels = 2, kShare = 0.005;  // the page tests' tolerance
const opts = web.options(['playground', 'mirovan', 'snapshot', 'work']);
const work = path.resolve(opts.work);

const typed = 'Material 0.8 0.3 0.1 0.2 0.1 0 0.5 0.5 0.5 0 0 0 30\nRotation 13 0 1 0\n' +
  'Rotation 19 1 0 0\nPush\nTranslation -5 0 0\nSphere 4\nPop\nCube 3 deux 3\nCylindre 2 6\n' +
  'Bonjour é <img src=x onerror="window.ran=1"><script>window.ran=2</script>\n';

const native = (mode, name, output) => session.native(opts.mirovan, work, mode, name, output);
const waitForFile = (file) => session.waitForFile(file);

async function main() {
  fs.rmSync(work, { recursive: true, force: true });
  const downloads = path.join(work, 'downloads');
  fs.mkdirSync(downloads, { recursive: true });
  const failures = [];
  const check = (ok, what) => { if (!ok) failures.push(what); };

  const browser = await web.launch();
  try {
    const { tab, errors } = await session.openPlayground(browser, opts.playground, downloads);
    const drawn = () => web.until(tab, 'document.documentElement.dataset.state === "drawn"');
    await drawn();
    const name = await tab.evaluate(() => window.playground.name);
    check(/\.scn$/.test(name) && (await tab.$eval('#scene', (e) => e.value.length)) > 0,
      'the first visit opens an example');
    // The first visit's picture comes without the module, made when the
    // page was built: it must be what the program writes for that text now.
    const opened = await tab.$eval('#scene', (e) => e.value);
    fs.writeFileSync(path.join(work, name), opened);
    const made = await tab.$eval('#first-picture', (e) => JSON.parse(e.textContent));
    const madeNative = native('-html', name, 'first.html');
    check(made.text === opened && made.html === madeNative.bytes.toString() &&
      made.reports === madeNative.stderr, 'the first picture is the -html page of the example opened');
    const firstShot = web.decodePng(Buffer.from(await (await tab.$('#picture')).screenshot({ type: 'png' })));
    const firstSize = await tab.$eval('#picture', (c) => [c.width, c.height]);
    const firstShare = web.differingShare(firstShot, web.snapshot(opts.snapshot, path.join(work, name),
      firstSize[0], firstSize[1], 0, 0, path.join(work, 'first.png')), kLevels);
    check(firstShare <= kShare, `first picture: ${(firstShare * 100).toFixed(2)} % of pixels differ`);

    // Type the scene as a person would, replacing the example.
    await tab.focus('#scene');
    await tab.keyboard.down('Control');
    await tab.keyboard.press('KeyA');
    await tab.keyboard.up('Control');
    await tab.keyboard.press('Backspace');
    await tab.keyboard.type(typed);
    await drawn();
    check(await tab.$eval('#scene', (e) => e.value === document.activeElement.value &&
      document.activeElement.id === 'scene'), 'the editor keeps the keyboard through redraws');
    check(await tab.evaluate(() => window.ran === undefined), 'a scene\'s words ran as script');

    fs.writeFileSync(path.join(work, name), typed);
    const base = name.replace(/\.scn$/, '');
    const expectedReports = native('-html', name, base + '.html').stderr.split('\n').filter((l) => l);
    const reports = await tab.$$eval('#reports li', (items) => items.map((i) => i.textContent));
    check(JSON.stringify(reports) === JSON.stringify(expectedReports),
      `reports ${JSON.stringify(reports)}, native ${JSON.stringify(expectedReports)}`);

    // Each report marked at its line in the gutter and at its word behind
    // the text: the word found here from the report's byte column.
    const lines = typed.split('\n').map((l) => Buffer.from(l));
    const wanted = expectedReports.map((r) => /^[^:]*:(\d+):(\d+):/.exec(r)).filter((m) => m)
      .map((m) => {
        const bytes = lines[+m[1] - 1], from = +m[2] - 1;
        let to = from;
        while (to < bytes.length && !/\s/.test(String.fromCharCode(bytes[to]))) ++to;
        return { line: m[1], word: bytes.slice(from, to).toString() || ' ' };
      });
    const gutterMarks = await tab.$$eval('#gutter .reported', (s) => s.map((e) => [e.textContent, e.title]));
    const markedLines = [...new Set(wanted.map((w) => w.line))];
    check(wanted.length > 1 && JSON.stringify(gutterMarks.map((m) => m[0])) === JSON.stringify(markedLines) &&
      gutterMarks.every((m) => expectedReports.filter((r) => r.split(':')[1] === m[0]).join('\n') === m[1]),
    `gutter marks ${JSON.stringify(gutterMarks)}, reports at lines ${markedLines}`);
    const words = await tab.$$eval('#marks mark', (s) => s.map((e) => e.textContent));
    check(JSON.stringify(words) === JSON.stringify(wanted.map((w) => w.word)),
      `marked words ${JSON.stringify(words)}, reported ${JSON.stringify(wanted.map((w) => w.word))}`);

    // The picture against mirovan-snapshot at the canvas's size.
    const size = await tab.$eval('#picture', (c) => [c.width, c.height]);
    const shot = web.decodePng(Buffer.from(await (await tab.$('#picture')).screenshot({ type: 'png' })));
    const expected = web.snapshot(opts.snapshot, path.join(work, name), size[0], size[1], 0, 0,
      path.join(work, 'snapshot.png'));
    const share = web.differingShare(shot, expected, kLevels);
    check(share <= kShare, `picture: ${(share * 100).toFixed(2)} % of pixels differ`);

    // Every download, byte for byte.
    for (const [button, mode, ext] of [['glb', '-gltf', 'glb'], ['wrl', '-vrml', 'wrl'],
      ['cpp', '-opengl', 'cpp'], ['html', '-html', 'html']]) {
      await tab.click('#export-' + button);
      const got = await waitForFile(path.join(downloads, base + '.' + ext));
      check(got.equals(native(mode, name, base + '.' + ext).bytes), `${base}.${ext} differs from native`);
    }
    await tab.click('#save-scn');
    check((await waitForFile(path.join(downloads, name))).equals(Buffer.from(typed)), 'the saved text');

    // A long scene with a fault far down: a click on its report brings the
    // line into view, and the gutter's mark lies level with the marked word.
    const paste = (text) => tab.evaluate((t) => {
      const editor = document.getElementById('scene');
      editor.value = t;
      editor.dispatchEvent(new InputEvent('input', { inputType: 'insertFromPaste' }));
    }, text);
    await paste('Cube 1 1 1\n'.repeat(1499) + 'Sphere 1 nul\n' + 'Cube 1 1 1\n'.repeat(500));
    await drawn();
    await tab.click('#reports li');
    await web.until(tab, 'document.querySelector("#gutter .reported")');
    const level = await tab.evaluate(() => {
      const mark = document.querySelector('#gutter .reported'), word = document.querySelector('#marks mark');
      return [mark.textContent, word.textContent, mark.getBoundingClientRect().top,
        word.getBoundingClientRect().top, document.getElementById('scene').scrollTop];
    });
    check(level[0] === '1500' && level[1] === 'nul' && Math.abs(level[2] - level[3]) < 2 && level[4] > 0,
      `the mark of line 1500 beside its word: ${JSON.stringify(level)}`);
    await paste(typed);
    await drawn();

    // The link: the text and the view, opened in another tab over another
    // kept text, which stays one button away.
    await tab.click('#picture');
    for (let i = 0; i < 3; ++i) await tab.keyboard.press('ArrowUp');
    await web.until(tab, '/[#&]scene=[^&]+&view=3,0$/.test(window.location.hash)');
    const shared = tab.url();
    await tab.evaluate(() => localStorage.setItem('mirovan-playground-text', 'Cube 1 1 1\n'));
    const other = await browser.newPage();
    other.on('pageerror', (e) => errors.push(String(e)));
    await other.setViewport({ width: 1000, height: 600, deviceScaleFactor: 1 });
    await other.goto(shared, { waitUntil: 'load' });
    await web.until(other, 'document.documentElement.dataset.state === "drawn" && ' +
      'window.playground.host && window.playground.host.page');
    check(await other.$eval('#scene', (e) => e.value) === typed, 'the link opens the text typed');
    check(JSON.stringify(await other.evaluate(() => [window.playground.host.page.angleX,
      window.playground.host.page.angleY])) === '[3,0]', 'the link opens at its view');
    await other.click('#previous-scene');
    check(await other.$eval('#scene', (e) => e.value) === 'Cube 1 1 1\n',
      'the text kept before the link is one button away');

    // A phone: the editor above the picture; a tap on the editor and the
    // touch keyboard type into it; a drag of a finger on the picture turns it.
    const phone = await browser.newPage();
    phone.on('pageerror', (e) => errors.push(String(e)));
    await phone.setViewport({ width: 390, height: 780, deviceScaleFactor: 1, isMobile: true, hasTouch: true });
    await phone.goto('file://' + path.resolve(opts.playground), { waitUntil: 'load' });
    const phoneDrawn = () => web.until(phone, 'document.documentElement.dataset.state === "drawn" && ' +
      'window.playground.host && window.playground.host.page');
    await phoneDrawn();
    const boxes = await phone.evaluate(() => ['#scene', '#picture'].map((s) => {
      const r = document.querySelector(s).getBoundingClientRect();
      return { top: r.top, bottom: r.bottom, width: r.width, height: r.height };
    }));
    check(boxes[0].bottom <= boxes[1].top && boxes.every((b) => b.width > 300 && b.height > 100),
      `on a phone the editor is above the picture: ${JSON.stringify(boxes)}`);
    await phone.tap('#scene');
    await phone.keyboard.type('\nSphere 2\n');
    await phoneDrawn();
    check(await phone.evaluate(() => document.activeElement.id === 'scene' &&
      /\nSphere 2\n$/.test(document.getElementById('scene').value)), 'typing on a phone');
    const angles = () => phone.evaluate(() => [window.playground.host.page.angleX,
      window.playground.host.page.angleY].join(','));
    const before = await angles();
    const middle = [boxes[1].width / 2, boxes[1].top + boxes[1].height / 2];
    await phone.touchscreen.touchStart(middle[0], middle[1]);
    for (let i = 1; i <= 5; ++i) await phone.touchscreen.touchMove(middle[0] + 12 * i, middle[1] + 6 * i);
    await phone.touchscreen.touchEnd();
    await web.until(phone, `[window.playground.host.page.angleX, window.playground.host.page.angleY]
      .join(',') !== ${JSON.stringify(before)}`).catch(() => {});
    check(await angles() !== before, 'a touch drag on the picture turns the view');
    check(errors.length === 0, 'script errors: ' + errors.join('; '));
  } finally {
    await browser.close();
  }
  session.report(failures, 'playground: all checks passed');
}

main().catch((e) => {
  console.log('failed: ' + String(e.message || e).slice(0, 500));
  process.exit(1);
});
