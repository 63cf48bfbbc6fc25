// Every scene of the hostile catalogue gives a page that opens and draws
// its first frame without a script error.
'use strict';

const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const web = require('./browser.js');

async function main() {
  const opt = web.options(['mirovan', 'snapshot', 'scenes', 'work']);
  const names = execFileSync(opt.scenes, [opt.work]).toString().trim().split('\n');
  const browser = await web.launch();
  let failed = 0;
  try {
    for (const name of names) {
      const scene = path.join(opt.work, name + '.scn'), page = path.join(opt.work, name + '.html');
      try {
        web.makePage(opt.mirovan, scene, page);
      } catch (error) {
        // A scene may be refused (exit status 1); then there is no page to open.
        if (!fs.existsSync(page)) { console.log(`--   ${name}: no page (${error.status})`); continue; }
      }
      let problem = '';
      try {
        const { tab, errors } = await web.openPage(browser, page, 500, 500, '');
        const state = await tab.evaluate('({ frames: mirovan.frames, error: mirovan.error })');
        if (errors.length) problem = errors.join('; ');
        else if (state.error || state.frames < 1) problem = state.error || 'nothing drawn';
        await tab.close();
      } catch (error) {
        problem = String(error);
      }
      if (problem) ++failed;
      console.log(`${problem ? 'FAIL' : 'ok  '} ${name} (${fs.statSync(page).size} bytes)${problem ? ': ' + problem : ''}`);
    }
  } finally {
    await browser.close();
  }
  if (failed) process.exit(1);
}

main().catch((error) => { console.error(error); process.exit(1); });
