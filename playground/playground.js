// The playground: a scene's text on one side, its picture on the other.
// Each edit goes to a worker running Mirovan's own program compiled to
// WebAssembly; the `-html` page it writes is drawn by that page's own
// script (picture.js), given this page's canvas, and the reports are the
// program's standard error, line for line.
(function () {
  'use strict';

  var editor = document.getElementById('scene');
  var gutter = document.getElementById('gutter');
  var reportList = document.getElementById('reports');
  var status = document.getElementById('status');
  var pictureMessage = document.getElementById('picture-message');
  var sceneName = document.getElementById('scene-name');
  var linkNote = document.getElementById('link-note');
  var previousButton = document.getElementById('previous-scene');
  var root = document.documentElement;

  var kStored = 'mirovan-playground-text';
  var kStoredName = 'mirovan-playground-name';
  var kPrevious = 'mirovan-playground-previous';
  var kPreviousName = 'mirovan-playground-previous-name';
  var state = {
    name: 'scene.scn',
    edits: 0,       // the editor's text, counted: a result for an older one is not shown
    sent: 0,        // the edit the worker is on, 0 when idle
    sentAt: 0,      // when it was sent (performance.now())
    drawnEdit: -1,
    host: null,     // the page script's run on the current canvas
    tables: '',     // the tables it draws
    view: [0, 0],
    big: null,      // a text too large for the text area, which shows its beginning
    workers: 0,     // workers started for the picture
    superseded: 0,  // evaluations stopped for a newer text
    evaluationMs: 0,  // the last text's, from sent to answered
    drawMs: 0,      // the last picture's
    typedAt: -1e9,  // the last key's time
    keyGap: 1e9,    // from the key before it
    waiting: {}     // downloads waiting for the worker, by id
  };
  window.playground = state;

  var texts = playgroundText(state, editor);
  var links = playgroundLink(state, linkNote);
  var picture = playgroundPicture(state, pictureMessage, links.keepView);

  // ---- Workers: one for the picture, one for the downloads ----

  // A newer text stops the evaluation of an older one that has run for
  // kPatienceMs, about what a fresh worker costs to its first answer (100
  // to 250 ms in headless chromium, against 3 ms for a running one): its
  // worker is ended and a fresh one evaluates the newer text. One that has
  // run less is let finish. Downloads have a worker of their own, never stopped.
  // Both run this file's own worker script: it works from disk too.
  var kPatienceMs = 250;
  var workerUrl = URL.createObjectURL(new Blob([document.getElementById('worker-source').textContent],
    { type: 'text/javascript' }));
  var worker = null, exporter = null, patience = 0;
  var nextJob = 1;

  function startWorker(onAnswer) {
    var started = new Worker(workerUrl);
    started.onmessage = function (event) { onAnswer(started, event.data); };
    return started;
  }

  function freshWorker() {
    if (worker) worker.terminate();
    worker = startWorker(function (from, answer) {
      if (from === worker) shown(answer);  // a stopped worker's last word is not heard
    });
    state.workers += 1;
  }

  function send(job) {
    job.id = nextJob++;
    if (!exporter) {
      exporter = startWorker(function (from, answer) {
        var done = state.waiting[answer.id];
        delete state.waiting[answer.id];
        if (done) done(answer);
      });
    }
    exporter.postMessage(job);
    return job.id;
  }

  function baseName() { return state.name.replace(/\.scn$/i, ''); }

  // ---- Reports ----

  var marks = document.getElementById('marks');
  var reported = [];  // { row, from, to, text }: a report's line and word, in characters

  // Where each line starts in a text (lines end at \n, as the reader has it).
  function lineStarts(text) {
    var starts = [0];
    for (var at = text.indexOf('\n'); at >= 0; at = text.indexOf('\n', at + 1)) starts.push(at + 1);
    return starts;
  }

  // The last index whose value is at most `value` in a sorted list.
  function lastAtMost(list, value) {
    var low = 0, high = list.length - 1;
    while (low < high) {
      var middle = (low + high + 1) >> 1;
      if (list[middle] <= value) low = middle;
      else high = middle - 1;
    }
    return low;
  }

  // Reports count lines and columns in the text the program read (its \r
  // and \r\n kept, the column in bytes of UTF-8); the editor holds that text
  // with each \r\n as one \n. `read` is { text, starts, pairs }: the text,
  // its line starts and where its \r\n pairs are.
  function readText(text) {
    var pairs = [];
    for (var at = text.indexOf('\r\n'); at >= 0; at = text.indexOf('\r\n', at + 2)) pairs.push(at);
    return { text: text, starts: lineStarts(text), pairs: pairs };
  }

  // "name:line:column: ..." placed in the editor: { row, offset, from, to,
  // text }, the row's start and the word's columns in characters.
  function placeOf(line, read, editorStarts) {
    var prefix = state.name + ':';
    if (line.indexOf(prefix) !== 0 || state.big !== null) return null;
    var found = /^(\d+):(\d+):/.exec(line.slice(prefix.length));
    if (!found) return null;
    var row = Math.max(1, Math.min(read.starts.length, +found[1])) - 1;
    var at = read.starts[row], end = row + 1 < read.starts.length ? read.starts[row + 1] - 1 : read.text.length;
    var bytes = +found[2] - 1;
    while (at < end && bytes > 0) {
      var code = read.text.codePointAt(at);
      bytes -= code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
      at += code >= 0x10000 ? 2 : 1;
    }
    // Each \r\n before it is one character less in the editor.
    var shift = read.pairs.length && read.pairs[0] < at ? lastAtMost(read.pairs, at - 1) + 1 : 0;
    var offset = at - shift;
    var text = editor.value;
    var editorRow = lastAtMost(editorStarts, offset);
    var stop = offset;
    while (stop < text.length && !/\s/.test(text[stop])) ++stop;
    var start = editorStarts[editorRow];
    return { row: editorRow, offset: start, from: offset - start, to: stop - start, text: line };
  }

  var lastRead = readText('');  // the text the shown reports are about

  function showReports(text, read) {
    while (reportList.firstChild) reportList.removeChild(reportList.firstChild);
    reported = [];
    lastRead = read || readText('');
    var editorStarts = lineStarts(editor.value);
    text.split('\n').forEach(function (line) {
      if (line === '') return;
      var item = document.createElement('li');
      item.textContent = line;  // a scene's words are text, never markup
      item.addEventListener('click', function () { goToReport(line); });
      reportList.appendChild(item);
      var place = placeOf(line, lastRead, editorStarts);
      if (place) reported.push(place);
    });
    updateGutter();
    updateMarks();
  }

  function goToReport(line) {
    var place = placeOf(line, lastRead, lineStarts(editor.value));
    if (!place) return;
    editor.focus();
    editor.setSelectionRange(place.offset + place.from, place.offset + place.from);
    // Setting the selection does not always bring it into view.
    var height = linePitch();
    var y = 4 + place.row * height;
    if (y < editor.scrollTop || y + height > editor.scrollTop + editor.clientHeight)
      editor.scrollTop = Math.max(0, y - editor.clientHeight / 2);
  }

  // Behind the text area, the same text with each reported word marked;
  // the text itself is transparent there, only the marks show.
  function updateMarks() {
    while (marks.firstChild) marks.removeChild(marks.firstChild);
    if (!reported.length) return;
    var lines = editor.value.split('\n');
    var byRow = {};
    reported.forEach(function (r) { (byRow[r.row] = byRow[r.row] || []).push(r); });
    var plain = [];
    var flush = function () {
      if (plain.length) marks.appendChild(document.createTextNode(plain.join('')));
      plain = [];
    };
    lines.forEach(function (text, row) {
      var words = byRow[row];
      if (words) {
        words.sort(function (a, b) { return a.from - b.from; });
        var at = 0;
        words.forEach(function (w) {
          var from = Math.max(at, w.from), to = Math.max(from, w.to);
          plain.push(text.slice(at, from));
          flush();
          var mark = document.createElement('mark');
          mark.textContent = text.slice(from, to) || ' ';
          mark.title = w.text;
          marks.appendChild(mark);
          at = to;
        });
        plain.push(text.slice(at));
      } else {
        plain.push(text);
      }
      plain.push('\n');
    });
    flush();
    marks.scrollTop = editor.scrollTop;
    marks.scrollLeft = editor.scrollLeft;
  }

  // ---- The text: every edit redraws ----

  // Line numbers, a line with reports marked (its title the reports). Only
  // the lines in view are numbered: a gutter of every line of a big scene
  // takes seconds to lay out.
  var lineCount = 1;

  // The text area's own line pitch: laid out lines may not be exactly the
  // style's line height apart.
  function linePitch() {
    var style = parseFloat(getComputedStyle(editor).lineHeight) || 18;
    var measured = (editor.scrollHeight - 8) / lineCount;
    return editor.scrollHeight > editor.clientHeight && measured > 0 ? measured : style;
  }

  function updateGutter() {
    var titles = {};
    reported.forEach(function (r) {
      titles[r.row] = titles[r.row] ? titles[r.row] + '\n' + r.text : r.text;
    });
    var height = linePitch();
    var top = editor.scrollTop;
    var first = Math.max(0, Math.floor((top - 4) / height));
    var last = Math.min(lineCount, first + Math.ceil(editor.clientHeight / height) + 2);
    var column = document.createElement('div');
    column.style.transform = 'translateY(' + (4 + first * height - top) + 'px)';
    var numbers = [];
    for (var i = first + 1; i <= last; ++i) {
      if (titles[i - 1] === undefined) {
        numbers.push(i + '\n');
        continue;
      }
      column.appendChild(document.createTextNode(numbers.join('')));
      numbers = [];
      var mark = document.createElement('span');
      mark.className = 'reported';
      mark.textContent = String(i);
      mark.title = titles[i - 1];
      column.appendChild(mark);
      numbers.push('\n');
    }
    column.appendChild(document.createTextNode(numbers.join('')));
    gutter.style.minWidth = String(lineCount).length + 'ch';
    while (gutter.firstChild) gutter.removeChild(gutter.firstChild);
    gutter.appendChild(column);
  }

  function edited() {
    state.edits += 1;
    root.setAttribute('data-state', 'busy');
    lineCount = 1;
    for (var at = editor.value.indexOf('\n'); at >= 0; at = editor.value.indexOf('\n', at + 1)) ++lineCount;
    if (reported.length) {
      reported = [];
      updateMarks();
    }
    updateGutter();
    keepSoon();
    evaluate();
  }

  // The text is kept in the browser at once, or, past 64 KiB, when keys
  // pause (a few MiB take a tenth of a second to store) and when the page
  // is left.
  var keeping = 0;

  function keep() {
    clearTimeout(keeping);
    keeping = 0;
    if (state.big !== null) return;
    try {
      localStorage.setItem(kStored, texts.source().text);
      localStorage.setItem(kStoredName, state.name);
    } catch (e) { /* private windows keep nothing */ }
  }

  function keepSoon() {
    clearTimeout(keeping);
    if (editor.value.length <= 65536) keep();
    else keeping = setTimeout(keep, kTypingPauseMs);
  }

  function keepWaiting() {
    if (keeping) keep();
  }

  window.addEventListener('pagehide', keepWaiting);
  document.addEventListener('visibilitychange', function () {
    if (document.visibilityState === 'hidden') keepWaiting();
  });

  // One text at a time in the picture's worker; the newest waits, the ones
  // between are never evaluated.
  function evaluate() {
    if (state.sent) {
      if (state.sent !== state.edits) supersedeSoon();
      return;
    }
    var from = texts.source();
    state.sent = state.edits;
    state.sentAt = performance.now();
    state.sentText = from.text;
    var made = firstPicture;
    if (made && from.text === made.text && state.name === made.name) {
      shown({ status: made.status, reports: made.reports, bytes: new TextEncoder().encode(made.html) });
      return;
    }
    worker.postMessage({ kind: 'draw', mode: '-html', ext: 'html', name: state.name,
      text: from.bytes ? '' : from.text, bytes: from.bytes, edit: state.edits, id: nextJob++ });
  }

  function supersedeSoon() {
    if (patience) return;
    patience = setTimeout(function () {
      patience = 0;
      if (!state.sent || state.sent === state.edits) return;
      freshWorker();
      state.sent = 0;
      state.superseded += 1;
      evaluate();
    }, Math.max(0, state.sentAt + kPatienceMs - performance.now()));
  }

  // A scene with more solids would hold the tab for many seconds at each
  // redraw (the window itself takes about 5 s a frame for 100,000).
  var kMostSolidsDrawn = 250000;

  function solidsIn(tables) {
    try {
      var head = atob(tables.slice(0, 200).replace(/\s+/g, '').slice(0, 48));
      return head.length >= 36 ? (head.charCodeAt(32) | head.charCodeAt(33) << 8 | head.charCodeAt(34) << 16) +
        head.charCodeAt(35) * 16777216 : 0;
    } catch (e) {
      return 0;  // the page script says what is wrong with them
    }
  }

  function bigNote() {
    if (state.big === null) return '';
    return 'This text is ' + (state.big.length / 1048576).toFixed(1) + ' MiB, too large to edit here: the ' +
      'editor shows its beginning; the picture, Save and the downloads take the whole text, which this ' +
      'browser does not keep. Open a smaller scene or pick an example to edit.';
  }

  function say(text) {
    status.textContent = [bigNote(), text].filter(function (t) { return t; }).join(' ');
  }

  function shown(answer) {
    var edit = state.sent, read = state.sentText;
    state.sent = 0;
    state.evaluationMs = performance.now() - state.sentAt;
    if (edit !== state.edits) {
      evaluate();
      return;
    }
    present(answer, edit, read);
  }

  // A picture that takes long to draw holds the keyboard as long: while
  // keys come one after another, it waits for a pause in them as long as
  // it takes to draw (kTypingPauseMs at most), so that a key pressed in
  // the pause is not held up by it. A key on its own is drawn at once.
  var kTypingPauseMs = 300, kQuickDrawMs = 50;

  function present(answer, edit, read) {
    if (edit !== state.edits) return;  // a newer text is on its way
    var wait = state.typedAt + Math.min(kTypingPauseMs, state.drawMs) - performance.now();
    if (wait > 0 && state.drawMs > kQuickDrawMs && state.keyGap < kTypingPauseMs) {
      setTimeout(function () { present(answer, edit, read); }, wait);
      return;
    }
    if (answer.error) {
      freshWorker();  // a module brought down: its memory goes with its worker
      say('The scene could not be evaluated: ' + answer.error + '. The text is kept.');
      showReports('');
    } else {
      showReports(answer.reports, readText(read));
      var html = new TextDecoder().decode(answer.bytes);
      var tables = picture.tablesOf(html), solids = solidsIn(tables);
      state.tables = tables;
      if (solids > kMostSolidsDrawn) {
        document.getElementById('picture').style.visibility = 'hidden';  // not a picture of another text
        var tooMany = 'The scene has ' + solids.toLocaleString('en') + ' solids, more than the playground ' +
          'draws (' + kMostSolidsDrawn.toLocaleString('en') + '): its downloads hold it whole.';
        pictureMessage.textContent = tooMany;
        pictureMessage.hidden = false;
        say(tooMany);
      } else {
        try {
          var started = performance.now();
          picture.draw(html);
          state.drawMs = performance.now() - started;
          say(answer.status === 0 ? '' : 'The scene could not be read or exported.');
        } catch (e) {
          say('The picture could not be drawn: ' + e.message);
        }
      }
    }
    state.drawnEdit = edit;
    root.setAttribute('data-state', 'drawn');
    links.write(state.big !== null ? null : texts.source().text);
  }

  freshWorker();

  // ---- Files ----

  function download(bytes, name, type) {
    var link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: type }));
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 60000);
  }

  function exportAs(mode, ext, type) {
    var output = baseName() + '.' + ext;
    var from = texts.source();
    var id = send({ kind: 'export', mode: mode, ext: ext, output: output, name: state.name,
      text: from.bytes ? '' : from.text, bytes: from.bytes });
    state.waiting[id] = function (answer) {
      if (answer.error) say('The export failed: ' + answer.error);
      else download(answer.bytes, output, type);
    };
  }

  function setName(name) {
    state.name = String(name).replace(/[\/\\\0]/g, '_') || 'scene.scn';
    sceneName.textContent = state.name;
  }

  // `text` as read (its line ends as they are), `bytes` the file's.
  function open(text, name, bytes) {
    setName(name);
    texts.open(text, bytes);
    if (state.big !== null) say('');
    editor.scrollTop = 0;
    edited();
  }

  function openFile(file) {
    if (!file) return;
    file.arrayBuffer().then(function (buffer) {
      var bytes = new Uint8Array(buffer);
      open(new TextDecoder().decode(bytes), file.name, bytes);
    });
  }

  document.getElementById('open-scn').addEventListener('click', function () {
    document.getElementById('file').click();
  });
  document.getElementById('file').addEventListener('change', function (event) {
    openFile(event.target.files[0]);
    event.target.value = '';
  });
  document.addEventListener('dragover', function (event) { event.preventDefault(); });
  document.addEventListener('drop', function (event) {
    event.preventDefault();
    openFile(event.dataTransfer.files[0]);
  });
  // A paste that would make the text too large for the text area opens it
  // as a whole text instead; in one, a paste over all of it replaces it.
  editor.addEventListener('paste', function (event) {
    var pasted = event.clipboardData && event.clipboardData.getData('text/plain');
    if (!pasted) return;
    var text = editor.value, start = editor.selectionStart, end = editor.selectionEnd;
    if (state.big === null) {
      if (texts.fitsEditor(text.length - (end - start) + pasted.length)) return;  // the browser pastes it
      pasted = text.slice(0, start) + pasted + text.slice(end);
    } else if (start !== 0 || end !== text.length) {
      event.preventDefault();
      return;
    }
    event.preventDefault();
    open(pasted, state.name);
  });
  document.getElementById('save-scn').addEventListener('click', function () {
    download(texts.sourceBytes(), state.name, 'text/plain');
  });
  [['glb', '-gltf', 'model/gltf-binary'], ['wrl', '-vrml', 'model/vrml'],
    ['cpp', '-opengl', 'text/x-c++src'], ['html', '-html', 'text/html']].forEach(function (e) {
    document.getElementById('export-' + e[0]).addEventListener('click', function () {
      exportAs(e[1], e[0], e[2]);
    });
  });
  document.getElementById('export-png').addEventListener('click', function () {
    if (!state.tables) return;
    if (solidsIn(state.tables) > kMostSolidsDrawn) {
      say('The scene has more solids than the playground draws: no .png of it.');
      return;
    }
    picture.windowPicture(function (blob, problem) {
      if (blob) download(blob, baseName() + '.png', 'image/png');
      else say('The picture could not be drawn: ' + problem);
    });
  });

  // ---- The first picture: made with the page, by the same module ----

  // The first example's `-html` page as the module writes it. Its text
  // opened as it is needs no module; any other text finds the GL's
  // pipeline ready when its own page comes, since the program it links is
  // the one this first drawing linked (picture.js).
  var firstPicture = JSON.parse(document.getElementById('first-picture').textContent);

  // ---- Examples and start ----

  var examples = JSON.parse(document.getElementById('bundled-examples').textContent);
  var menu = document.getElementById('examples');
  Object.keys(examples).forEach(function (name) {
    var option = document.createElement('option');
    option.value = name;
    option.textContent = name;
    menu.appendChild(option);
  });
  menu.addEventListener('change', function () {
    if (menu.value) open(examples[menu.value], menu.value);
    menu.value = '';
  });

  editor.addEventListener('input', function () {
    var now = performance.now();
    state.keyGap = now - state.typedAt;
    state.typedAt = now;
    edited();
  });
  window.addEventListener('resize', updateGutter);
  editor.addEventListener('scroll', function () {
    updateGutter();
    marks.scrollTop = editor.scrollTop;
    marks.scrollLeft = editor.scrollLeft;
  });

  function stored(key) {
    try {
      return localStorage.getItem(key);
    } catch (e) {
      return null;  // nothing kept
    }
  }

  // A link's scene replaces the one kept from before, which stays one
  // button away.
  function offerPrevious(text, name) {
    try {
      localStorage.setItem(kPrevious, text);
      localStorage.setItem(kPreviousName, name);
    } catch (e) { /* kept for this visit only */ }
    previousButton.hidden = false;
    previousButton.onclick = function () {
      var current = texts.source().text, currentName = state.name;
      open(text, name);
      offerPrevious(current, currentName);
    };
  }

  var kept = stored(kStored), keptName = stored(kStoredName) || 'scene.scn';
  var first = Object.keys(examples)[0];
  var linked = links.read(window.location.hash);
  var linkedView = /(?:^#|&)view=([^,&]*),([^&]*)/.exec(window.location.hash);
  if (linkedView) state.view = [decodeURIComponent(linkedView[1]), decodeURIComponent(linkedView[2])];
  function openKept() {
    if (kept !== null) open(kept, keptName);
    else if (first) open(examples[first], first);
    else open('', 'scene.scn');
  }
  if (linked) {
    linked.then(function (text) {
      if (kept !== null && kept !== text) offerPrevious(kept, keptName);
      open(text, 'scene.scn');
    }, function () {
      openKept();
      status.textContent = 'The scene in this link could not be read; the text kept before is open.';
    });
  } else {
    openKept();
  }
  if (!state.host) picture.warmUp(firstPicture);
  editor.focus();
})();
