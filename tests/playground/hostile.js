// Every scene of the hostile catalogue, opened in the playground as a
// person would (the Open button), gives a picture or a sentence saying what
// happened, never a script error or a crashed tab, and the editor keeps the
// text opened.
//   node hostile.js --playground FILE.html --scenes PROG --work DIR
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const web = require('../web/page/browser.js');

async function main() {
  const opts = web.options(['playground', 'scenes', 'work']);
  const work = path.resolve(opts.work);
  const names = execFileSync(opts.scenes, [work]).toString().trim().split('\n');
  const browser = await web.launch();
  let failed = 0;
  try {
    const tab = await browser.newPage();
    const errors = [];
    tab.on('pageerror', (e) => errors.push(String(e)));
    await tab.setViewport({ width: 800, height: 500, deviceScaleFactor: 1 });
    await tab.goto('file://' + path.resolve(opts.playground), { waitUntil: 'load' });
    await web.until(tab, 'document.documentElement.dataset.state === "drawn"');
    for (const name of names) {
      const file = path.join(work, name + '.scn');
      // A text area holds line ends as \n: a \r or \r\n comes back as one.
      const text = fs.readFileSync(file).toString('utf8').replace(/\r\n?/g, '\n');
      let problem = '';
      try {
        const before = await tab.evaluate(() => window.playground.edits);
        const [chooser] = await Promise.all([tab.waitForFileChooser({ timeout: web.kDeadlineMs }),
          tab.click('#open-scn')]);
        await chooser.accept([file]);
        await web.until(tab, `window.playground.edits > ${before} &&
          document.documentElement.dataset.state === "drawn"`);
        const seen = await tab.evaluate(() => {
          const host = window.playground.host, page = host && host.page;
          const said = [document.getElementById('status'), document.getElementById('picture-message')]
            .filter((e) => !e.hidden && e.textContent.trim()).map((e) => e.textContent);
          return { text: document.getElementById('scene').value, name: window.playground.name,
            drawn: !!(page && !page.error && page.frames >= 1), said: said.join(' '),
            reports: document.querySelectorAll('#reports li').length };
        });
        if (seen.text !== text) problem = 'the editor lost the text';
        else if (seen.name !== name + '.scn') problem = 'the name ' + seen.name;
        else if (!seen.drawn && !seen.said) problem = 'neither a picture nor a sentence';
        if (errors.length) problem = errors.splice(0).join('; ');
        console.log(`${problem ? 'FAIL' : 'ok  '} ${name}: ${seen.drawn ? 'picture' : 'sentence: ' + seen.said}` +
          `, ${seen.reports} reports${problem ? ': ' + problem : ''}`);
      } catch (error) {
        problem = String(error.message || error).slice(0, 300);
        console.log(`FAIL ${name}: ${problem}`);
      }
      if (problem) ++failed;
    }
  } finally {
    await browser.close();
  }
  console.log(failed ? `${failed} hostile scenes failed` : 'playground: every hostile scene handled');
  process.exit(failed ? 1 : 0);
}

main().catch((e) => {
  console.log('failed: ' + String(e.message || e).slice(0, 500));
  process.exit(1);
});
