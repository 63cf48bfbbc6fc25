// The page draws many solids at once where it can (one draw for the solids
// that share a mesh, a light set and lighting frame): a scene made to
// exercise that, against mirovan-snapshot at two views. Several hundred
// solids of every kind under three light sets (directions only: lit in the
// solid's own frame; a point and a spot: lit in the eye frame), many
// materials, rotations and scales, even and uneven; rows that run over the
// view's edges (clipped there); and coincident solids of different
// colours, where the first drawn must stay in front, as in the window:
// pairs that share everything but the material, and a pair whose light
// sets differ, the second sharing its batch's key with a solid drawn before
// the first. At most 0.5 % of
// the pixels may differ by more than 2 levels in a channel (the two
// rasterisers disagree along some edges), as in pictures.js. The same again
// in a browser without ANGLE_instanced_arrays: one solid at a time.
'use strict';

const fs = require('fs');
const path = require('path');
const web = require('./browser.js');

const kViews = [[0, 0], [30, -40]];

// The browser as one without instanced drawing.
function withoutInstancing(tab) {
  return tab.evaluateOnNewDocument(() => {
    const get = WebGLRenderingContext.prototype.getExtension;
    WebGLRenderingContext.prototype.getExtension = function (name) {
      return name === 'ANGLE_instanced_arrays' ? null : get.call(this, name);
    };
  });
}
const kLevels = 2, kShare = 0.005;
const kKinds = ['Cube 1.6 1.2 1', 'Sphere 0.9', 'Cylindre 0.6 1.8', 'Cone 0.8 1.6'];

function scene() {
  let seed = 12345;
  const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
  const lines = [];
  const material = (i) => {
    const r = (0.2 + 0.8 * ((i * 37) % 11) / 10).toFixed(2), g = (0.2 + 0.8 * ((i * 53) % 7) / 6).toFixed(2);
    const b = (0.2 + 0.8 * ((i * 71) % 5) / 4).toFixed(2);
    lines.push(`Material ${r} ${g} ${b}  0.2 0.2 0.2  0.7 0.7 0.7  0 0 0  ${(i * 13) % 100}`);
  };
  // A band of solids: x runs over the view's edges (x = -20 and 20).
  const band = (y, z, first) => {
    for (let i = 0; i < 96; ++i) {
      if (i % 5 === 0) material(first + i);
      lines.push('Push', `Translation ${(-23 + (i % 24) * 2).toFixed(1)} ${(y + 2 * Math.floor(i / 24)).toFixed(1)} ${z}`);
      if (i % 3 !== 0) lines.push(`Rotation ${Math.floor(random() * 360)} ${(random() - 0.5).toFixed(2)} ${(random() - 0.5).toFixed(2)} 1`);
      if (i % 4 === 1) lines.push(`Zoom ${(0.6 + random()).toFixed(2)} ${(0.6 + random()).toFixed(2)} ${(0.6 + random()).toFixed(2)}`);
      if (i % 4 === 3) lines.push('Zoom 1.3 1.3 1.3');
      lines.push(kKinds[(i * 7) % 4], 'Pop');
    }
  };
  // Two solids at one place, the first of one colour, the second of
  // another; `between` goes between them.
  const coincident = (x, y, solid, first, second, between) => {
    lines.push('Push', `Translation ${x} ${y} 5`, 'Rotation 20 1 1 0');
    first();
    lines.push(solid);
    lines.push('Pop');
    between();
    lines.push('Push', `Translation ${x} ${y} 5`, 'Rotation 20 1 1 0');
    second();
    lines.push(solid, 'Pop');
  };
  const red = () => lines.push('Material 0.9 0.1 0.1  0.2 0.2 0.2  0.5 0.5 0.5  0 0 0  20');
  const green = () => lines.push('Material 0.1 0.9 0.1  0.2 0.2 0.2  0.5 0.5 0.5  0 0 0  20');
  const blue = () => lines.push('Material 0.1 0.1 0.9  0.2 0.2 0.2  0.5 0.5 0.5  0 0 0  20');

  // Directions only: lit in each solid's own frame where its matrix keeps
  // lengths.
  lines.push('Push', 'Dirlight -1 -1 -1 1 1 1 1', 'Dirlight 1 0 -0.5 0.6 0.3 0.3 1');
  band(13, 0, 0);
  // Red then green, same mesh and lights: one batch, in scene order.
  coincident(-12, 1, 'Cube 5 5 5', red, green, () => band(-21, -6, 200));
  // Red under the directions, then green under a point light, then blue
  // where the green is, turned as the red: the blue shares the red's
  // batch's key but must come after the green.
  lines.push('Push', 'Translation 0 -5 5', 'Rotation 20 1 1 0');
  red();
  lines.push('Sphere 3.5', 'Pop');
  coincident(12, 1, 'Sphere 3.5', () => { lines.push('Pointlight 0 0 18 1 1 1 0.8'); green(); }, blue, () => {});
  lines.push('Pop');
  // A point light and a spot: lit in the eye frame; solids near the near
  // and far planes (z = 20 and -20).
  lines.push('Push', 'Pointlight -10 10 15 1 1 0.9 0.8', 'Spotlight 10 -10 18 -0.3 0.3 -1 1 0.8 0.8 1 40');
  band(-8, 17, 400);
  band(4, -17, 600);
  coincident(0, 10, 'Cylindre 2.5 5', blue, red, () => band(-1, 12, 800));
  lines.push('Pop');
  return lines.join('\n') + '\n';
}

async function main() {
  const opt = web.options(['mirovan', 'snapshot', 'work']);
  fs.mkdirSync(opt.work, { recursive: true });
  const file = path.join(opt.work, 'batching.scn'), page = path.join(opt.work, 'batching.html');
  fs.writeFileSync(file, scene());
  web.makePage(opt.mirovan, file, page);
  const browser = await web.launch();
  let failures = 0;
  try {
    for (const [ax, ay] of kViews) {
      const expected = path.join(opt.work, `batching-${ax},${ay}-expected.png`);
      const windowPicture = web.snapshot(opt.snapshot, file, 500, 500, ax, ay, expected);
      for (const [how, prepare] of [['instanced', null], ['one by one', withoutInstancing]]) {
        const { tab, errors } = await web.openPage(browser, page, 500, 500, `view=${ax},${ay}`, prepare);
        await web.settle(tab);
        const share = web.differingShare(await web.screenshot(tab), windowPicture, kLevels);
        const { solids, draws } = await tab.evaluate('({ solids: mirovan.solids, draws: mirovan.draws })');
        const where = `view ${ax},${ay} ${how}`;
        console.log(`${where}: ${solids} solids in ${draws} draws; ` +
          `${(share * 100).toFixed(3)} % of the pixels differ by more than ${kLevels} levels`);
        if (share > kShare || errors.length) {
          ++failures;
          const keep = path.join(opt.work, `batching-${ax},${ay}-${how.replace(/ /g, '-')}.png`);
          fs.writeFileSync(keep, await tab.screenshot({ type: 'png' }));
          console.log(`FAIL ${where}${errors.length ? ': script errors: ' + errors.join('; ') : ''} (${keep}, ${expected})`);
        }
        await tab.close();
      }
    }
  } finally {
    await browser.close();
  }
  if (failures) process.exit(1);
}

main().catch((error) => { console.error(error); process.exit(1); });
