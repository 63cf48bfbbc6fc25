// The page's pictures against the window's: the bundled examples and 20
// random scenes (fixed seeds) at three views and two sizes, and shiny
// solids under lights from the side, from behind, several lights and a spot
// (lit_scenes/) at views of their own, each screenshot of the page compared
// with mirovan-snapshot at the same size and view. At most 0.5 % of the
// pixels may differ by more than 2 levels in a channel (the two rasterisers
// disagree along some edges).
'use strict';

const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const web = require('./browser.js');

const kViews = [[0, 0], [30, -40], [15, 20]];
const kSizes = [[500, 500], [640, 360]];
const kSeeds = Array.from({ length: 20 }, (_, i) => 1501 + i);
// Views where faces stand square to a light: a vertex there takes the
// light's specular term only where its normal faces the light.
const kLitViews = {
  side_light: [[0, 0], [30, -40], [60, -60]],
  back_light: [[0, 0], [60, -60], [15, 20]],
  many_lights: [[0, 0], [15, 20], [0, 90]],
};
const kLevels = 2, kShare = 0.005;

async function main() {
  const opt = web.options(['mirovan', 'snapshot', 'random', 'examples', 'lit', 'work']);
  const scenes = fs.readdirSync(opt.examples).filter((f) => f.endsWith('.scn'))
    .map((f) => ({ file: path.join(opt.examples, f), views: kViews }));
  for (const seed of kSeeds) {
    const file = path.join(opt.work, `random-${seed}.scn`);
    execFileSync(opt.random, [String(seed), file]);
    scenes.push({ file, views: kViews });
  }
  for (const [name, views] of Object.entries(kLitViews))
    scenes.push({ file: path.join(opt.lit, name + '.scn'), views });

  const browser = await web.launch();
  let worst = { share: -1 }, failures = 0;
  try {
    for (const { file: scene, views } of scenes) {
      const name = path.basename(scene, '.scn'), page = path.join(opt.work, name + '.html');
      web.makePage(opt.mirovan, scene, page);
      for (const [width, height] of kSizes) {
        // One tab per size; the views follow through the fragment.
        const [ax0, ay0] = views[0];
        const { tab, errors } = await web.openPage(browser, page, width, height, `view=${ax0},${ay0}`);
        for (const [ax, ay] of views) {
          if (ax !== ax0 || ay !== ay0) {
            const drawn = await tab.evaluate('window.mirovan.frames');
            await tab.evaluate(`location.hash = 'view=${ax},${ay}'`);
            await tab.waitForFunction(`window.mirovan.frames > ${drawn}`, { timeout: web.kDeadlineMs });
          }
          await web.settle(tab);
          const shot = await web.screenshot(tab);
          const expected = web.snapshot(opt.snapshot, scene, width, height, ax, ay,
            path.join(opt.work, 'expected.png'));
          const share = web.differingShare(shot, expected, kLevels);
          const where = `${name} ${width}x${height} view ${ax},${ay}`;
          if (share > worst.share) worst = { share, where };
          if (share > kShare) {
            ++failures;
            const keep = path.join(opt.work, `${name}-${width}x${height}-${ax},${ay}`);
            fs.copyFileSync(path.join(opt.work, 'expected.png'), keep + '-expected.png');
            fs.writeFileSync(keep + '-page.png', await tab.screenshot({ type: 'png' }));
            console.log(`FAIL ${where}: ${(share * 100).toFixed(3)} % of the pixels differ (${keep}-*.png)`);
          }
        }
        if (errors.length) {
          ++failures;
          console.log(`FAIL ${name}: script errors: ${errors.join('; ')}`);
        }
        await tab.close();
      }
    }
  } finally {
    await browser.close();
  }
  const pictures = scenes.reduce((sum, scene) => sum + scene.views.length * kSizes.length, 0);
  console.log(`${scenes.length} scenes, ${pictures} pictures; ` +
    `worst: ${(worst.share * 100).toFixed(3)} % of the pixels differ by more than ${kLevels} ` +
    `levels (${worst.where})`);
  if (failures) process.exit(1);
}

main().catch((error) => { console.error(error); process.exit(1); });
