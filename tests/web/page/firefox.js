// The page in Firefox ESR against the window's pictures: the bundled
// examples and the lit scenes, each in a Firefox window of its own under a
// private Xvfb (headless Firefox has no WebGL; a window draws with Mesa, as
// the window does), sized to 500 x 500 with xdotool and photographed with
// ImageMagick until it shows mirovan-snapshot's picture or the deadline
// passes. At most 0.5 % of the pixels may differ by more than 2 levels, as
// in chromium.
'use strict';

const { execFileSync, spawn } = require('child_process');
const fs = require('fs');
const path = require('path');
const web = require('./browser.js');

const kWidth = 500, kHeight = 500, kLevels = 2, kShare = 0.005;
const kDeadlineMs = 60000;
const kPictures = [
  ['examples', 'robot', 15, 20], ['examples', 'still_life', 30, -40], ['examples', 'lights', 0, 0],
  ['lit', 'side_light', 30, -40], ['lit', 'back_light', 60, -60], ['lit', 'many_lights', 15, 20],
];

// A private X server; its display number comes back on a pipe.
function startXvfb() {
  const server = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1024x768x24', '+extension', 'GLX',
    '-nolisten', 'tcp'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  return new Promise((resolve, reject) => {
    let text = '';
    const timer = setTimeout(() => reject(new Error('Xvfb gave no display')), kDeadlineMs);
    server.stdio[3].on('data', (data) => {
      text += data;
      if (text.includes('\n')) {
        clearTimeout(timer);
        resolve({ server, display: ':' + text.trim() });
      }
    });
    server.on('exit', () => reject(new Error('Xvfb ended')));
  });
}

// WebGL on whatever GL the window gets, and nothing on first start that
// would cover the page.
function makeProfile(dir) {
  fs.rmSync(dir, { recursive: true, force: true });
  fs.mkdirSync(dir, { recursive: true });
  fs.writeFileSync(path.join(dir, 'user.js'), [
    'user_pref("webgl.force-enabled", true);',
    'user_pref("browser.shell.checkDefaultBrowser", false);',
    'user_pref("browser.aboutwelcome.enabled", false);',
    'user_pref("datareporting.policy.dataSubmissionEnabled", false);',
    'user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);',
    'user_pref("app.update.enabled", false);',
    'user_pref("browser.sessionstore.resume_from_crash", false);',
  ].join('\n') + '\n');
}

function grab(env) {
  return web.decodePng(execFileSync('import', ['-window', 'root', '-crop',
    `${kWidth}x${kHeight}+0+0`, 'png:-'], { env, maxBuffer: 64 << 20 }));
}

// One page in one Firefox: the least share of differing pixels seen before
// the picture matched or the deadline passed.
async function picture(opt, env, scene, ax, ay) {
  const name = path.basename(scene, '.scn'), page = path.join(opt.work, name + '.html');
  web.makePage(opt.mirovan, scene, page);
  const expected = web.snapshot(opt.snapshot, scene, kWidth, kHeight, ax, ay,
    path.join(opt.work, name + '-expected.png'));
  const profile = path.join(opt.work, 'profile');
  makeProfile(profile);
  const firefox = spawn(opt.firefox, ['--no-remote', '--profile', profile, '--kiosk',
    `file://${path.resolve(page)}#view=${ax},${ay}`], { env, stdio: 'ignore', detached: true });
  const start = Date.now();
  let best = 1, last = null;
  try {
    const window = execFileSync('xdotool', ['search', '--sync', '--onlyvisible', '--class', 'firefox'],
      { env, timeout: kDeadlineMs }).toString().trim().split('\n')[0];
    execFileSync('xdotool', ['windowmove', window, '0', '0'], { env });
    execFileSync('xdotool', ['windowsize', window, String(kWidth), String(kHeight)], { env });
    while (Date.now() - start < kDeadlineMs) {
      last = grab(env);
      best = Math.min(best, web.differingShare(last, expected, kLevels));
      if (best <= kShare) break;
      await new Promise((done) => setTimeout(done, 200));  // the next look, not a wait for it
    }
  } finally {
    try { process.kill(-firefox.pid, 'SIGTERM'); } catch (e) { /* gone already */ }
    await new Promise((done) => (firefox.exitCode !== null ? done() : firefox.on('exit', done)));
  }
  if (best > kShare && last) {
    const keep = path.join(opt.work, `${name}-${ax},${ay}-firefox.png`);
    execFileSync('/usr/bin/convert', ['-size', `${kWidth}x${kHeight}`, '-depth', '8', 'rgb:-', keep],
      { input: last.rgb });
    console.log(`  (kept ${keep})`);
  }
  return best;
}

async function main() {
  const opt = web.options(['mirovan', 'snapshot', 'firefox', 'examples', 'lit', 'work']);
  const { server, display } = await startXvfb();
  const env = Object.assign({}, process.env, { DISPLAY: display, MOZ_CRASHREPORTER_DISABLE: '1' });
  let failures = 0;
  try {
    for (const [folder, name, ax, ay] of kPictures) {
      const share = await picture(opt, env, path.join(opt[folder], name + '.scn'), ax, ay);
      const ok = share <= kShare;
      if (!ok) ++failures;
      console.log(`${ok ? 'ok  ' : 'FAIL'} ${name} view ${ax},${ay}: ${(share * 100).toFixed(3)} % of ` +
        `the pixels differ by more than ${kLevels} levels`);
    }
  } finally {
    server.kill();
  }
  if (failures) process.exit(1);
}

main().catch((error) => { console.error(error); process.exit(1); });
