// The playground's picture: the `-html` page's own script, run again on
// one canvas for each text, as that page runs it (its view, keys, dragging
// and touch), with what one run set up taken down when the next starts.
//   var picture = playgroundPicture(state, pictureMessage, keepView);
// state.host is the run on the canvas, state.view the view it keeps,
// state.tables the tables shown; keepView(hash) is told each new view.
function playgroundPicture(state, pictureMessage, keepView) {
  'use strict';

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
    return standIn(window, own, function (key, value) {
      if (key === 'mirovan') host.page = value;  // the page's face, kept with its run
      else window[key] = value;
    });
  }

  // `target` as a script sees it: `own`'s members in place of its own, its
  // methods bound to it, what the script sets given to `set`.
  function standIn(target, own, set) {
    return new Proxy(target, {
      get: function (t, key) {
        if (Object.prototype.hasOwnProperty.call(own, key)) return own[key];
        var value = t[key];
        return typeof value === 'function' ? value.bind(t) : value;
      },
      set: function (t, key, value) {
        set(key, value);
        return true;
      }
    });
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
    return standIn(host.canvas, own, function (key, value) { host.canvas[key] = value; });
  }

  // One context serves every picture: making and losing a context per
  // edit costs a tenth of a second. Each run's buffers, shaders and
  // programs are noted, to be deleted when the next run starts; a program
  // linked from the same sources as before is the earlier one, already
  // linked: the GL's first draw with a new program costs another tenth.
  function noteObjects(gl) {
    var call = {};
    ['createBuffer', 'createShader', 'createProgram', 'shaderSource', 'compileShader', 'getShaderParameter',
      'getShaderInfoLog', 'attachShader', 'bindAttribLocation', 'linkProgram', 'useProgram', 'getUniformLocation',
      'getProgramParameter', 'getProgramInfoLog'].forEach(function (name) { call[name] = gl[name].bind(gl); });
    var programs = {};  // linked, by their shaders' sources and attribute places
    var shaders = {};   // compiled, by their kind and source
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
    // A shader compiled before is that one: asking whether a new one
    // compiled waits for all the GL has yet to draw.
    var createShader = gl.createShader;
    gl.createShader = function (type) {
      var shader = createShader(type);
      if (shader) shader.mirovanType = type;
      return shader;
    };
    gl.shaderSource = function (shader, text) {
      shader.mirovanText = text;
      call.shaderSource(shader, text);
    };
    var compiledOf = function (shader) { return (shader && shader.mirovanCompiled) || shader; };
    gl.compileShader = function (shader) {
      var compiled = shaders[shader.mirovanType + '\n' + shader.mirovanText];
      if (compiled) shader.mirovanCompiled = compiled;
      else call.compileShader(shader);
    };
    gl.getShaderParameter = function (shader, name) {
      if (shader && shader.mirovanCompiled && name === gl.COMPILE_STATUS) return true;
      var value = call.getShaderParameter(shader, name);
      if (name === gl.COMPILE_STATUS && value) {
        shaders[shader.mirovanType + '\n' + shader.mirovanText] = shader;
        shader.mirovanKept = true;
      }
      return value;
    };
    gl.getShaderInfoLog = function (shader) { return call.getShaderInfoLog(compiledOf(shader)); };
    gl.attachShader = function (program, shader) {
      program.mirovanKey = (program.mirovanKey || '') + '\n#shader\n' + shader.mirovanText;
      call.attachShader(program, compiledOf(shader));
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
      shaders = {};
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
    canvas.style.visibility = '';
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

  // The window's picture: the page's script on a canvas of the window's
  // size (500 x 500, as mirovan-snapshot's), out of sight, at the view
  // shown, read in the task that draws it.
  var kWindowSize = 500;

  function windowPicture(done) {
    if (!pageScript.run) {
      done(null, 'no picture yet');
      return;
    }
    var ratio = window.devicePixelRatio || 1;
    var canvas = document.createElement('canvas');
    canvas.style.cssText = 'position: fixed; left: -10000px; top: 0; width: ' + kWindowSize / ratio +
      'px; height: ' + kWindowSize / ratio + 'px';
    document.body.appendChild(canvas);
    var shownPage = state.host && state.host.page;
    if (shownPage) state.view = [shownPage.angleX, shownPage.angleY];
    var host = { canvas: canvas, resize: [], listeners: [], page: null };
    var message = document.createElement('p');
    canvas.focus = function () {};
    pageScript.run({
      getElementById: function (id) {
        if (id === 'view') return canvas;
        if (id === 'message') return message;
        if (id === 'scene') return { textContent: state.tables };
        return null;
      }
    }, pageWindow(host));
    canvas.toBlob(function (blob) {
      var gl = canvas.getContext('webgl'), lose = gl && gl.getExtension('WEBGL_lose_context');
      if (lose) lose.loseContext();
      canvas.remove();
      done(host.page && !host.page.error && host.page.frames ? blob : null, message.textContent);
    }, 'image/png');
  }

  // A first drawing before the module has answered: the GL's pipeline
  // for the page's program is made while the module loads.
  function warmUp(firstPicture) {
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

  return { tablesOf: tablesOf, draw: draw, windowPicture: windowPicture, warmUp: warmUp };
}
