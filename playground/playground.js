// The playground: a scene's text on one side, its picture on the other.
// Each edit goes to a worker running Mirovan's own program compiled to
// WebAssembly; the `-html` page it writes is drawn by that page's own
// script, given this page's canvas, and the reports are the program's
// standard error, line for line.
(function () {
  'use strict';

  var editor = document.getElementById('scene');
  var gutter = document.getElementById('gutter');
  var reportList = document.getElementById('reports');
  var status = document.getElementById('status');
  var drawing = document.getElementById('drawing');
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
    drawnEdit: -1,
    host: null,     // the page script's run on the current canvas
    view: [0, 0],
    waiting: {}     // downloads waiting for the worker, by id
  };
  window.playground = state;

  // ---- The worker, from this file's own text: works from disk too ----

  var workerUrl = URL.createObjectURL(new Blob([document.getElementById('worker-source').textContent],
    { type: 'text/javascript' }));
  var worker = null;
  var nextJob = 1;

  function send(job) {
    job.id = nextJob++;
    worker.postMessage(job);
    return job.id;
  }

  function baseName() { return state.name.replace(/\.scn$/i, ''); }

  // ---- Drawing: the `-html` page's own script, run again on one canvas ----

  // The page's tables, and its script, from the `-html` page the worker
  // wrote for the text.
  function tablesOf(html) {
    var start = html.indexOf('id="scene">');
    var end = html.indexOf('<\/script>', start);
    return start < 0 || end < 0 ? '' : html.slice(start + 11, end);
  }

  var pageScript = { text: '', run: null };

  function pageScriptOf(html) {
    var start = html.lastIndexOf('<script>\n');
    var end = html.lastIndexOf('<\/script>');
    var text = start < 0 || end < start ? '' : html.slice(start + 9, end);
    if (text !== pageScript.text) {
      pageScript.run = new Function('document', 'window', text);  // eslint-disable-line no-new-func
      pageScript.text = text;
    }
    return pageScript.run;
  }

  // Each run of the page's script is a host: what it set up on the shared
  // canvas (listeners, GL objects) is taken down when the next one starts.
  function pageWindow(host) {
    var own = {
      addEventListener: function (type, listener) {
        if (type === 'keydown') listen(host, 'keydown', listener);  // keys on the picture only
        else if (type === 'resize') host.resize.push(listener);
      },
      requestAnimationFrame: function (callback) {
        return window.requestAnimationFrame(function (time) {
          if (state.host === host) callback(time);
        });
      },
      location: {
        get hash() { return '#view=' + state.view[0] + ',' + state.view[1]; },
        replace: function (hash) { if (state.host === host) keepView(hash); }
      },
      history: { state: null, replaceState: function (s, t, hash) { if (state.host === host) keepView(hash); } }
    };
    return new Proxy(window, {
      get: function (target, key) {
        if (Object.prototype.hasOwnProperty.call(own, key)) return own[key];
        var value = target[key];
        return typeof value === 'function' ? value.bind(target) : value;
      },
      set: function (target, key, value) {
        if (key === 'mirovan') host.page = value;
        else target[key] = value;
        return true;
      }
    });
  }

  function keepView(hash) {
    var found = /view=([^,&]*),([^&]*)/.exec(hash);
    if (!found) return;
    state.view = [decodeURIComponent(found[1]), decodeURIComponent(found[2])];
    putLink();
  }

  function listen(host, type, listener) {
    host.canvas.addEventListener(type, listener);
    host.listeners.push([type, listener]);
  }

  // The canvas as the page's script sees it: its listeners noted, its
  // context the one the picture keeps, focus taken only when asked for.
  function pageCanvas(host) {
    var own = {
      addEventListener: function (type, listener) { listen(host, type, listener); },
      getContext: function (type, options) {
        var gl = host.canvas.getContext(type, options);
        if (gl && !gl.mirovanObjects) noteObjects(gl);
        return gl;
      },
      focus: function () { if (!host.starting || host.keepsFocus) host.canvas.focus(); }
    };
    return new Proxy(host.canvas, {
      get: function (target, key) {
        if (Object.prototype.hasOwnProperty.call(own, key)) return own[key];
        var value = target[key];
        return typeof value === 'function' ? value.bind(target) : value;
      },
      set: function (target, key, value) {
        target[key] = value;
        return true;
      }
    });
  }

  // One context serves every picture: making and losing a context per
  // edit costs a tenth of a second. Each run's buffers, shaders and
  // programs are noted, to be deleted when the next run starts; a program
  // linked from the same sources as before is the earlier one, already
  // linked: the GL's first draw with a new program costs another tenth.
  function noteObjects(gl) {
    var call = {};
    ['createBuffer', 'createShader', 'createProgram', 'shaderSource', 'attachShader', 'bindAttribLocation',
      'linkProgram', 'useProgram', 'getUniformLocation', 'getProgramParameter', 'getProgramInfoLog']
      .forEach(function (name) { call[name] = gl[name].bind(gl); });
    var programs = {};  // linked, by their shaders' sources and attribute places
    gl.mirovanObjects = [];
    var made = function (create, remove) {
      gl[create] = function (a) {
        var object = call[create](a);
        gl.mirovanObjects.push([remove, object]);
        return object;
      };
    };
    made('createBuffer', 'deleteBuffer');
    made('createShader', 'deleteShader');
    made('createProgram', 'deleteProgram');
    gl.shaderSource = function (shader, text) {
      shader.mirovanText = text;
      call.shaderSource(shader, text);
    };
    gl.attachShader = function (program, shader) {
      program.mirovanKey = (program.mirovanKey || '') + '\n#shader\n' + shader.mirovanText;
      call.attachShader(program, shader);
    };
    gl.bindAttribLocation = function (program, index, name) {
      program.mirovanKey = (program.mirovanKey || '') + '\n#attribute ' + index + ' ' + name;
      call.bindAttribLocation(program, index, name);
    };
    gl.linkProgram = function (program) {
      var linked = programs[program.mirovanKey];
      if (linked) {
        program.mirovanLinked = linked;
        return;
      }
      call.linkProgram(program);
      if (call.getProgramParameter(program, gl.LINK_STATUS)) {
        programs[program.mirovanKey] = program;
        program.mirovanKept = true;
      }
    };
    var linkedOf = function (program) { return (program && program.mirovanLinked) || program; };
    ['useProgram', 'getProgramParameter', 'getProgramInfoLog'].forEach(function (name) {
      gl[name] = function (program, a) { return call[name](linkedOf(program), a); };
    });
    gl.getUniformLocation = function (program, name) { return call.getUniformLocation(linkedOf(program), name); };
    // A lost context takes its programs with it.
    gl.canvas.addEventListener('webglcontextlost', function () {
      programs = {};
      gl.mirovanObjects = [];
    });
  }

  function retire(host) {
    host.listeners.forEach(function (l) { host.canvas.removeEventListener(l[0], l[1]); });
    host.resize.forEach(function (f) { window.removeEventListener('resize', f); });
    var gl = host.canvas.getContext('webgl');
    if (gl && gl.mirovanObjects) {
      gl.mirovanObjects.forEach(function (o) { if (!o[1].mirovanKept) gl[o[0]](o[1]); });
      gl.mirovanObjects = [];
    }
  }

  // ---- The link: #scene= (the text, deflated, base64url) and view= ----

  var kLinkLimit = 32000;  // characters of scene in a link: more breaks in some browsers and mailers
  var link = { scene: '', edit: -1 };

  function toBase64Url(bytes) {
    var binary = '';
    for (var i = 0; i < bytes.length; i += 0x8000)
      binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  function fromBase64Url(text) {
    var binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    var bytes = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  function squeeze(text) {
    var stream = new Blob([text]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    return new Response(stream).arrayBuffer().then(function (b) { return new Uint8Array(b); });
  }

  function unsqueeze(bytes) {
    var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return new Response(stream).text();
  }

  function putLink() {
    var hash = '#' + (link.scene ? 'scene=' + link.scene + '&' : '') + 'view=' + state.view[0] + ',' +
      state.view[1];
    if (window.location.hash === hash) return;
    try {
      window.history.replaceState(window.history.state, '', hash);
    } catch (e) { /* a browser that refuses: the link stays as it was */ }
  }

  function writeLink() {
    var edit = state.edits;
    if (typeof CompressionStream === 'undefined') return;
    squeeze(editor.value).then(function (bytes) {
      if (edit !== state.edits) return;  // a newer text will write its own
      var coded = toBase64Url(bytes);
      var fits = coded.length <= kLinkLimit;
      link.scene = fits ? coded : '';
      link.edit = edit;
      linkNote.textContent = fits ? '' : 'This scene is too large for a link (' + coded.length +
        ' characters compressed, at most ' + kLinkLimit + '): the address keeps the view only. ' +
        'Save the .scn to send it.';
      putLink();
    });
  }

  function draw(html) {
    var old = state.host;
    var canvas = document.getElementById('picture');
    var host = { canvas: canvas, resize: [], listeners: [], page: null, starting: true,
      keepsFocus: document.activeElement === canvas };
    var spinning = false;
    if (old) {
      if (old.page) {
        state.view = [old.page.angleX, old.page.angleY];
        spinning = old.page.spinning;
      }
      retire(old);
    }
    state.host = host;
    pictureMessage.hidden = true;
    var fakeDocument = {
      getElementById: function (id) {
        if (id === 'view') return pageCanvas(host);
        if (id === 'message') return pictureMessage;
        if (id === 'scene') return { textContent: tablesOf(html) };
        return null;
      }
    };
    pageScriptOf(html)(fakeDocument, pageWindow(host));
    host.starting = false;
    // A spinning view goes on spinning through an edit.
    if (spinning && host.page) host.page.spinning = true;
    host.resize.forEach(function (f) { window.addEventListener('resize', f); });
  }

  // ---- Reports ----

  var marks = document.getElementById('marks');
  var reported = [];  // { row, from, to, text }: a report's line and word, in characters

  // "name:line:column: ..." with the column in bytes of UTF-8: the editor
  // counts characters.
  function placeOf(line, lines) {
    var prefix = state.name + ':';
    if (line.indexOf(prefix) !== 0) return null;
    var found = /^(\d+):(\d+):/.exec(line.slice(prefix.length));
    if (!found) return null;
    var row = Math.max(1, Math.min(lines.length, +found[1])) - 1;
    var offset = 0;
    if (lines.starts) offset = lines.starts[row];
    else for (var i = 0; i < row; ++i) offset += lines[i].length + 1;
    var bytes = +found[2] - 1, chars = 0, text = lines[row];
    while (chars < text.length && bytes > 0) {
      var code = text.codePointAt(chars);
      bytes -= code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
      chars += code >= 0x10000 ? 2 : 1;
    }
    var end = chars;
    while (end < text.length && !/\s/.test(text[end])) ++end;
    return { row: row, offset: offset, from: chars, to: end, text: line };
  }

  function showReports(text) {
    while (reportList.firstChild) reportList.removeChild(reportList.firstChild);
    reported = [];
    var lines = editor.value.split('\n');
    lines.starts = [0];
    for (var i = 1; i < lines.length; ++i) lines.starts.push(lines.starts[i - 1] + lines[i - 1].length + 1);
    text.split('\n').forEach(function (line) {
      if (line === '') return;
      var item = document.createElement('li');
      item.textContent = line;  // a scene's words are text, never markup
      item.addEventListener('click', function () { goToReport(line); });
      reportList.appendChild(item);
      var place = placeOf(line, lines);
      if (place) reported.push(place);
    });
    updateGutter();
    updateMarks();
  }

  function goToReport(line) {
    var place = placeOf(line, editor.value.split('\n'));
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
    try {
      localStorage.setItem(kStored, editor.value);
      localStorage.setItem(kStoredName, state.name);
    } catch (e) { /* private windows keep nothing */ }
    evaluate();
  }

  // One text at a time in the worker; the newest waits, the ones between
  // are never evaluated.
  function evaluate() {
    if (state.sent) return;
    state.sent = state.edits;
    var made = firstPicture;
    if (made && editor.value === made.text && state.name === made.name) {
      shown({ status: made.status, reports: made.reports, bytes: new TextEncoder().encode(made.html) });
      return;
    }
    send({ kind: 'draw', mode: '-html', ext: 'html', name: state.name, text: editor.value,
      edit: state.edits });
  }

  function shown(answer) {
    var edit = state.sent;
    state.sent = 0;
    if (edit !== state.edits) {
      evaluate();
      return;
    }
    if (answer.error) {
      status.textContent = 'The scene could not be evaluated: ' + answer.error + '. The text is kept.';
      showReports('');
    } else {
      showReports(answer.reports);
      var html = new TextDecoder().decode(answer.bytes);
      try {
        draw(html);
        status.textContent = answer.status === 0 ? '' : 'The scene could not be read or exported.';
      } catch (e) {
        status.textContent = 'The picture could not be drawn: ' + e.message;
      }
    }
    state.drawnEdit = edit;
    root.setAttribute('data-state', 'drawn');
    writeLink();
  }

  function answered(event) {
    var answer = event.data;
    if (answer.kind === 'draw') {
      shown(answer);
      return;
    }
    var done = state.waiting[answer.id];
    delete state.waiting[answer.id];
    if (done) done(answer);
  }

  worker = new Worker(workerUrl);
  worker.onmessage = answered;

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
    var id = send({ kind: 'export', mode: mode, ext: ext, output: output, name: state.name,
      text: editor.value });
    state.waiting[id] = function (answer) {
      if (answer.error) status.textContent = 'The export failed: ' + answer.error;
      else download(answer.bytes, output, type);
    };
  }

  function setName(name) {
    state.name = String(name).replace(/[\/\\\0]/g, '_') || 'scene.scn';
    sceneName.textContent = state.name;
  }

  function open(text, name) {
    setName(name);
    editor.value = text;
    editor.scrollTop = 0;
    edited();
  }

  function openFile(file) {
    if (!file) return;
    file.text().then(function (text) { open(text, file.name); });
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
  document.getElementById('save-scn').addEventListener('click', function () {
    download(new TextEncoder().encode(editor.value), state.name, 'text/plain');
  });
  [['glb', '-gltf', 'model/gltf-binary'], ['wrl', '-vrml', 'model/vrml'],
    ['cpp', '-opengl', 'text/x-c++src'], ['html', '-html', 'text/html']].forEach(function (e) {
    document.getElementById('export-' + e[0]).addEventListener('click', function () {
      exportAs(e[1], e[0], e[2]);
    });
  });
  document.getElementById('export-png').addEventListener('click', function () {
    var host = state.host;
    if (!host) return;
    host.resize.forEach(function (f) { f(); });  // a frame drawn now, read in the same task
    host.canvas.toBlob(function (blob) {
      if (blob) download(blob, baseName() + '.png', 'image/png');
    }, 'image/png');
  });

  // ---- The first picture: made with the page, by the same module ----

  // The first example's `-html` page as the module writes it. Its text
  // opened as it is needs no module; any other text finds the GL's
  // pipeline ready when its own page comes, since the program it links is
  // the one this first drawing linked (noteObjects).
  var firstPicture = JSON.parse(document.getElementById('first-picture').textContent);

  function warmUp() {
    if (!firstPicture || state.host) return;
    try {
      draw(firstPicture.html);
    } catch (e) {
      return;  // the real picture will say what is wrong
    }
    retire(state.host);
    state.host = null;
    var gl = document.getElementById('picture').getContext('webgl');
    if (gl) gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
  }

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

  editor.addEventListener('input', edited);
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
      var current = editor.value, currentName = state.name;
      open(text, name);
      offerPrevious(current, currentName);
    };
  }

  var kept = stored(kStored), keptName = stored(kStoredName) || 'scene.scn';
  var first = Object.keys(examples)[0];
  var linked = /(?:^#|&)scene=([A-Za-z0-9_-]*)/.exec(window.location.hash);
  var linkedView = /(?:^#|&)view=([^,&]*),([^&]*)/.exec(window.location.hash);
  if (linkedView) state.view = [decodeURIComponent(linkedView[1]), decodeURIComponent(linkedView[2])];
  function openKept() {
    if (kept !== null) open(kept, keptName);
    else if (first) open(examples[first], first);
    else open('', 'scene.scn');
  }
  if (linked && typeof DecompressionStream !== 'undefined') {
    unsqueeze(fromBase64Url(linked[1])).then(function (text) {
      if (kept !== null && kept !== text) offerPrevious(kept, keptName);
      open(text, 'scene.scn');
    }, function () {
      openKept();
      status.textContent = 'The scene in this link could not be read; the text kept before is open.';
    });
  } else {
    openKept();
  }
  if (!state.host) warmUp();
  editor.focus();
})();
