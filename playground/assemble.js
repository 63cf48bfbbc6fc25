// Puts the playground together as one HTML file: its page, styles and
// script, the `-html` page's script (run on the playground's canvas), the
// worker with the WebAssembly module inside, and the bundled examples.
//   node assemble.js OUT.html PLAYGROUND_DIR PAGE_JS MODULE_JS EXAMPLES_DIR
'use strict';
const fs = require('fs');
const path = require('path');

const [out, here, pageJs, moduleJs, examplesDir] = process.argv.slice(2);
const read = (file) => fs.readFileSync(file, 'utf8');

// Inside a <script> element nothing may close it early.
function scriptText(text, what) {
  if (/<\/script/i.test(text) || /<!--/.test(text)) throw new Error(`${what} cannot go in a script element`);
  return text;
}

const examples = {};
for (const name of fs.readdirSync(examplesDir).filter((n) => n.endsWith('.scn')).sort())
  examples[name] = read(path.join(examplesDir, name));
// Robot first: the first visit opens it.
const ordered = {};
for (const name of Object.keys(examples).sort((a, b) => (b === 'robot.scn') - (a === 'robot.scn')))
  ordered[name] = examples[name];

const parts = {
  STYLE: read(path.join(here, 'playground.css')),
  EXAMPLES: JSON.stringify(ordered).replace(/</g, '\\u003c'),
  WORKER: scriptText(read(moduleJs) + '\n' + read(path.join(here, 'worker.js')), 'the worker'),
  SCRIPT: scriptText('function runPageScript(document, window) {\n' + read(pageJs) + '\n}\n' +
    read(path.join(here, 'playground.js')), 'the script'),
};
const page = read(path.join(here, 'playground.html')).replace(/@([A-Z]+)@/g, (all, key) => {
  if (!(key in parts)) throw new Error(`unknown part ${all}`);
  return parts[key];
});
fs.writeFileSync(out, page);
