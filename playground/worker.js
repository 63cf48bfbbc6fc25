// The playground's worker, after the module's loader (createMirovan) and
// the module itself (kPackedModule, gzip in base64): runs one mode of
// Mirovan's own program on the text it is sent, as `mirovan MODE NAME
// OUTPUT` would, and sends back the exit status, the reports (standard
// error) and the output's bytes. The text comes as bytes (a file's own,
// line ends and all) or as a string. A run that brings the
// module down (out of memory) says so, and the next run starts a new one.
'use strict';
var loading = null;

function moduleBytes() {
  var packed = atob(kPackedModule), bytes = new Uint8Array(packed.length);
  for (var i = 0; i < packed.length; ++i) bytes[i] = packed.charCodeAt(i);
  var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Response(stream).arrayBuffer();
}

function module() {
  if (!loading) {
    loading = moduleBytes().then(function (wasm) {
      return createMirovan({ wasmBinary: new Uint8Array(wasm) });
    }).then(function (m) {
      m.FS.mkdir('/scenes');
      m.FS.chdir('/scenes');
      return m;
    });
  }
  return loading;
}

// A text's UTF-8. Chromium's TextEncoder.encode takes 30 ns a byte (80 ms
// for 100,000 statements), its encodeInto a fifth of that: a text all of
// ASCII (the usual scene) is one byte a character and goes that way.
function utf8(text) {
  var encoder = new TextEncoder(), bytes = new Uint8Array(text.length);
  var done = encoder.encodeInto(text, bytes);
  return done.read === text.length && done.written === text.length ? bytes : encoder.encode(text);
}

function run(m, job) {
  var output = 'out.' + job.ext;
  m.FS.writeFile(job.name, job.bytes || utf8(job.text));
  var status = m.ccall('mirovan_run', 'number', ['string', 'string', 'string'],
    [job.mode, job.name, job.output || output]);
  var reports = m.FS.readFile(m.ccall('mirovan_reports', 'string', [], []));
  var target = job.output || output;
  var bytes = new Uint8Array(0);
  if (m.FS.analyzePath(target).exists) {
    bytes = m.FS.readFile(target);
    m.FS.unlink(target);
  }
  m.FS.unlink(job.name);
  return { status: status, reports: new TextDecoder().decode(reports), bytes: bytes };
}

self.onmessage = function (event) {
  var job = event.data;
  module().then(function (m) {
    var answer;
    try {
      answer = run(m, job);
    } catch (e) {
      loading = null;  // the module is spent: a fresh one for the next text
      answer = { error: String((e && e.message) || e) };
    }
    answer.id = job.id;
    answer.kind = job.kind;
    self.postMessage(answer, answer.bytes ? [answer.bytes.buffer] : []);
  }, function (e) {
    loading = null;
    self.postMessage({ id: job.id, kind: job.kind, error: 'the module did not load: ' + e });
  });
};

// Loaded at once: the first text finds the module ready, or nearly.
module();
