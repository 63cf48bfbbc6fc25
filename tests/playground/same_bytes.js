// The WebAssembly module against the native program: for each scene, every
// export's bytes, the exit status and the reports (the native standard
// error, byte for byte) must be the same.
//   node --no-experimental-fetch same_bytes.js MODULE.js MIROVAN EXAMPLES_DIR
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');

const [modulePath, mirovan, examplesDir] = process.argv.slice(2).map((a) => path.resolve(a));
const createMirovan = require(modulePath);

const modes = [['-vrml', 'wrl'], ['-opengl', 'cpp'], ['-html', 'html'], ['-gltf', 'glb']];

// Every whole and half degree from -720 to 720, about an axis (exact sine
// and cosine entries) and about a slanted one (every entry a product): the
// page's tables keep each matrix bit for bit.
function rotations(axis) {
  const lines = [];
  for (let h = -1440; h <= 1440; ++h)
    lines.push(`Push\nRotation ${h / 2} ${axis}\nCube 1 1 1\nPop`);
  return lines.join('\n') + '\n';
}

const scenes = [];
for (const name of fs.readdirSync(examplesDir).filter((n) => n.endsWith('.scn')).sort())
  scenes.push([name, fs.readFileSync(path.join(examplesDir, name))]);
scenes.push(
  ['turns-about-y.scn', Buffer.from(rotations('0 1 0'))],
  ['turns-slanted.scn', Buffer.from(rotations('1 2 0.5') + 'Rotation 13 0 1 0\nRotation 19 1 0 0\nRotation 22 0 0 1\nSphere 2\n')],
  ['faults.scn', Buffer.from('Sphere 1\nCube deux 2 2\nBonjour 3\nTranslation 1 2\nPush\nCylindre 1e999 nan\nMaterial 1 1\n')],
  ['many-faults.scn', Buffer.from('Mot '.repeat(200) + '\nSphere\n')],
  ['markup.scn', Buffer.from('<script>alert(1)</script> Sphere 1\n<img src=x onerror=alert(2)>\n"quoted" & \'x\'\n')],
  ['words à accents.scn', Buffer.from('Sphère 1\nCube 1 2 3 « été »\n')],
  ['binary.scn', Buffer.from(Array.from({ length: 3000 }, (_, i) => (i * 7919 + 13) % 256))],
  ['empty.scn', Buffer.alloc(0)],
  ['deep.scn', Buffer.from('Push\n'.repeat(5000) + 'Sphere 1\n' + 'Pop\n'.repeat(4000))],
);

function runNative(dir, name, mode, ext) {
  const output = path.basename(name, '.scn') + '.' + ext;
  const r = spawnSync(mirovan, [mode, name, output], { cwd: dir, encoding: 'buffer', maxBuffer: 1 << 28 });
  if (r.error) throw new Error(`${mirovan}: ${r.error.message}`);
  const written = path.join(dir, output);
  const bytes = fs.existsSync(written) ? fs.readFileSync(written) : Buffer.alloc(0);
  fs.rmSync(written, { force: true });
  return { status: r.status, stderr: r.stderr, bytes };
}

function runWasm(m, name, mode, ext) {
  const output = path.basename(name, '.scn') + '.' + ext;
  const status = m.ccall('mirovan_run', 'number', ['string', 'string', 'string'], [mode, name, output]);
  const reports = m.FS.readFile(m.ccall('mirovan_reports', 'string', [], []));
  let bytes = new Uint8Array(0);
  if (m.FS.analyzePath(output).exists) {
    bytes = m.FS.readFile(output);
    m.FS.unlink(output);
  }
  return { status, stderr: Buffer.from(reports), bytes: Buffer.from(bytes) };
}

function firstDifference(a, b) {
  let i = 0;
  while (i < a.length && i < b.length && a[i] === b[i]) ++i;
  return i;
}

function compareAll(m) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mirovan-playground-'));
  m.FS.mkdir('/scenes');
  m.FS.chdir('/scenes');
  let failures = 0, checks = 0;
  for (const [name, text] of scenes) {
    fs.writeFileSync(path.join(work, name), text);
    m.FS.writeFile(name, text);
    for (const [mode, ext] of modes) {
      const native = runNative(work, name, mode, ext);
      const wasm = runWasm(m, name, mode, ext);
      ++checks;
      const what = `${name} ${mode}`;
      if (native.status !== wasm.status) {
        console.log(`${what}: exit status ${wasm.status}, native ${native.status}`);
        ++failures;
      }
      if (!native.stderr.equals(wasm.stderr)) {
        console.log(`${what}: reports differ\n  wasm:   ${JSON.stringify(wasm.stderr.toString())}\n  native: ${JSON.stringify(native.stderr.toString())}`);
        ++failures;
      }
      if (!native.bytes.equals(wasm.bytes)) {
        const at = firstDifference(native.bytes, wasm.bytes);
        console.log(`${what}: ${wasm.bytes.length} bytes, native ${native.bytes.length}; first difference at byte ${at}`);
        ++failures;
      }
    }
    m.FS.unlink(name);
  }
  fs.rmSync(work, { recursive: true, force: true });
  console.log(`${checks} exports compared, ${failures} differences`);
  return failures === 0 && checks > 0;
}

// Errors are caught and told in one line: the module's loader would print
// its whole source with an uncaught one.
createMirovan().then((m) => {
  let passed = false;
  try {
    passed = compareAll(m);
  } catch (e) {
    console.log('failed: ' + e.message);
  }
  process.exit(passed ? 0 : 1);
}, (e) => {
  console.log('the module failed to load: ' + e.message);
  process.exit(1);
});
