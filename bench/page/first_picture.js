// node first_picture.js PAGE...: for each page, the time to its first
// picture in headless chromium: drawn (the page's own clock, from the start
// of navigation) and on screen (from the load request to the frame after the
// first), medians of five loads.
'use strict';

const path = require('path');
let web;
try {
  web = require(path.join(__dirname, '../../tests/web/page/browser.js'));
} catch (error) {
  console.log('puppeteer-core not installed (make test installs it)');
  process.exit(1);
}

async function main() {
  const browser = await web.launch();
  try {
    for (const page of process.argv.slice(2)) {
      const drawn = [], shown = [];
      let solids = 0;
      for (let run = 0; run < 5; ++run) {
        const tab = await browser.newPage();
        await tab.setViewport({ width: 500, height: 500 });
        const start = Date.now();
        await tab.goto('file://' + path.resolve(page), { waitUntil: 'domcontentloaded', timeout: 60000 });
        await tab.waitForFunction('window.mirovan && window.mirovan.firstFrameMs > 0',
          { timeout: 60000, polling: 'raf' });
        // Shown once the frame after it has begun: the first one is on screen.
        await tab.evaluate('new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)))');
        shown.push(Date.now() - start);
        drawn.push(await tab.evaluate('mirovan.firstFrameMs'));
        solids = await tab.evaluate('mirovan.solids');
        await tab.close();
      }
      const mid = (values) => values.sort((a, b) => a - b)[2].toFixed(0).padStart(5);
      console.log(`${path.basename(page).padEnd(24)} ${String(solids).padStart(6)} solids  ` +
        `drawn ${mid(drawn)} ms after navigation, on screen ${mid(shown)} ms after the request (medians of 5)`);
    }
  } finally {
    await browser.close();
  }
}

main().catch((error) => { console.error(error); process.exit(1); });
