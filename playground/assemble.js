// Puts the playground together as one HTML file: its page, styles and
// script, the worker with the WebAssembly module inside, the bundled
// examples, and the first example's `-html` page as the module writes it.
// The picture's script comes with each `-html` page the module writes: it
// is not here a second time.
//   node assemble.js OUT.html PLAYGROUND_DIR MODULE_JS EXAMPLES_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');

const [out, here, moduleJs, examplesDir] = process.argv.slice(2).map((a) => path.resolve(a));
const read = (file) => fs.readFileSync(file, 'utf8');
const moduleWasm = moduleJs.replace(/\.js$/, '.wasm');

// Inside a <script> element nothing may close it early.
function scriptText(text, what) {
  if (/<\/script/i.test(text) || /<!--/.test(text)) throw new Error(`${what} cannot go in a script element`);
  return text;
}
const jsonText = (value) => JSON.stringify(value).replace(/</g, '\\u003c');

const examples = {};
for (const name of fs.readdirSync(examplesDir).filter((n) => n.endsWith('.scn')).sort())
  examples[name] = read(path.join(examplesDir, name));
// Robot first: the first visit opens it.
const ordered = {};
for (const name of Object.keys(examples).sort((a, b) => (b === 'robot.scn') - (a === 'robot.scn')))
  ordered[name] = examples[name];

// The module gzip-compressed in base64: the page inflates it with the
// browser's DecompressionStream, in a third of the room it takes as it is.
const packedModule = zlib.gzipSync(fs.readFileSync(moduleWasm), { level: 9 }).toString('base64');

// The first example's picture, made here by the module itself as the page
// would make it: a first visit shows it without waiting for the module,
// and any other first text has its GL pipeline ready when the module is.
function firstPicture(m, name, text) {
  m.FS.mkdir('/scenes');
  m.FS.chdir('/scenes');
  m.FS.writeFile(name, text);
  const status = m.ccall('mirovan_run', 'number', ['string', 'string', 'string'], ['-html', name, 'out.html']);
  const reports = m.FS.readFile(m.ccall('mirovan_reports', 'string', [], []), { encoding: 'utf8' });
  return { name: name, text: text, status: status, reports: reports,
    html: m.FS.readFile('out.html', { encoding: 'utf8' }) };
}

// The scripts made smaller (Debian's terser): the file's gzip-compressed
// size is a visitor's download. Names a test or another script reaches
// (window.playground, createMirovan, playgroundPicture) are the page's
// globals, which terser leaves as they are.
const { minify } = require('terser');

async function smaller(text) {
  const result = await minify(text, { compress: true, mangle: true });
  return result.code;
}

require(moduleJs)({ wasmBinary: fs.readFileSync(moduleWasm) }).then(async (m) => {
  const first = Object.keys(ordered)[0];
  const parts = {
    STYLE: read(path.join(here, 'playground.css')),
    EXAMPLES: jsonText(ordered),
    FIRST: jsonText(first ? firstPicture(m, first, ordered[first]) : null),
    WORKER: scriptText(await smaller(read(moduleJs)) + '\nvar kPackedModule = "' + packedModule + '";\n' +
      await smaller(read(path.join(here, 'worker.js'))), 'the worker'),
    SCRIPT: scriptText(await smaller(['picture.js', 'link.js', 'text.js', 'playground.js']
      .map((name) => read(path.join(here, name))).join('\n')), 'the script'),
  };
  const page = read(path.join(here, 'playground.html')).replace(/@([A-Z]+)@/g, (all, key) => {
    if (!(key in parts)) throw new Error(`unknown part ${all}`);
    return parts[key];
  });
  fs.writeFileSync(out, page);
}).catch((error) => {
  console.error(`assemble.js: ${error}`);
  process.exit(1);
});
