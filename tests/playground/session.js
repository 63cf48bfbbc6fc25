// What the playground's browser tests share: the page opened in headless
// chromium with its downloads landing in a folder, the downloads waited
// for, and the native program run on the same text for comparison.
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const web = require('../web/page/browser.js');

// A tab on the playground at 1000 x 600, its downloads in `downloads`
// (the session that says so must stay open, or later downloads stop
// landing there), its script errors gathered in `errors`.
async function openPlayground(browser, playground, downloads) {
  const tab = await browser.newPage();
  const errors = [];
  tab.on('pageerror', (e) => errors.push(String(e)));
  await tab.setViewport({ width: 1000, height: 600, deviceScaleFactor: 1 });
  const cdp = await tab.target().createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await tab.goto('file://' + path.resolve(playground), { waitUntil: 'load' });
  return { tab, errors, cdp };
}

// A download's bytes once it has landed; with `take`, the file is removed
// so that the next download keeps its name.
async function waitForFile(file, deadlineMs, take) {
  const deadline = Date.now() + (deadlineMs || web.kDeadlineMs);
  for (;;) {
    if (fs.existsSync(file) && !fs.existsSync(file + '.crdownload')) {
      const bytes = fs.readFileSync(file);
      if (take) fs.rmSync(file);
      return bytes;
    }
    if (Date.now() > deadline) throw new Error(`no download ${path.basename(file)}`);
    await new Promise((done) => setTimeout(done, 20));  // polled until the deadline
  }
}

// `mirovan MODE NAME OUTPUT` in `work`: its standard error and the output.
function native(mirovan, work, mode, name, output) {
  const r = spawnSync(path.resolve(mirovan), [mode, name, output],
    { cwd: work, encoding: 'buffer', stdio: ['ignore', 'ignore', 'pipe'], maxBuffer: 1 << 28 });
  if (r.error) throw r.error;
  return { stderr: r.stderr.toString(), bytes: fs.readFileSync(path.join(work, output)) };
}

// The verdict: each failure on a line of its own, then the exit status.
function report(failures, passed) {
  for (const f of failures) console.log('FAILED: ' + f);
  console.log(failures.length ? `${failures.length} failures` : passed);
  process.exit(failures.length ? 1 : 0);
}

module.exports = { openPlayground, waitForFile, native, report };
